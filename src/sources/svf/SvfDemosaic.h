#pragma once
// Demosaicing of the Stravo 12-bit Bayer mosaic. Three ways, from quick to
// careful:
//   - bilinear: each missing colour is the mean of its nearest sites;
//   - edge-directed: green along the smaller of the horizontal and vertical
//     gradients, red and blue from interpolated colour differences;
//   - gradient-corrected: green along the smaller gradient with a second-
//     difference correction from the site's own colour (Hamilton-Adams), red
//     and blue from colour differences along the smaller diagonal.
// The mosaic carries a mirrored border (without repeating the edge sample,
// which keeps the Bayer phase), so the loops read neighbours without tests.
// Results are 12-bit (0..4095). Rounding: means round halves up, colour
// differences are floored (arithmetic shifts).

#include <cstddef>
#include <cstdint>
#include <vector>

namespace svf {

// A 16-bit plane with a border of `border` samples on every side.
struct Plane16 {
    int width = 0;
    int height = 0;
    int border = 0;
    int stride = 0;
    std::vector<uint16_t> samples;

    void resize(int w, int h, int b);
    // Row y (-border .. height + border - 1), pointing at column 0.
    uint16_t* row(int y) { return samples.data() + size_t(y + border) * size_t(stride) + size_t(border); }
    const uint16_t* row(int y) const { return samples.data() + size_t(y + border) * size_t(stride) + size_t(border); }
    uint16_t at(int x, int y) const { return row(y)[x]; }
    // Fills the border from the inside by mirroring about the edge samples.
    void mirrorBorder();
};

// The mosaic of one frame with its Bayer pattern (see SvfFormat.h).
struct Mosaic {
    static constexpr int kBorder = 2;
    Plane16 plane;
    int pattern = 0;
};

enum class DemosaicMethod { Bilinear, EdgeDirected, GradientCorrected };

// Green at every pixel, for the two colour-difference methods (the plane
// gets a mirrored border of one sample).
void InterpolateGreen(const Mosaic& mosaic, DemosaicMethod method, Plane16& green);

// Red, green and blue of row y. `green` is unused for Bilinear.
void DemosaicRow(const Mosaic& mosaic, const Plane16& green, DemosaicMethod method, int y,
                 uint16_t* red, uint16_t* greenOut, uint16_t* blue);

// A whole frame as three planes without border (tests, benchmarks).
struct RgbPlanes {
    int width = 0;
    int height = 0;
    std::vector<uint16_t> red, green, blue;
};
void DemosaicPlanes(const Mosaic& mosaic, DemosaicMethod method, RgbPlanes& out);

} // namespace svf
