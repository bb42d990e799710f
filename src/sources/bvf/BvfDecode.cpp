#include "sources/bvf/BvfDecode.h"

#include "common/LumaTables.h"
#include "common/Rounding.h"

#include <algorithm>
#include <cmath>
#include <cstring>

// The hottest loops get a second, AVX2 build picked at load time on CPUs
// that have it (GCC/Clang function multi-versioning on x86-64 Linux).
#if defined(__x86_64__) && defined(__linux__) && (defined(__GNUC__) || defined(__clang__))
#define QOR_BVF_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define QOR_BVF_CLONES
#endif

namespace bvf {

namespace {

// Site colours of the first two rows and columns of each Bayer pattern.
constexpr SiteColour kPatterns[4][2][2] = {
    {{SiteGreen, SiteRed}, {SiteBlue, SiteGreen}},
    {{SiteRed, SiteGreen}, {SiteGreen, SiteBlue}},
    {{SiteBlue, SiteGreen}, {SiteGreen, SiteRed}},
    {{SiteGreen, SiteBlue}, {SiteRed, SiteGreen}},
};

inline int ClampByte(int v)
{
    return v < 0 ? 0 : (v > 255 ? 255 : v);
}

// Column parity (0 or 1) of the green sites in row y.
inline int GreenParity(int pattern, int y)
{
    return SiteColourAt(pattern, 0, y) == SiteGreen ? 0 : 1;
}

// Green at a red or blue site from the direct neighbours inside the window.
int GreenFromNeighbours(const uint8_t* mosaic, int width, int height, int x, int y)
{
    const uint8_t* r = mosaic + size_t(y) * size_t(width);
    int sum = 0;
    int count = 0;
    if (y > 0) { sum += r[x - width]; ++count; }
    if (x > 0) { sum += r[x - 1]; ++count; }
    if (x + 1 < width) { sum += r[x + 1]; ++count; }
    if (y + 1 < height) { sum += r[x + width]; ++count; }
    return count ? std::min(sum / count, 255) : r[x];
}

// The difference estimate over neighbour offsets (dx, dy) that lie inside the
// window: G - sum(Gn - Cn) / k, in 16-bit arithmetic, clamped to a byte.
int DifferenceEstimate(const uint8_t* mosaic, const Plane& green, int x, int y,
                       const int (*offsets)[2], int n)
{
    const int w = green.width;
    const int h = green.height;
    int16_t sum = 0;
    int16_t k = 0;
    for (int i = 0; i < n; ++i) {
        const int nx = x + offsets[i][0];
        const int ny = y + offsets[i][1];
        if (nx < 0 || ny < 0 || nx >= w || ny >= h)
            continue;
        const size_t at = size_t(ny) * size_t(w) + size_t(nx);
        sum = int16_t(sum + (int(green.pixels[at]) - int(mosaic[at])));
        ++k;
    }
    const int g = green.pixels[size_t(y) * size_t(w) + size_t(x)];
    if (k == 0)
        return g;
    return ClampByte(g - int16_t(sum / k));
}

constexpr int kLeftRight[2][2] = {{-1, 0}, {1, 0}};
constexpr int kUpDown[2][2] = {{0, -1}, {0, 1}};
constexpr int kDiagonals[4][2] = {{-1, -1}, {1, -1}, {-1, 1}, {1, 1}};

// Red, green, blue of one pixel, any position (used along the border).
void DemosaicPixelSlow(const uint8_t* mosaic, const Plane& green, int pattern, int x, int y,
                       int rgb[3])
{
    const SiteColour site = SiteColourAt(pattern, x, y);
    const int g = green.pixels[size_t(y) * size_t(green.width) + size_t(x)];
    rgb[SiteGreen] = g;
    if (site == SiteGreen) {
        const SiteColour beside = SiteColourAt(pattern, x + 1, y);
        const SiteColour across = beside == SiteRed ? SiteBlue : SiteRed;
        rgb[beside] = DifferenceEstimate(mosaic, green, x, y, kLeftRight, 2);
        rgb[across] = DifferenceEstimate(mosaic, green, x, y, kUpDown, 2);
    } else {
        const SiteColour other = site == SiteRed ? SiteBlue : SiteRed;
        rgb[site] = mosaic[size_t(y) * size_t(green.width) + size_t(x)];
        rgb[other] = DifferenceEstimate(mosaic, green, x, y, kDiagonals, 4);
    }
}

inline void StorePixel(uint8_t* out, int r, int g, int b, const std::array<ByteTable, 3>& t,
                       int chroma)
{
    r = t[0][r];
    g = t[1][g];
    b = t[2][b];
    if (chroma != 100)
        ApplyChroma(chroma, r, g, b);
    out[0] = uint8_t(b);
    out[1] = uint8_t(g);
    out[2] = uint8_t(r);
}

} // namespace

SiteColour SiteColourAt(int pattern, int x, int y)
{
    return kPatterns[pattern & 3][y & 1][x & 1];
}

SiteMeans ComputeSiteMeans(const uint8_t* mosaic, int width, int height, int pattern)
{
    int64_t sums[3] = {0, 0, 0};
    for (int y = 0; y < height; ++y) {
        const uint8_t* r = mosaic + size_t(y) * size_t(width);
        uint32_t even = 0;
        uint32_t odd = 0;
        int x = 0;
        for (; x + 1 < width; x += 2) {
            even += r[x];
            odd += r[x + 1];
        }
        if (x < width)
            even += r[x];
        sums[SiteColourAt(pattern, 0, y)] += even;
        sums[SiteColourAt(pattern, 1, y)] += odd;
    }
    const int64_t pixels = int64_t(width) * int64_t(height);
    const int64_t quarter = std::max<int64_t>(pixels / 4, 1);
    const int64_t half = std::max<int64_t>(pixels / 2, 1);
    SiteMeans means;
    means.red = int(std::max<int64_t>(sums[SiteRed] / quarter, 1));
    means.green = int(std::max<int64_t>(sums[SiteGreen] / half, 1));
    means.blue = int(std::max<int64_t>(sums[SiteBlue] / quarter, 1));
    return means;
}

QOR_BVF_CLONES void InterpolateGreen(const uint8_t* mosaic, int width, int height, int pattern,
                                     Plane& green, GreenScratch& working)
{
    Plane& scratch = working.unsmoothed;
    scratch.resize(width, height);
    green.resize(width, height);

    // Unsmoothed green into `scratch`.
    for (int y = 0; y < height; ++y) {
        const uint8_t* m = mosaic + size_t(y) * size_t(width);
        uint8_t* o = scratch.row(y);
        const int gpar = GreenParity(pattern, y);
        const bool interiorRow = y > 0 && y + 1 < height;
        if (!interiorRow || width < 3) {
            for (int x = 0; x < width; ++x)
                o[x] = (x & 1) == gpar ? m[x]
                                       : uint8_t(GreenFromNeighbours(mosaic, width, height, x, y));
            continue;
        }
        const uint8_t* up = m - width;
        const uint8_t* down = m + width;
        o[0] = gpar == 0 ? m[0] : uint8_t(GreenFromNeighbours(mosaic, width, height, 0, y));
        // Means for every pixel first (vectorises), then green sites keep
        // their own value.
        for (int x = 1; x + 1 < width; ++x)
            o[x] = uint8_t((uint16_t(up[x]) + m[x - 1] + m[x + 1] + down[x]) >> 2);
        for (int x = 1 + ((1 + gpar) & 1); x + 1 < width; x += 2)
            o[x] = m[x];
        const int last = width - 1;
        o[last] = (last & 1) == gpar
            ? m[last]
            : uint8_t(GreenFromNeighbours(mosaic, width, height, last, y));
    }

    // 3x3 box mean away from the border, from the unsmoothed plane.
    std::memcpy(green.row(0), scratch.row(0), size_t(width));
    if (height > 1)
        std::memcpy(green.row(height - 1), scratch.row(height - 1), size_t(width));
    working.columnSums.resize(size_t(width));
    uint16_t* cs = working.columnSums.data();
    for (int y = 1; y + 1 < height; ++y) {
        const uint8_t* a = scratch.row(y - 1);
        const uint8_t* b = scratch.row(y);
        const uint8_t* c = scratch.row(y + 1);
        uint8_t* o = green.row(y);
        for (int x = 0; x < width; ++x)
            cs[x] = uint16_t(a[x] + b[x] + c[x]);
        o[0] = b[0];
        for (int x = 1; x + 1 < width; ++x)
            o[x] = uint8_t(uint16_t(cs[x - 1] + cs[x] + cs[x + 1]) / uint16_t(9));
        if (width > 1)
            o[width - 1] = b[width - 1];
    }
}

std::array<int, 3> WhiteReference(int mode, const std::array<int, 3>& autoRef,
                                  const std::array<int, 3>& userRef)
{
    switch (mode) {
    case 1: return {222, 127, 80};
    case 2: return {180, 141, 95};
    case 3: return {191, 220, 112};
    case 4: return autoRef;
    case 5: return userRef;
    default: return {255, 255, 255};
    }
}

std::array<ByteTable, 3> BuildWhiteBalanceTables(const std::array<int, 3>& reference)
{
    // The camera keeps the reference in 16-bit signed values.
    int16_t ref[3] = {int16_t(reference[0]), int16_t(reference[1]), int16_t(reference[2])};
    const int16_t m = std::max({ref[0], ref[1], ref[2]});
    std::array<ByteTable, 3> tables;
    for (int c = 0; c < 3; ++c) {
        if (ref[c] < 1)
            ref[c] = 1;
        const double step = double(m) / double(ref[c]);
        double running = 0.0;
        for (int i = 0; i < 256; ++i) {
            tables[c][i] = running > 255.0 ? 255 : uint8_t(std::max<int64_t>(Round(running), 0));
            running += step;
        }
    }
    return tables;
}

ByteTable BuildGammaTable(int gammaMode)
{
    ByteTable table;
    if (gammaMode != 1 && gammaMode != 2) {
        for (int i = 0; i < 256; ++i)
            table[i] = uint8_t(i);
        return table;
    }
    const double e = gammaMode == 1 ? 0.7 : 0.45;
    // In this order: i^e * 255 / 255^e; the top entry comes out at exactly 255.
    const double top = std::pow(255.0, e);
    for (int i = 0; i < 256; ++i)
        table[i] = uint8_t(std::clamp<int64_t>(Trunc(std::pow(double(i), e) * 255.0 / top), 0, 255));
    return table;
}

void ApplyChroma(int chroma, int& red, int& green, int& blue)
{
    if (chroma == 100)
        return;
    float factor = 1.0f;
    switch (chroma) {
    case 0: factor = 0.0f; break;
    case 25: factor = 0.25f; break;
    case 50: factor = 0.5f; break;
    case 75: factor = 0.75f; break;
    case 125: factor = 1.25f; break;
    case 150: factor = 1.5f; break;
    case 175: factor = 1.75f; break;
    case 200: factor = 2.0f; break;
    default: break;
    }
    const float y = 0.299f * float(red) + 0.587f * float(green) + 0.114f * float(blue);
    const float r = y + (float(red) - y) * factor;
    const float b = y + (float(blue) - y) * factor;
    const float g = (y - (0.299f * r + 0.114f * b)) / 0.587f;
    auto toByte = [](float v) { return v < 0.0f ? 0 : (v > 255.0f ? 255 : int(v)); };
    red = toByte(r);
    green = toByte(g);
    blue = toByte(b);
}

namespace {

// The three difference estimates of every interior pixel of a row, worked
// out for all pixels alike (so the loops vectorise); each site then takes
// the ones it needs.
QOR_BVF_CLONES void EstimateRow(const uint8_t* __restrict m0, const uint8_t* __restrict g0, int w,
                                size_t stride, DemosaicScratch& est)
{
    const uint8_t* __restrict mu = m0 - stride;
    const uint8_t* __restrict md = m0 + stride;
    const uint8_t* __restrict gu = g0 - stride;
    const uint8_t* __restrict gd = g0 + stride;
    int16_t* __restrict dv = est.vDiff.data();
    uint8_t* __restrict eh = est.horizontal.data();
    uint8_t* __restrict ev = est.vertical.data();
    uint8_t* __restrict ed = est.diagonal.data();
    // Sum of (Gn - Cn) over the pixels above and below each column; the
    // diagonal sum of a pixel is that of the columns either side.
    for (int x = 0; x < w; ++x)
        dv[x] = int16_t((int16_t(gu[x]) - int16_t(mu[x])) + (int16_t(gd[x]) - int16_t(md[x])));
    for (int x = 1; x + 1 < w; ++x) {
        const int16_t g = g0[x];
        const int16_t dh = int16_t((int16_t(g0[x - 1]) - int16_t(m0[x - 1]))
                                   + (int16_t(g0[x + 1]) - int16_t(m0[x + 1])));
        const int16_t dd = int16_t(dv[x - 1] + dv[x + 1]);
        eh[x] = uint8_t(std::clamp<int16_t>(int16_t(g - int16_t(dh / 2)), 0, 255));
        ev[x] = uint8_t(std::clamp<int16_t>(int16_t(g - int16_t(dv[x] / 2)), 0, 255));
        ed[x] = uint8_t(std::clamp<int16_t>(int16_t(g - int16_t(dd / 4)), 0, 255));
    }
}

} // namespace

void Demosaic(const uint8_t* mosaic, const Plane& green, int pattern,
              const std::array<ByteTable, 3>& t, int chroma, Frame& out,
              DemosaicScratch& est)
{
    const int w = green.width;
    const int h = green.height;
    out.resize(w, h);
    const uint8_t* tr = t[0].data();
    const uint8_t* tg = t[1].data();
    const uint8_t* tb = t[2].data();
    const bool plain = chroma == 100;
    est.resize(w);

    for (int y = 0; y < h; ++y) {
        uint8_t* o = out.row(y);
        const bool interiorRow = y > 0 && y + 1 < h;
        if (!interiorRow || w < 3) {
            for (int x = 0; x < w; ++x) {
                int rgb[3];
                DemosaicPixelSlow(mosaic, green, pattern, x, y, rgb);
                StorePixel(o + 3 * x, rgb[0], rgb[1], rgb[2], t, chroma);
            }
            continue;
        }
        const uint8_t* m0 = mosaic + size_t(y) * size_t(w);
        const uint8_t* g0 = green.row(y);
        const int gpar = GreenParity(pattern, y);
        // Colour of the non-green sites of this row; the rows above and below
        // carry the other one.
        const bool rowIsRed = SiteColourAt(pattern, gpar ^ 1, y) == SiteRed;

        {
            int rgb[3];
            DemosaicPixelSlow(mosaic, green, pattern, 0, y, rgb);
            StorePixel(o, rgb[0], rgb[1], rgb[2], t, chroma);
        }
        EstimateRow(m0, g0, w, size_t(w), est);
        for (int x = 1; x + 1 < w; ++x) {
            const bool greenSite = (x & 1) == gpar;
            const int beside = greenSite ? est.horizontal[x] : m0[x]; // the row's own colour
            const int across = greenSite ? est.vertical[x] : est.diagonal[x];
            const int r = rowIsRed ? beside : across;
            const int b = rowIsRed ? across : beside;
            uint8_t* p = o + 3 * x;
            if (plain) {
                p[0] = tb[b];
                p[1] = tg[g0[x]];
                p[2] = tr[r];
            } else {
                StorePixel(p, r, g0[x], b, t, chroma);
            }
        }
        {
            int rgb[3];
            DemosaicPixelSlow(mosaic, green, pattern, w - 1, y, rgb);
            StorePixel(o + 3 * (w - 1), rgb[0], rgb[1], rgb[2], t, chroma);
        }
    }
}

void MonochromeToFrame(const uint8_t* mosaic, int width, int height, const ByteTable& table,
                       Frame& out)
{
    out.resize(width, height);
    const uint8_t* t = table.data();
    for (int y = 0; y < height; ++y) {
        const uint8_t* m = mosaic + size_t(y) * size_t(width);
        uint8_t* o = out.row(y);
        for (int x = 0; x < width; ++x) {
            const uint8_t v = t[m[x]];
            o[3 * x] = v;
            o[3 * x + 1] = v;
            o[3 * x + 2] = v;
        }
    }
}

void ApplyTable(Frame& frame, const ByteTable& table)
{
    const uint8_t* t = table.data();
    const size_t rowBytes = size_t(frame.width()) * 3;
    for (int y = 0; y < frame.height(); ++y) {
        uint8_t* p = frame.row(y);
        for (size_t i = 0; i < rowBytes; ++i)
            p[i] = t[p[i]];
    }
}

namespace {

// Small filter responses are noise: from 4 up they lose 4, from -4 down they
// gain 4, and whatever then lies strictly between -4 and 4 becomes 0 (so
// 4..8 ends at 0). Written as selects so the loops below vectorise.
inline float Core(float v)
{
    v = v >= 4.0f ? v - 4.0f : v;
    v = (v > -4.0f) & (v < 4.0f) ? 0.0f : v;
    v = v <= -4.0f ? v + 4.0f : v;
    return v;
}

// Sharpened luminance W of the middle row of `rows` (luminance rows y - 4 ..
// y + 4) for x in [4, w - 5]; the caller has the middle row copied to `out`
// for the other pixels.
QOR_BVF_CLONES void SharpenRow(const float* const rows[9], int w, float k, float* __restrict out)
{
    constexpr float c0 = 0.28125f, c1 = 0.0625f, c2 = -0.21875f, c3 = -0.03125f, c4 = 0.046875f;
    const float* __restrict l = rows[4];
    const float* __restrict u1 = rows[3];
    const float* __restrict u2 = rows[2];
    const float* __restrict u3 = rows[1];
    const float* __restrict u4 = rows[0];
    const float* __restrict d1 = rows[5];
    const float* __restrict d2 = rows[6];
    const float* __restrict d3 = rows[7];
    const float* __restrict d4 = rows[8];
    for (int x = 4; x <= w - 5; ++x) {
        const float centre = c0 * l[x];
        const float hs = k * (centre + c1 * (l[x - 1] + l[x + 1]) + c2 * (l[x - 2] + l[x + 2])
                              + c3 * (l[x - 3] + l[x + 3]) + c4 * (l[x - 4] + l[x + 4]));
        const float vs = k * (centre + c1 * (u1[x] + d1[x]) + c2 * (u2[x] + d2[x])
                              + c3 * (u3[x] + d3[x]) + c4 * (u4[x] + d4[x]));
        out[x] = l[x] + Core(hs) + Core(vs);
    }
}

// Round half to even of a value limited to 0..255, as an integer: adding and
// taking away 1.5 * 2^23 rounds a float in the default rounding mode.
inline int32_t RoundToByte(float v)
{
    v = v < 0.0f ? 0.0f : v;
    v = v > 255.0f ? 255.0f : v;
    return int32_t((v + 12582912.0f) - 12582912.0f);
}

} // namespace

QOR_BVF_CLONES void EnhanceEdges(Frame& frame, int level, bool monochrome, EnhanceScratch& scratch)
{
    if (level < 1 || level > 4 || frame.isEmpty())
        return;
    static constexpr float kGain[4] = {1.0f, 2.0f, 4.0f, 6.0f};
    const float k = kGain[level - 1];
    const LumaTables& lt = BuildLumaTables();
    // The red and blue weights, multiplied in double precision and stored as
    // single, give exactly the table entries; computing them vectorises where
    // a table lookup does not. Checked once, in case the tables change.
    static const bool arithmeticWeights = [&lt] {
        for (int v = 0; v < 256; ++v)
            if (lt.wR[v] != float(double(v) * 0.299) || lt.wB[v] != float(double(v) * 0.114))
                return false;
        return true;
    }();
    const int w = frame.width();
    const int h = frame.height();
    const size_t ws = size_t(w);

    // Luminance of the rows y - 4 .. y + 4 around the row being finished, in
    // a ring of nine rows: row r is computed (from the unchanged frame row)
    // just before row r - 4 is finished, so the frame is read in one sweep.
    scratch.luma.resize(ws * 9);
    auto lumaRow = [&](int r) { return scratch.luma.data() + size_t(r % 9) * ws; };
    auto computeLuma = [&](int r) {
        const uint8_t* p = frame.row(r);
        float* l = lumaRow(r);
        for (int x = 0; x < w; ++x, p += 3)
            l[x] = lt.wR[p[2]] + lt.wG[p[1]] + lt.wB[p[0]];
    };
    for (int r = 0; r < std::min(h, 4); ++r)
        computeLuma(r);

    // Row buffers: sharpened luminance, red and blue in, red/blue/green out.
    scratch.row.resize(ws * 7);
    float* sharp = scratch.row.data();
    float* red = sharp + ws;
    float* blue = red + ws;
    float* tint = blue + ws;
    int32_t* outRed = reinterpret_cast<int32_t*>(tint + ws);
    int32_t* outBlue = outRed + ws;
    int32_t* outGreen = outBlue + ws;
    static_assert(sizeof(float) == sizeof(int32_t));

    for (int y = 0; y < h; ++y) {
        if (y + 4 < h)
            computeLuma(y + 4);
        const float* l = lumaRow(y);
        std::memcpy(sharp, l, ws * sizeof(float));
        if (y >= 4 && y <= h - 5 && w >= 9) {
            const float* rows[9];
            for (int j = 0; j < 9; ++j)
                rows[j] = lumaRow(y - 4 + j);
            SharpenRow(rows, w, k, sharp);
        }

        uint8_t* p = frame.row(y);
        for (int x = 0; x < w; ++x) {
            blue[x] = float(p[3 * x]);
            red[x] = float(p[3 * x + 2]);
        }
        // R' = Round(R - Y + W), B' likewise.
        for (int x = 0; x < w; ++x) {
            outRed[x] = RoundToByte(red[x] - l[x] + sharp[x]);
            outBlue[x] = RoundToByte(blue[x] - l[x] + sharp[x]);
        }
        if (arithmeticWeights) {
            for (int x = 0; x < w; ++x)
                tint[x] = float(double(outRed[x]) * 0.299) + float(double(outBlue[x]) * 0.114);
        } else {
            for (int x = 0; x < w; ++x)
                tint[x] = lt.wR[outRed[x]] + lt.wB[outBlue[x]];
        }
        // G' = Round((W - (wR[R'] + wB[B'])) * 1.704); the factor undoes the
        // green weight 0.587.
        for (int x = 0; x < w; ++x)
            outGreen[x] = RoundToByte((sharp[x] - tint[x]) * 1.704f);
        const int32_t* blueOut = monochrome ? outGreen : outBlue;
        const int32_t* redOut = monochrome ? outGreen : outRed;
        for (int x = 0; x < w; ++x, p += 3) {
            p[0] = uint8_t(blueOut[x]);
            p[1] = uint8_t(outGreen[x]);
            p[2] = uint8_t(redOut[x]);
        }
    }
}

} // namespace bvf
