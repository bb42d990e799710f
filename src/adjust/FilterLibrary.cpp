#include "adjust/FilterLibrary.h"

#include "common/Frame.h"
#include "common/Rounding.h"

#include <algorithm>

namespace {

uint8_t ClampToByte(int64_t v)
{
    return uint8_t(std::clamp<int64_t>(v, 0, 255));
}

} // namespace

// ---------------------------------------------------------------- contrast

ByteTable ContrastTable(int32_t amount)
{
    const double c = std::clamp<int32_t>(amount, -150, 150) * 255.0 / 150.0;
    // At amount 0 both products are 66045, so the gain is exactly 1.
    const double gain = 259.0 * (c + 255.0) / (255.0 * (259.0 - c));
    ByteTable table;
    for (int v = 0; v < 256; ++v)
        table[v] = ClampToByte(Round(gain * (v - 127.5) + 127.5));
    return table;
}

void NVIM_Contrast(Frame& frame, int32_t amount)
{
    const ByteTable table = ContrastTable(amount);
    if (!IsIdentityTable(table))
        ApplyByteTable(frame, table);
}

// ---------------------------------------------------------- colour balance

ByteTable ColourGainTable(int32_t amount)
{
    const int gain = 150 + std::clamp<int32_t>(amount, -150, 150);
    ByteTable table;
    for (int v = 0; v < 256; ++v)
        table[v] = ClampToByte(Round(v * gain / 150.0));
    return table;
}

void NVIM_WorkOutColours(int32_t red, int32_t green, int32_t blue, Frame& frame)
{
    const ByteTable r = ColourGainTable(red);
    const ByteTable g = ColourGainTable(green);
    const ByteTable b = ColourGainTable(blue);
    if (IsIdentityTable(r) && IsIdentityTable(g) && IsIdentityTable(b))
        return;
    ApplyChannelTables(frame, b, g, r);
}

// ------------------------------------------------------- hue / saturation

namespace {

struct HsvChange {
    float hueShift;       // in sectors of 60 degrees, 0 <= shift < 6
    float saturationGain; // S' = min(1, S × gain)
    float valueGain;      // V' = min(255, V × gain)
};

// Rounds half to even for 0 <= x < 2^22: adding 1.5 × 2^23 leaves no
// fraction bits, so the addition itself rounds in the default mode. Unlike
// nearbyint this vectorises on every x86-64 CPU.
inline float RoundEven(float x)
{
    constexpr float kMagic = 12582912.0f;
    return (x + kMagic) - kMagic;
}

// One row of pixels. Written without branches so that it becomes SIMD code; every operation is a plain IEEE
// single-precision one, so each CPU variant gives the same bytes.
//
// Hue H is counted in sectors of 60 degrees (0 red, 1 yellow, 2 green,
// 3 cyan, 4 blue, 5 magenta) with the usual piecewise formula. Back to RGB,
// channel n (red 5, green 3, blue 1) is V' − x × chroma' with
// k = (n + H) mod 6 and x = clamp(min(k, 4 − k), 0, 1): the channel sits at
// the maximum for a third of the circle, at the minimum for another third,
// and moves linearly in between.
template <bool kScaleValue>
[[gnu::always_inline]] inline void ChangeHsvRow(uint8_t* __restrict pixels, int width, HsvChange change)
{
    // In runs: bytes to planar floats, change, back to bytes. Three simple
    // loops vectorise where one loop over interleaved bytes would not.
    constexpr int kRun = 128;
    alignas(32) float blue[kRun];
    alignas(32) float green[kRun];
    alignas(32) float red[kRun];
    for (int x0 = 0; x0 < width; x0 += kRun) {
        const int count = std::min(kRun, width - x0);
        uint8_t* run = pixels + 3 * x0;
        for (int i = 0; i < count; ++i) {
            blue[i] = run[3 * i];
            green[i] = run[3 * i + 1];
            red[i] = run[3 * i + 2];
        }
        for (int i = 0; i < count; ++i) {
            const float b = blue[i], g = green[i], r = red[i];
            const float hi = std::max(r, std::max(g, b));
            const float lo = std::min(r, std::min(g, b));
            const float chroma = hi - lo;

            const float diff = hi == r ? g - b : (hi == g ? b - r : r - g);
            const float base = hi == r ? 0.0f : (hi == g ? 2.0f : 4.0f);
            float hue = base + diff / std::max(chroma, 1.0f) + change.hueShift; // -1 .. 11
            hue = hue < 0.0f ? hue + 6.0f : hue;
            hue = hue >= 6.0f ? hue - 6.0f : hue;

            // S' = S × gain with S = chroma / max, so chroma' = chroma × gain
            // × max' / max (and max' = max without a value change).
            float outMax = hi;
            float saturated = chroma * change.saturationGain;
            if constexpr (kScaleValue) {
                outMax = std::min(255.0f, RoundEven(hi * change.valueGain));
                saturated = saturated * (outMax / std::max(hi, 1.0f));
            }
            const float outChroma = std::min(outMax, RoundEven(saturated));

            float k = 5.0f + hue;
            k = k >= 6.0f ? k - 6.0f : k;
            red[i] = outMax - RoundEven(std::min(1.0f, std::max(0.0f, std::min(k, 4.0f - k))) * outChroma);
            k = 3.0f + hue;
            k = k >= 6.0f ? k - 6.0f : k;
            green[i] = outMax - RoundEven(std::min(1.0f, std::max(0.0f, std::min(k, 4.0f - k))) * outChroma);
            k = 1.0f + hue;
            k = k >= 6.0f ? k - 6.0f : k;
            blue[i] = outMax - RoundEven(std::min(1.0f, std::max(0.0f, std::min(k, 4.0f - k))) * outChroma);
        }
        for (int i = 0; i < count; ++i) {
            run[3 * i] = uint8_t(int(blue[i]));
            run[3 * i + 1] = uint8_t(int(green[i]));
            run[3 * i + 2] = uint8_t(int(red[i]));
        }
    }
}

// The two variants, each compiled for AVX2 and for any x86-64 (picked at
// run time) so the common case needs one division per pixel, not two.
__attribute__((target_clones("avx2", "default")))
void ChangeHueSaturationRow(uint8_t* pixels, int width, HsvChange change)
{
    ChangeHsvRow<false>(pixels, width, change);
}

__attribute__((target_clones("avx2", "default")))
void ChangeHsvValueRow(uint8_t* pixels, int width, HsvChange change)
{
    ChangeHsvRow<true>(pixels, width, change);
}

} // namespace

