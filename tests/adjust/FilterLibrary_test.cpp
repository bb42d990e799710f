#include "adjust/FilterLibrary.h"

#include "TestFrames.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {

// Largest channel difference between two frames of the same size.
int MaxDifference(const Frame& a, const Frame& b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < 3 * a.width(); ++x)
            worst = std::max(worst, std::abs(int(a.row(y)[x]) - int(b.row(y)[x])));
    return worst;
}

} // namespace

TEST(FilterLibrary, ZeroAmountsAreTheIdentity)
{
    const Frame original = RandomFrame(67, 13);
    Frame frame = original;
    NVIM_Contrast(frame, 0);
    EXPECT_EQ(frame, original);
    NVIM_WorkOutColours(0, 0, 0, frame);
    EXPECT_EQ(frame, original);
    NVIM_RGBBitmapToHSV(frame, 0, 0, 0);
    EXPECT_EQ(frame, original);
    NVIM_RGBBitmapToHSV(frame, 360, 0, 0);
    EXPECT_EQ(frame, original);
    for (int v = 0; v < 256; ++v) {
        EXPECT_EQ(ContrastTable(0)[v], v);
        EXPECT_EQ(ColourGainTable(0)[v], v);
    }
}

TEST(FilterLibrary, ContrastIsMonotoneAndClampsAtTheEnds)
{
    for (int amount = -150; amount <= 150; amount += 10) {
        const ByteTable t = ContrastTable(amount);
        for (int v = 1; v < 256; ++v)
            ASSERT_LE(t[v - 1], t[v]) << amount; // clamps, never wraps
        // Symmetric about mid-grey (up to rounding half to even).
        for (int v = 0; v < 256; ++v)
            ASSERT_NEAR(t[v] + t[255 - v], 255, 1) << amount << " " << v;
    }
    const ByteTable flat = ContrastTable(-150);
    EXPECT_EQ(flat[0], flat[255]);
    const ByteTable steep = ContrastTable(150);
    EXPECT_EQ(steep[100], 0);
    EXPECT_EQ(steep[155], 255);
    EXPECT_LT(ContrastTable(50)[60], 60);   // more contrast: darks darker
    EXPECT_GT(ContrastTable(-50)[60], 60);  // less contrast: darks lighter
    EXPECT_EQ(ContrastTable(1000), ContrastTable(150)); // out-of-range amounts clamp
}

TEST(FilterLibrary, ColourBalanceScalesEachChannel)
{
    Frame frame = SolidFrame(5, 3, /*b*/ 200, /*g*/ 100, /*r*/ 30);
    NVIM_WorkOutColours(/*red*/ 150, /*green*/ 0, /*blue*/ 75, frame);
    EXPECT_EQ(PixelAt(frame, 4, 2), (Bgr{255, 100, 60})); // blue 300 clamps to 255
    NVIM_WorkOutColours(-150, -75, 0, frame);
    EXPECT_EQ(PixelAt(frame, 0, 0), (Bgr{255, 50, 0}));
    EXPECT_EQ(ColourGainTable(-1000), ColourGainTable(-150));
}

TEST(FilterLibrary, HueTurnsPrimariesAndKeepsGrey)
{
    struct Case {
        int hue;
        Bgr before;
        Bgr after;
    };
    const Case cases[] = {
        {120, {0, 0, 255}, {0, 255, 0}},       // red → green
        {-120, {0, 0, 255}, {255, 0, 0}},      // red → blue
        {180, {0, 0, 200}, {200, 200, 0}},     // red → cyan
        {60, {0, 0, 255}, {0, 255, 255}},      // red → yellow
        {120, {90, 90, 90}, {90, 90, 90}},     // grey has no hue
        {-180, {255, 0, 255}, {0, 255, 0}},    // magenta → green
    };
    for (const Case& c : cases) {
        Frame frame = SolidFrame(3, 1, uint8_t(c.before.b), uint8_t(c.before.g), uint8_t(c.before.r));
        NVIM_RGBBitmapToHSV(frame, c.hue, 0, 0);
        EXPECT_EQ(PixelAt(frame, 1, 0), c.after) << "hue " << c.hue;
    }
}

