#pragma once
// The Brava camera's processing chain, as separate steps over plain buffers:
// site means, green interpolation, demosaicing with white balance and colour
// saturation, gamma and edge enhancement. The reader (BvfReader.h) strings
// them together and turns the result with adjust/ImageTurns.h; keeping them
// free functions lets the tests and the benchmark drive each step on its own.
// Working memory is the caller's (the *Scratch structs), kept between frames.

#include "common/Frame.h"

#include <array>
#include <cstdint>
#include <vector>

namespace bvf {

enum SiteColour : uint8_t { SiteRed = 0, SiteGreen = 1, SiteBlue = 2 };

// Colour of mosaic site (x, y) for Bayer pattern 0..3 (other values are
// taken modulo 4). The pattern repeats every two rows and columns.
SiteColour SiteColourAt(int pattern, int x, int y);

// A window-sized plane of one byte per pixel, rows without padding.
struct Plane {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;

    void resize(int w, int h)
    {
        width = w;
        height = h;
        pixels.resize(size_t(w) * size_t(h));
    }
    uint8_t* row(int y) { return pixels.data() + size_t(y) * size_t(width); }
    const uint8_t* row(int y) const { return pixels.data() + size_t(y) * size_t(width); }
};

struct SiteMeans {
    int red = 1;
    int green = 1;
    int blue = 1;
};

// Means of the red, green and blue sites of a colour mosaic (width and
// height at least 2): each sum divided by a quarter, a half and a quarter of
// the pixel count, truncated, at least 1.
SiteMeans ComputeSiteMeans(const uint8_t* mosaic, int width, int height, int pattern);

// Working memory of InterpolateGreen.
struct GreenScratch {
    Plane unsmoothed;
    std::vector<uint16_t> columnSums;
};

// Green at every pixel: site value at green sites, the mean of the direct
// green neighbours elsewhere, then a 3x3 box mean away from the border.
void InterpolateGreen(const uint8_t* mosaic, int width, int height, int pattern,
                      Plane& green, GreenScratch& scratch);

using ByteTable = std::array<uint8_t, 256>;

// White reference (red, green, blue) of a white-balance mode; modes 4 and 5
// take `autoRef` and `userRef`. Modes outside 0..5 give the mode 0 reference.
std::array<int, 3> WhiteReference(int mode, const std::array<int, 3>& autoRef,
                                  const std::array<int, 3>& userRef);

// The three white-balance tables (red, green, blue) for a reference: entry i
// about i * max(ref) / ref, rounded half to even, 255 once above 255.
std::array<ByteTable, 3> BuildWhiteBalanceTables(const std::array<int, 3>& reference);

// Gamma table for mode 1 (exponent 0.7) or 2 (0.45); identity for others.
ByteTable BuildGammaTable(int gammaMode);

// Colour saturation of one pixel (`chroma` percent); 100 leaves it as it is.
void ApplyChroma(int chroma, int& red, int& green, int& blue);

// Working memory of Demosaic: the colour estimates of one row.
struct DemosaicScratch {
    std::vector<int16_t> vDiff;
    std::vector<uint8_t> horizontal, vertical, diagonal;
    void resize(int w)
    {
        vDiff.resize(size_t(w));
        horizontal.resize(size_t(w));
        vertical.resize(size_t(w));
        diagonal.resize(size_t(w));
    }
};

// Demosaics `mosaic` with the smoothed green plane into `out` (resized to the
// window), passing each channel through its table; `chroma` is applied after
// the tables. Stores blue, green, red.
void Demosaic(const uint8_t* mosaic, const Plane& green, int pattern,
              const std::array<ByteTable, 3>& tables, int chroma, Frame& out,
              DemosaicScratch& scratch);

// Grey frame from a monochrome mosaic, each sample through `table`.
void MonochromeToFrame(const uint8_t* mosaic, int width, int height,
                       const ByteTable& table, Frame& out);

// Applies `table` to every byte of every pixel.
void ApplyTable(Frame& frame, const ByteTable& table);

// Working memory of the edge enhancement.
struct EnhanceScratch {
    std::vector<float> luma;
    std::vector<float> row;
};

// Edge enhancement with level 1..4 (other levels: nothing happens).
// `monochrome` writes the enhanced green into all three bytes.
void EnhanceEdges(Frame& frame, int level, bool monochrome, EnhanceScratch& scratch);

} // namespace bvf