void NVIM_RGBBitmapToHSV(Frame& frame, int32_t hue, int32_t saturation, int32_t value)
{
    const int turn = int(((int64_t(hue) % 360) + 360) % 360);
    saturation = std::clamp<int32_t>(saturation, -100, 100);
    value = std::clamp<int32_t>(value, -100, 100);
    if ((turn == 0 && saturation == 0 && value == 0) || frame.isEmpty())
        return;
    const HsvChange change{float(turn) / 60.0f, float(100 + saturation) / 100.0f,
                           float(100 + value) / 100.0f};
    for (int y = 0; y < frame.height(); ++y) {
        if (value != 0)
            ChangeHsvValueRow(frame.row(y), frame.width(), change);
        else
            ChangeHueSaturationRow(frame.row(y), frame.width(), change);
    }
}

// ------------------------------------------------------------ logo overlay

void NVIM_OverlayEarImage(Frame& frame, const Frame& logo, int32_t x, int32_t y, int32_t mode)
{
    if (mode < OverlayHatch || mode > OverlayOr || frame.isEmpty() || logo.isEmpty())
        return;
    // The visible rectangle, in frame coordinates (64-bit: x + width may
    // overflow for positions far outside).
    const int64_t left = std::max<int64_t>(0, x);
    const int64_t top = std::max<int64_t>(0, y);
    const int64_t right = std::min<int64_t>(frame.width(), int64_t(x) + logo.width());
    const int64_t bottom = std::min<int64_t>(frame.height(), int64_t(y) + logo.height());
    if (left >= right || top >= bottom)
        return;

    const int columns = int(right - left);
    const size_t bytes = size_t(columns) * 3;
    const int logoLeft = int(left - x);
    for (int64_t fy = top; fy < bottom; ++fy) {
        const int logoY = int(fy - y);
        uint8_t* dst = frame.pixel(int(left), int(fy));
        const uint8_t* src = logo.pixel(logoLeft, logoY);
        switch (mode) {
        case OverlaySolid:
            std::copy(src, src + bytes, dst);
            break;
        case OverlayHatch:
            // Checkerboard in logo coordinates, so the pattern moves with the logo.
            for (int i = ((logoLeft + logoY) & 1); i < columns; i += 2)
                std::copy(src + 3 * i, src + 3 * i + 3, dst + 3 * i);
            break;
        case OverlayAverage:
            for (size_t i = 0; i < bytes; ++i)
                dst[i] = uint8_t((dst[i] + src[i] + 1) >> 1);
            break;
        case OverlayAnd:
            for (size_t i = 0; i < bytes; ++i)
                dst[i] &= src[i];
            break;
        case OverlayOr:
            for (size_t i = 0; i < bytes; ++i)
                dst[i] |= src[i];
            break;
        }
    }
}
