#pragma once
// The Stravo camera processing after demosaicing, on linear 12-bit values:
//   1. one 3 x 3 matrix: white-balance gains, gain (dB), the sensor's colour
//      correction (RGB correction), the wide-gamut matrix of method B2,
//      saturation and hue (both about the Rec. 709 luminance axis, so greys
//      stay grey);
//   2. one tone table from the result (up to four times white) to 8 bits:
//      knee, luminance encoding (normal Rec. 709 curve, linear, or the
//      user's curve), gamma;
//   3. on the 8-bit frame: low-pass filter, then edge enhancement.

#include "common/Frame.h"

#include <array>
#include <cstdint>
#include <vector>

namespace svf {

// Settings as the converter's operations hold them (any 16-bit value is
// kept; the processing reads them as documented in docs/SVF-FORMAT.md).
struct ProcessSettings {
    int gain = 0;          // dB; 0, 6, 12
    int gamma = 0;         // 0 off, 2 low, 4 normal
    int enhance = 0;       // 0, 2, 4, 6
    int saturation = 100;  // percent, 0..200
    int hue = 0;           // degrees, -180..180
    int knee = -1;         // 1 on; 0 and -1 (unset) off
    int lowPass = 0;       // 1 on
    int rgbCorrection = 0; // 1 on
    int luminanceLut = 0;  // 0 normal, 1 linear, 2 custom
};

// The user's luminance curve: output levels (0..255) at inputs 0, 25, 50,
// 75 and 100 % of white, joined by straight lines.
using CustomCurve = std::array<int, 5>;
CustomCurve DefaultCustomCurve();

// White balance gains (red, green, blue) for light of a colour temperature,
// normalised to green: the sensor's neutral is daylight of 6500 K.
std::array<double, 3> TemperatureGains(int kelvin);

// The matrix of step 1 in 1/4096 units, row by row (red, green, blue out).
// Entries are limited to +-31 so that the sums stay within 32 bits.
using ColourMatrix = std::array<int32_t, 9>;
ColourMatrix BuildColourMatrix(const ProcessSettings& settings, const std::array<double, 3>& whiteGains,
                               bool wideGamut);

// The tone table of step 2: index = linear value 0..kToneInputs-1, where
// 4095 is white.
constexpr int kToneInputs = 4 * 4096;
using ToneTable = std::vector<uint8_t>;
void BuildToneTable(const ProcessSettings& settings, const CustomCurve& curve, ToneTable& table);

// Steps 1 and 2 for one row: 12-bit planes in, 24-bit BGR out.
void ColourRow(const uint16_t* red, const uint16_t* green, const uint16_t* blue, int width,
               const ColourMatrix& matrix, const uint8_t* tone, uint8_t* bgr);

// Step 3. `scratch` is working memory kept by the caller.
void LowPass(Frame& frame, Frame& scratch);
// Unsharp masking with the [1 2 1] blur; amount in 1/4 steps (enhance 2
// gives 1/2, 4 gives 1, 6 gives 3/2).
void Enhance(Frame& frame, int enhance, Frame& scratch);

} // namespace svf
