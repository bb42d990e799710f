#include "adjust/FilterLibrary.h"

#include "common/Frame.h"
#include "common/Rounding.h"

#include <algorithm>
#include <vector>

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

// Hue is kept in fixed point: six sectors of 65536 steps each, sector k
// running from the k-th primary/secondary colour towards the next one
// (0 red→yellow, 1 yellow→green, 2 green→cyan, 3 cyan→blue, 4 blue→magenta,
// 5 magenta→red). Within a sector one channel is the maximum, one the
// minimum, and the third moves between them by the fraction f = n / chroma,
// rising in even sectors and falling in odd ones.
void NVIM_RGBBitmapToHSV(Frame& frame, int32_t hue, int32_t saturation, int32_t value)
{
    constexpr int32_t kSector = 1 << 16;
    constexpr int32_t kFullTurn = 6 * kSector;

    const int turn = int(((int64_t(hue) % 360) + 360) % 360);
    saturation = std::clamp<int32_t>(saturation, -100, 100);
    value = std::clamp<int32_t>(value, -100, 100);
    if ((turn == 0 && saturation == 0 && value == 0) || frame.isEmpty())
        return;

    const int32_t shift = int32_t(Round(turn / 60.0 * kSector)) % kFullTurn;

    // New maximum (V) per old maximum.
    uint8_t newMax[256];
    for (int m = 0; m < 256; ++m)
        newMax[m] = ClampToByte(Round(m * (100 + value) / 100.0));

    // New chroma per (old maximum, old chroma): S' = clamp(S × k, 0, 1) with
    // S = chroma / max, so chroma' = min(max', Round(chroma × k × max' / max)).
    std::vector<uint8_t> newChroma(256 * 256, 0);
    const double k = (100 + saturation) / 100.0;
    for (int m = 1; m < 256; ++m) {
        const double scale = k * newMax[m] / m;
        for (int c = 1; c <= m; ++c)
            newChroma[m * 256 + c] = uint8_t(std::min<int64_t>(newMax[m], Round(c * scale)));
    }

    // 2^24 / chroma, so that n × 65536 / chroma needs no division per pixel
    // (n ≤ chroma ≤ 255 keeps the product below 2^32; the error stays well
    // under one output level).
    uint32_t reciprocal[256];
    reciprocal[0] = 0;
    for (int c = 1; c < 256; ++c)
        reciprocal[c] = uint32_t(Round(double(1 << 24) / c));

    // Byte positions (blue 0, green 1, red 2) of the maximum, the moving
    // channel and the minimum in each sector.
    static constexpr uint8_t kMaxAt[6] = {2, 1, 1, 0, 0, 2};
    static constexpr uint8_t kMidAt[6] = {1, 2, 0, 1, 2, 0};
    static constexpr uint8_t kMinAt[6] = {0, 0, 2, 2, 1, 1};

    const int width = frame.width();
    for (int y = 0; y < frame.height(); ++y) {
        uint8_t* p = frame.row(y);
        for (int x = 0; x < width; ++x, p += 3) {
            const int b = p[0], g = p[1], r = p[2];
            const int hi = std::max(r, std::max(g, b));
            const int lo = std::min(r, std::min(g, b));
            const int chroma = hi - lo;
            const int outMax = newMax[hi];
            if (chroma == 0) {
                p[0] = p[1] = p[2] = uint8_t(outMax);
                continue;
            }
            int sector;
            int n;
            if (hi == r) {
                if (g >= b) { sector = 0; n = g - b; }
                else        { sector = 5; n = r - b; }
            } else if (hi == g) {
                if (b >= r) { sector = 2; n = b - r; }
                else        { sector = 1; n = g - r; }
            } else {
                if (r >= g) { sector = 4; n = r - g; }
                else        { sector = 3; n = b - g; }
            }
            int32_t h = sector * kSector + int32_t((uint32_t(n) * reciprocal[chroma] + 128) >> 8);
            h += shift;
            if (h >= kFullTurn)
                h -= kFullTurn;

            const int outSector = h >> 16;
            const uint32_t fraction = uint32_t(h) & 0xFFFF;
            const int outChroma = newChroma[hi * 256 + chroma];
            const int outMin = outMax - outChroma;
            const int step = int((fraction * uint32_t(outChroma) + 32768) >> 16);
            const int outMid = (outSector & 1) ? outMax - step : outMin + step;
            p[kMaxAt[outSector]] = uint8_t(outMax);
            p[kMidAt[outSector]] = uint8_t(outMid);
            p[kMinAt[outSector]] = uint8_t(outMin);
        }
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