TEST(FilterLibrary, HueTurnsBackAndForthWithinOneLevel)
{
    const Frame original = RandomFrame(40, 20, 7);
    Frame frame = original;
    NVIM_RGBBitmapToHSV(frame, 37, 0, 0);
    EXPECT_GT(MaxDifference(frame, original), 50);
    NVIM_RGBBitmapToHSV(frame, -37, 0, 0);
    EXPECT_LE(MaxDifference(frame, original), 1);
}

TEST(FilterLibrary, HsvMatchesAPlainDoublePrecisionModel)
{
    // The library's loop is vectorised single-precision code; a direct
    // HSV computation in double precision must agree within rounding.
    auto model = [](Bgr in, int hueDegrees, int saturation, int value) {
        const double r = in.r, g = in.g, b = in.b;
        const double hi = std::max({r, g, b}), lo = std::min({r, g, b}), c = hi - lo;
        double h = c == 0 ? 0 : hi == r ? (g - b) / c : hi == g ? 2 + (b - r) / c : 4 + (r - g) / c;
        h = std::fmod(h + (hueDegrees % 360 + 360) % 360 / 60.0 + 12.0, 6.0);
        const double v = std::min(255.0, std::nearbyint(hi * (100 + value) / 100.0));
        const double chroma = std::min(v, std::nearbyint(c * (100 + saturation) / 100.0 * v / std::max(hi, 1.0)));
        auto channel = [&](double n) {
            const double k = std::fmod(n + h, 6.0);
            return int(v - std::nearbyint(std::clamp(std::min(k, 4 - k), 0.0, 1.0) * chroma));
        };
        return Bgr{channel(1), channel(3), channel(5)};
    };
    const int settings[][3] = {{37, 0, 0}, {-150, 40, 0}, {180, -60, 0}, {90, 100, 0}, {10, 20, 30}, {-45, -20, -50}};
    const Frame original = RandomFrame(97, 31, 21); // odd width: vector tails too
    for (const auto& s : settings) {
        Frame frame = original;
        NVIM_RGBBitmapToHSV(frame, s[0], s[1], s[2]);
        for (int y = 0; y < frame.height(); ++y)
            for (int x = 0; x < frame.width(); ++x) {
                const Bgr expected = model(PixelAt(original, x, y), s[0], s[1], s[2]);
                const Bgr got = PixelAt(frame, x, y);
                ASSERT_LE(std::abs(got.b - expected.b), 1) << s[0] << "," << s[1] << "," << s[2];
                ASSERT_LE(std::abs(got.g - expected.g), 1) << s[0] << "," << s[1] << "," << s[2];
                ASSERT_LE(std::abs(got.r - expected.r), 1) << s[0] << "," << s[1] << "," << s[2];
            }
    }
}

TEST(FilterLibrary, SaturationAndValueClamp)
{
    const Frame original = RandomFrame(40, 20, 3);
    Frame grey = original;
    NVIM_RGBBitmapToHSV(grey, 0, -100, 0);
    for (int y = 0; y < grey.height(); ++y)
        for (int x = 0; x < grey.width(); ++x) {
            const Bgr p = PixelAt(grey, x, y);
            const Bgr o = PixelAt(original, x, y);
            ASSERT_TRUE(p.b == p.g && p.g == p.r);
            ASSERT_EQ(p.r, std::max({o.b, o.g, o.r})); // V is kept
        }

    Frame pale = SolidFrame(2, 2, 150, 150, 200);
    NVIM_RGBBitmapToHSV(pale, 0, 100, 0); // S doubles: 0.25 → 0.5
    EXPECT_EQ(PixelAt(pale, 0, 0), (Bgr{100, 100, 200}));
    NVIM_RGBBitmapToHSV(pale, 0, 100, 0); // 1.0
    EXPECT_EQ(PixelAt(pale, 0, 0), (Bgr{0, 0, 200}));
    NVIM_RGBBitmapToHSV(pale, 0, 100, 0); // stays at full saturation
    EXPECT_EQ(PixelAt(pale, 0, 0), (Bgr{0, 0, 200}));

    Frame bright = SolidFrame(2, 2, 100, 150, 200);
    NVIM_RGBBitmapToHSV(bright, 0, 0, 100); // V doubles, clamps at 255
    const Bgr p = PixelAt(bright, 1, 1);
    EXPECT_EQ(p.r, 255);
    EXPECT_LT(p.b, p.g);
    EXPECT_LT(p.g, p.r);
    Frame dark = SolidFrame(2, 2, 100, 150, 200);
    NVIM_RGBBitmapToHSV(dark, 0, 0, -100);
    EXPECT_EQ(PixelAt(dark, 0, 1), (Bgr{0, 0, 0}));
}

TEST(OverlayEarImage, MethodsBlendPerByte)
{
    struct Case {
        int mode;
        Bgr at00; // logo (0,0)
        Bgr at10; // logo (1,0): the hatch skips it
    };
    // Frame 0b1100'1010 everywhere, logo 0b1010'0110 with 201 in red.
    const Case cases[] = {
        {OverlaySolid, {0xA6, 0xA6, 201}, {0xA6, 0xA6, 201}},
        {OverlayHatch, {0xA6, 0xA6, 201}, {0xCA, 0xCA, 0xCA}},
        {OverlayAverage, {(0xCA + 0xA6 + 1) / 2, (0xCA + 0xA6 + 1) / 2, (0xCA + 201 + 1) / 2},
         {(0xCA + 0xA6 + 1) / 2, (0xCA + 0xA6 + 1) / 2, (0xCA + 201 + 1) / 2}},
        {OverlayAnd, {0xCA & 0xA6, 0xCA & 0xA6, 0xCA & 201}, {0xCA & 0xA6, 0xCA & 0xA6, 0xCA & 201}},
        {OverlayOr, {0xCA | 0xA6, 0xCA | 0xA6, 0xCA | 201}, {0xCA | 0xA6, 0xCA | 0xA6, 0xCA | 201}},
        {5, {0xCA, 0xCA, 0xCA}, {0xCA, 0xCA, 0xCA}},  // unknown: nothing
        {-1, {0xCA, 0xCA, 0xCA}, {0xCA, 0xCA, 0xCA}},
    };
    const Frame logo = SolidFrame(2, 2, 0xA6, 0xA6, 201);
    for (const Case& c : cases) {
        Frame frame = SolidFrame(6, 4, 0xCA, 0xCA, 0xCA);
        NVIM_OverlayEarImage(frame, logo, 3, 1, c.mode);
        EXPECT_EQ(PixelAt(frame, 3, 1), c.at00) << "mode " << c.mode;
        EXPECT_EQ(PixelAt(frame, 4, 1), c.at10) << "mode " << c.mode;
        EXPECT_EQ(PixelAt(frame, 2, 1), (Bgr{0xCA, 0xCA, 0xCA}));
        EXPECT_EQ(PixelAt(frame, 5, 1), (Bgr{0xCA, 0xCA, 0xCA}));
        EXPECT_EQ(PixelAt(frame, 3, 3), (Bgr{0xCA, 0xCA, 0xCA}));
    }
}

TEST(OverlayEarImage, ClipsAtEveryEdge)
{
    // Logo pixel (lx, ly) has the value 10 × ly + lx in every channel, so the
    // drawn part shows which logo pixel landed where.
    Frame logo(4, 3);
    for (int ly = 0; ly < 3; ++ly)
        for (int lx = 0; lx < 4; ++lx)
            SetPixel(logo, lx, ly, {10 * ly + lx, 10 * ly + lx, 10 * ly + lx});
    const int positions[][2] = {
        {-2, -1}, {3, -2}, {-3, 1}, {5, 3}, {4, 4}, {-1, 2}, {1, 1},
        {-4, 0}, {7, 0}, {0, -3}, {0, 5}, {-100000, 2}, {INT32_MAX, INT32_MAX}, {INT32_MIN, INT32_MIN},
        {-1, -1}, {4, -1},
    };
    for (const auto& pos : positions) {
        const int px = pos[0], py = pos[1];
        Frame frame = SolidFrame(7, 5, 255, 255, 255);
        NVIM_OverlayEarImage(frame, logo, px, py, OverlaySolid);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                const int64_t lx = int64_t(x) - px, ly = int64_t(y) - py;
                const bool inside = lx >= 0 && lx < 4 && ly >= 0 && ly < 3;
                const int expected = inside ? int(10 * ly + lx) : 255;
                ASSERT_EQ(PixelAt(frame, x, y), (Bgr{expected, expected, expected}))
                    << "logo at " << px << "," << py << " pixel " << x << "," << y;
            }
    }
}
