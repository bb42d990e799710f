// The processing chain: dark frame, Bayer patterns, white balance, colour
// saturation, gamma, edge enhancement, rotation, white-reference pick.

#include "BvfTestSupport.h"

#include "sources/bvf/BvfDecode.h"

#include "common/LumaTables.h"

#include <cmath>
#include <random>

using namespace bvftest;
using RGB = std::array<int, 3>;

namespace {

// The four Bayer patterns as the camera documents them: rows 0 and 1.
const char* const kPatternRows[4][2] = {
    {"GRGR", "BGBG"}, {"RGRG", "GBGB"}, {"BGBG", "GRGR"}, {"GBGB", "RGRG"},
};

int Channel(char site)
{
    return site == 'R' ? 0 : (site == 'G' ? 1 : 2);
}

// Mosaic of a picture given as a function returning RGB, by the table above.
template <typename F>
Image Mosaic(int w, int h, int pattern, F rgb)
{
    return Make(w, h, [&](int x, int y) {
        return rgb(x, y)[Channel(kPatternRows[pattern][y & 1][x & 3])];
    });
}

} // namespace

TEST(BvfDecode, MonochromeSamplesPassThrough)
{
    const Image img = Make(12, 10, [](int x, int y) { return 17 * x + 3 * y; });
    auto r = Open(Layout(12, 10), {img});
    ASSERT_TRUE(r);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 12; ++x) {
            const int s = img[size_t(y) * 12 + x];
            ASSERT_EQ(Rgb(r->output(), x, y), (RGB{s, s, s})) << x << "," << y;
        }
}

TEST(BvfDecode, DarkFrameSubtraction)
{
    bvf::RecordingLayout l = Layout(4, 4);
    l.sensor = QSize(8, 8);
    l.window = QRect(2, 3, 4, 4);
    l.darkFrame = Make(8, 8, [](int x, int y) { return 5 + x + 8 * y; }); // DarkMin 5
    l.settings.darkSwitch = 137;
    // Window pixel (c, r) sees dark sample 5 + (2 + c) + 8 * (3 + r).
    const Image img = Make(4, 4, [](int c, int r) {
        const int dark = 5 + (2 + c) + 8 * (3 + r);
        return c == 0 ? dark + 5 : (c == 1 ? dark + 4 : dark + 5 + 7);
    });
    auto r = Open(l, {img});
    ASSERT_TRUE(r);
    EXPECT_TRUE(r->subtractDark());
    EXPECT_EQ(r->darkMin(), 5);
    for (int y = 0; y < 4; ++y) {
        EXPECT_EQ(Rgb(r->output(), 0, y)[0], 0);  // equal to dark + DarkMin
        EXPECT_EQ(Rgb(r->output(), 1, y)[0], 0);  // below it
        EXPECT_EQ(Rgb(r->output(), 2, y)[0], 7);
    }
    r->setSubtractDark(false);
    r->redecode();
    EXPECT_EQ(Rgb(r->output(), 2, 0)[0], img[2]);
}

TEST(BvfDecode, SiteColoursMatchTheFourPatterns)
{
    for (int p = 0; p < 4; ++p)
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                EXPECT_EQ(int(bvf::SiteColourAt(p, x, y)), Channel(kPatternRows[p][y & 1][x]))
                    << p << " " << x << "," << y;
}

TEST(BvfDecode, UniformColourSurvivesEveryPattern)
{
    // With white balance off, a mosaic of one colour decodes to that colour
    // at every pixel, border included.
    const RGB colour{200, 120, 40};
    for (int p = 0; p < 4; ++p) {
        bvf::RecordingLayout l = Layout(9, 7, true);
        l.settings.bayerPattern = p;
        auto r = Open(l, {Mosaic(9, 7, p, [&](int, int) { return colour; })});
        ASSERT_TRUE(r);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 9; ++x)
                ASSERT_EQ(Rgb(r->output(), x, y), colour) << "pattern " << p << " at " << x << "," << y;
        // Site means of an even-sized window are the site values.
        bvf::RecordingLayout even = Layout(8, 6, true);
        even.settings.bayerPattern = p;
        auto e = Open(even, {Mosaic(8, 6, p, [&](int, int) { return colour; })});
        EXPECT_EQ(e->siteMeans().red, 200);
        EXPECT_EQ(e->siteMeans().green, 120);
        EXPECT_EQ(e->siteMeans().blue, 40);
    }
}

TEST(BvfDecode, ColourEdgesFollowTheDifferenceEstimates)
{
    // Left half red-ish, right half blue-ish, pattern 0. Check one pixel of
    // each site kind against the estimates worked out by hand.
    auto picture = [](int x, int) { return x < 4 ? RGB{180, 90, 30} : RGB{20, 60, 160}; };
    const Image mosaic = Mosaic(8, 6, 0, picture);
    bvf::Plane green;
    bvf::GreenScratch scratch;
    bvf::InterpolateGreen(mosaic.data(), 8, 6, 0, green, scratch);
    EXPECT_EQ(green.row(2)[0], 90); // the border keeps its unsmoothed value
    // Unsmoothed green worked out from the neighbours, then the 3 x 3 mean.
    int raw[6][8];
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool isGreen = kPatternRows[0][y & 1][x & 3] == 'G';
            if (isGreen) {
                raw[y][x] = mosaic[size_t(y) * 8 + x];
            } else {
                int sum = 0, n = 0;
                const int dx[4] = {0, -1, 1, 0}, dy[4] = {-1, 0, 0, 1};
                for (int i = 0; i < 4; ++i) {
                    const int nx = x + dx[i], ny = y + dy[i];
                    if (nx >= 0 && ny >= 0 && nx < 8 && ny < 6) {
                        sum += mosaic[size_t(ny) * 8 + nx];
                        ++n;
                    }
                }
                raw[y][x] = sum / n;
            }
        }
    for (int y = 1; y < 5; ++y)
        for (int x = 1; x < 7; ++x) {
            int s = 0;
            for (int j = -1; j <= 1; ++j)
                for (int i = -1; i <= 1; ++i)
                    s += raw[y + j][x + i];
            ASSERT_EQ(green.row(y)[x], s / 9) << x << "," << y;
        }

    bvf::ByteTable id;
    for (int i = 0; i < 256; ++i)
        id[i] = uint8_t(i);
    Frame out;
    bvf::DemosaicScratch demosaicScratch;
    bvf::Demosaic(mosaic.data(), green, 0, {id, id, id}, 100, out, demosaicScratch);
    auto G = [&](int x, int y) { return int(green.row(y)[x]); };
    auto C = [&](int x, int y) { return int(mosaic[size_t(y) * 8 + x]); };
    auto clamp = [](int v) { return std::clamp(v, 0, 255); };
    // Green site (4, 2) in a G R row: red from left/right, blue from up/down.
    EXPECT_EQ(Rgb(out, 4, 2)[0], clamp(G(4, 2) - ((G(3, 2) - C(3, 2)) + (G(5, 2) - C(5, 2))) / 2));
    EXPECT_EQ(Rgb(out, 4, 2)[2], clamp(G(4, 2) - ((G(4, 1) - C(4, 1)) + (G(4, 3) - C(4, 3))) / 2));
    // Red site (3, 2): blue from the diagonals.
    const int dd = (G(2, 1) - C(2, 1)) + (G(4, 1) - C(4, 1)) + (G(2, 3) - C(2, 3)) + (G(4, 3) - C(4, 3));
    EXPECT_EQ(Rgb(out, 3, 2), (RGB{C(3, 2), G(3, 2), clamp(G(3, 2) - dd / 4)}));
    // Blue site (4, 3) in a B G row: red from the diagonals.
    const int de = (G(3, 2) - C(3, 2)) + (G(5, 2) - C(5, 2)) + (G(3, 4) - C(3, 4)) + (G(5, 4) - C(5, 4));
    EXPECT_EQ(Rgb(out, 4, 3), (RGB{clamp(G(4, 3) - de / 4), G(4, 3), C(4, 3)}));
    // Corner (0, 0), green site with one neighbour each way.
    EXPECT_EQ(Rgb(out, 0, 0)[0], clamp(G(0, 0) - (G(1, 0) - C(1, 0))));
    EXPECT_EQ(Rgb(out, 0, 0)[2], clamp(G(0, 0) - (G(0, 1) - C(0, 1))));
}

TEST(BvfDecode, WhiteBalanceTables)
{
    const std::array<int, 3> none{1, 1, 1};
    // OFF: identity.
    auto off = bvf::BuildWhiteBalanceTables(bvf::WhiteReference(0, none, none));
    for (int i = 0; i < 256; ++i)
        for (int c = 0; c < 3; ++c)
            ASSERT_EQ(off[c][i], i);
    // Tungsten (222, 127, 80): red identity, blue saturates from 92 on.
    auto tungsten = bvf::BuildWhiteBalanceTables(bvf::WhiteReference(1, none, none));
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(tungsten[0][i], i);
    EXPECT_EQ(tungsten[2][91], 253); // 252.5 rounded
    EXPECT_EQ(tungsten[2][92], 255);
    EXPECT_EQ(tungsten[2][255], 255);
    EXPECT_EQ(tungsten[1][100], 175); // 174.8
    // Ties round to even: step 1.5 gives 1.5 -> 2, 4.5 -> 4, 7.5 -> 8.
    auto user = bvf::BuildWhiteBalanceTables(bvf::WhiteReference(5, none, {255, 255, 170}));
    EXPECT_EQ(user[2][1], 2);
    EXPECT_EQ(user[2][3], 4);
    EXPECT_EQ(user[2][5], 8);
    // A zero reference counts as 1 and saturates at once.
    auto zero = bvf::BuildWhiteBalanceTables({0, 100, 100});
    EXPECT_EQ(zero[0][1], 100);
    EXPECT_EQ(zero[0][3], 255);
    // Named references.
    EXPECT_EQ(bvf::WhiteReference(2, none, none), (std::array<int, 3>{180, 141, 95}));
    EXPECT_EQ(bvf::WhiteReference(3, none, none), (std::array<int, 3>{191, 220, 112}));
    EXPECT_EQ(bvf::WhiteReference(4, {7, 8, 9}, none), (std::array<int, 3>{7, 8, 9}));
}

TEST(BvfDecode, AutoWhiteBalanceKeepsTheMeansOfTheFrameItWasBuiltFrom)
{
    bvf::RecordingLayout l = Layout(8, 8, true, 2);
    l.settings.wbMode = TBVSCFILECAM::WbAuto;
    const Image first = Mosaic(8, 8, 0, [](int, int) { return RGB{100, 200, 50}; });
    const Image second = Mosaic(8, 8, 0, [](int, int) { return RGB{200, 200, 200}; });
    auto r = Open(l, {first, second});
    ASSERT_TRUE(r);
    EXPECT_EQ(Rgb(r->output(), 4, 4), (RGB{200, 200, 200})); // balanced to grey
    ASSERT_TRUE(r->readFrame(1));
    EXPECT_EQ(r->siteMeans().red, 200);
    EXPECT_EQ(Rgb(r->output(), 4, 4), (RGB{255, 200, 255})); // old tables
    r->invalidateWhiteBalance();
    r->redecode();
    EXPECT_EQ(Rgb(r->output(), 4, 4), (RGB{200, 200, 200}));
}

TEST(BvfDecode, ChromaZeroTurnsGrey)
{
    int r = 200, g = 40, b = 90;
    bvf::ApplyChroma(0, r, g, b);
    const int y = int(0.299 * 200 + 0.587 * 40 + 0.114 * 90);
    EXPECT_NEAR(r, y, 1);
    EXPECT_NEAR(g, y, 1);
    EXPECT_NEAR(b, y, 1);
    r = 200, g = 40, b = 90;
    bvf::ApplyChroma(100, r, g, b);
    EXPECT_EQ((RGB{r, g, b}), (RGB{200, 40, 90}));
    bvf::ApplyChroma(200, r, g, b); // stronger colour, clamped
    EXPECT_EQ(r, 255);
    EXPECT_LT(g, 40);
    // The reader applies it after white balance, before gamma.
    bvf::RecordingLayout l = Layout(6, 6, true);
    l.settings.chroma = 0;
    l.settings.gammaMode = 2;
    auto rd = Open(l, {Mosaic(6, 6, 0, [](int, int) { return RGB{200, 40, 90}; })});
    const RGB px = Rgb(rd->output(), 3, 3);
    EXPECT_NEAR(px[0], px[1], 2);
    EXPECT_NEAR(px[2], px[1], 2);
    EXPECT_GT(px[1], 90); // gamma lifted the grey
}

TEST(BvfDecode, GammaTables)
{
    for (int mode : {0, 1, 2}) {
        const bvf::ByteTable t = bvf::BuildGammaTable(mode);
        const double e = mode == 1 ? 0.7 : 0.45;
        for (int i = 0; i < 256; ++i) {
            const int expected = mode == 0 ? i : int(std::pow(i, e) * 255.0 / std::pow(255.0, e));
            ASSERT_EQ(t[i], expected) << mode << " " << i;
        }
    }
    bvf::RecordingLayout l = Layout(4, 4);
    l.settings.gammaMode = 1;
    auto r = Open(l, {Constant(4, 4, 64)});
    EXPECT_EQ(Rgb(r->output(), 1, 1)[0], bvf::BuildGammaTable(1)[64]);
}

TEST(BvfDecode, EdgeEnhancement)
{
    // A flat picture stays as it is at every level.
    for (int level = 1; level <= 4; ++level) {
        Frame flat(16, 16);
        flat.fill(60, 120, 200);
        bvf::EnhanceScratch s;
        bvf::EnhanceEdges(flat, level, false, s);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                ASSERT_EQ(Rgb(flat, x, y), (RGB{200, 120, 60})) << level;
    }
    // A faint step is cored away; a strong one overshoots on both sides,
    // more at higher levels, and only 4 pixels away from the border.
    auto stepFrame = [](int low, int high) {
        Frame f(20, 20);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                const uint8_t v = uint8_t(x < 10 ? low : high);
                uint8_t* p = f.pixel(x, y);
                p[0] = p[1] = p[2] = v;
            }
        return f;
    };
    bvf::EnhanceScratch s;
    Frame faint = stepFrame(100, 104);
    bvf::EnhanceEdges(faint, 1, true, s);
    EXPECT_EQ(faint, stepFrame(100, 104));

    int previousSwing = 0;
    for (int level = 1; level <= 4; ++level) {
        Frame strong = stepFrame(80, 160);
        bvf::EnhanceEdges(strong, level, true, s);
        const int below = Rgb(strong, 9, 10)[1];
        const int above = Rgb(strong, 10, 10)[1];
        EXPECT_LT(below, 80) << level;
        EXPECT_GT(above, 160) << level;
        EXPECT_GT(above - below, previousSwing);
        previousSwing = above - below;
        EXPECT_EQ(Rgb(strong, 9, 2)[1], 80);   // row 2: outside the filtered area
        EXPECT_EQ(Rgb(strong, 10, 17)[1], 160);
        const uint8_t* p = strong.pixel(9, 10);
        EXPECT_TRUE(p[0] == p[1] && p[1] == p[2]);
    }
}

TEST(BvfDecode, RotationTurnsTheFrame)
{
    // A 6 x 4 window with a marked top-left pixel.
    const Image img = Make(6, 4, [](int x, int y) { return x == 0 && y == 0 ? 250 : 10 + x + 10 * y; });
    struct Case { int degrees; QSize size; QPoint corner; };
    const Case cases[] = {
        {0, {6, 4}, {0, 0}},
        {90, {4, 6}, {3, 0}},   // clockwise: top-left goes to top-right
        {180, {6, 4}, {5, 3}},
        {270, {4, 6}, {0, 5}},
        {45, {6, 4}, {0, 0}},   // other angles do nothing
    };
    for (const Case& c : cases) {
        bvf::RecordingLayout l = Layout(6, 4);
        l.settings.rotation = c.degrees;
        auto r = Open(l, {img});
        ASSERT_TRUE(r);
        EXPECT_EQ(r->output().width(), c.size.width()) << c.degrees;
        EXPECT_EQ(r->output().height(), c.size.height()) << c.degrees;
        EXPECT_EQ(Rgb(r->output(), c.corner.x(), c.corner.y())[0], 250) << c.degrees;
    }
    bvf::RecordingLayout big = Layout(1280, 1024);
    big.settings.rotation = 90;
    auto r = Open(big, {Constant(1280, 1024, 3)});
    EXPECT_EQ(r->output().width(), 1024);
    EXPECT_EQ(r->output().height(), 1280);
}

TEST(BvfDecode, PickWhiteReference)
{
    bvf::RecordingLayout l = Layout(8, 8, true);
    l.settings.wbMode = TBVSCFILECAM::WbDaylight;
    auto r = Open(l, {Mosaic(8, 8, 0, [](int, int) { return RGB{200, 150, 100}; })});
    ASSERT_TRUE(r);
    EXPECT_FALSE(r->pickWhiteReference(QPoint(8, 0)));
    EXPECT_EQ(r->wbMode(), TBVSCFILECAM::WbDaylight);
    ASSERT_TRUE(r->pickWhiteReference(QPoint(3, 4)));
    EXPECT_EQ(r->wbMode(), TBVSCFILECAM::WbUserDefined);
    EXPECT_EQ(r->userWhiteReference(), (std::array<int, 3>{200, 150, 100}));
    EXPECT_EQ(Rgb(r->output(), 3, 4), (RGB{200, 200, 200}));
}

TEST(BvfDecode, PickWhiteReferenceTakesTheLinearValues)
{
    // A uniform patch: whatever gamma, saturation, sharpening and turn the
    // picture gets, the reference is the patch as the sensor saw it, and the
    // balanced picture shows it grey.
    struct Case {
        int gamma, chroma, enhance, rotation;
    };
    for (const Case c : {Case{2, 100, 0, 0}, Case{1, 150, 2, 90}, Case{2, 50, 4, 270}, Case{0, 200, 1, 180}}) {
        SCOPED_TRACE(testing::Message() << "gamma " << c.gamma << ", chroma " << c.chroma << ", enhance "
                                        << c.enhance << ", rotation " << c.rotation);
        bvf::RecordingLayout l = Layout(8, 8, true);
        l.settings.wbMode = TBVSCFILECAM::WbDaylight;
        l.settings.gammaMode = c.gamma;
        l.settings.chroma = c.chroma;
        l.settings.enhanceLevel = c.enhance;
        l.settings.rotation = c.rotation;
        auto r = Open(l, {Mosaic(8, 8, 0, [](int, int) { return RGB{200, 100, 50}; })});
        ASSERT_TRUE(r);
        ASSERT_TRUE(r->pickWhiteReference(QPoint(3, 4)));
        EXPECT_EQ(r->userWhiteReference(), (RGB{200, 100, 50}));
        const RGB shown = Rgb(r->output(), 3, 4);
        EXPECT_TRUE(shown[0] == shown[1] && shown[1] == shown[2]) << shown[0] << " " << shown[1] << " " << shown[2];
    }
}

TEST(BvfDecode, PickWhiteReferenceRefusesABlackPatch)
{
    bvf::RecordingLayout l = Layout(8, 8, true);
    l.settings.wbMode = TBVSCFILECAM::WbDaylight;
    l.settings.gammaMode = 2;
    for (const RGB dark : {RGB{0, 0, 0}, RGB{7, 7, 3}}) {
        SCOPED_TRACE(dark[0]);
        auto r = Open(l, {Mosaic(8, 8, 0, [dark](int, int) { return dark; })});
        ASSERT_TRUE(r);
        r->setUserWhiteReference(180, 190, 200);
        r->setWbMode(TBVSCFILECAM::WbUserDefined);
        r->redecode();
        const Frame before = r->output();
        QString refusal;
        EXPECT_FALSE(r->pickWhiteReference(QPoint(3, 4), &refusal));
        EXPECT_TRUE(refusal.startsWith(QStringLiteral("White reference too dark"))) << refusal.toStdString();
        // The previous balance stays, and so does the picture.
        EXPECT_EQ(r->wbMode(), TBVSCFILECAM::WbUserDefined);
        EXPECT_EQ(r->userWhiteReference(), (RGB{180, 190, 200}));
        EXPECT_EQ(r->output().width(), before.width());
        for (int y = 0; y < before.height(); ++y)
            for (int x = 0; x < before.width(); ++x)
                ASSERT_EQ(Rgb(r->output(), x, y), Rgb(before, x, y)) << x << "," << y;
    }
    // Just bright enough is taken.
    auto r = Open(l, {Mosaic(8, 8, 0, [](int, int) { return RGB{8, 8, 8}; })});
    EXPECT_TRUE(r->pickWhiteReference(QPoint(3, 4)));
}

TEST(BvfDecode, SettersClampAndInvalidate)
{
    auto r = Open(Layout(4, 4, true), {Constant(4, 4, 50)});
    EXPECT_TRUE(r->wbTablesValid());
    r->setWbMode(9);
    EXPECT_EQ(r->wbMode(), 5);
    EXPECT_FALSE(r->wbTablesValid());
    r->redecode();
    EXPECT_TRUE(r->wbTablesValid());
    r->setUserWhiteReference(300, -2, 7);
    EXPECT_FALSE(r->wbTablesValid());
    EXPECT_EQ(r->userWhiteReference(), (std::array<int, 3>{255, 0, 7}));
    r->setChroma(500);
    r->setGammaMode(-1);
    r->setEnhanceLevel(7);
    EXPECT_EQ(r->chroma(), 200);
    EXPECT_EQ(r->gammaMode(), 0);
    EXPECT_EQ(r->enhanceLevel(), 4);
}

namespace {

// The enhancement written out plainly, pixel by pixel, as the camera
// documents it; the optimised version must give the same bytes.
Frame ReferenceEnhance(const Frame& in, int level, bool monochrome)
{
    const LumaTables& t = BuildLumaTables();
    const float k = std::array<float, 4>{1, 2, 4, 6}[level - 1];
    const float c[5] = {0.28125f, 0.0625f, -0.21875f, -0.03125f, 0.046875f};
    const int w = in.width(), h = in.height();
    auto Y = [&](int x, int y) {
        const uint8_t* p = in.pixel(x, y);
        return t.wR[p[2]] + t.wG[p[1]] + t.wB[p[0]];
    };
    auto core = [](float v) {
        if (v >= 4) v -= 4;
        if (v > -4 && v < 4) v = 0;
        if (v <= -4) v += 4;
        return v;
    };
    Frame out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            float W = Y(x, y);
            if (x >= 4 && x <= w - 5 && y >= 4 && y <= h - 5) {
                float hs = c[0] * Y(x, y), vs = c[0] * Y(x, y);
                for (int j = 1; j <= 4; ++j) {
                    hs += c[j] * (Y(x - j, y) + Y(x + j, y));
                    vs += c[j] * (Y(x, y - j) + Y(x, y + j));
                }
                W = Y(x, y) + core(k * hs) + core(k * vs);
            }
            const uint8_t* p = in.pixel(x, y);
            const int r = std::clamp(int(std::nearbyint(float(p[2]) - Y(x, y) + W)), 0, 255);
            const int b = std::clamp(int(std::nearbyint(float(p[0]) - Y(x, y) + W)), 0, 255);
            const int g = std::clamp(int(std::nearbyint((W - (t.wR[r] + t.wB[b])) * 1.704f)), 0, 255);
            uint8_t* o = out.pixel(x, y);
            o[0] = uint8_t(monochrome ? g : b);
            o[1] = uint8_t(g);
            o[2] = uint8_t(monochrome ? g : r);
        }
    return out;
}

} // namespace

TEST(BvfDecode, EnhancementMatchesThePlainFormula)
{
    std::mt19937 random(7);
    for (QSize size : {QSize(23, 17), QSize(9, 9), QSize(40, 5)}) {
        Frame in(size.width(), size.height());
        for (int y = 0; y < in.height(); ++y)
            for (int x = 0; x < in.width(); ++x) {
                uint8_t* p = in.pixel(x, y);
                const int base = (x / 3 + y / 4) % 2 ? 200 : 40; // strong edges
                for (int c = 0; c < 3; ++c)
                    p[c] = uint8_t(std::clamp(base + int(random() % 41) - 20, 0, 255));
            }
        for (bool mono : {false, true})
            for (int level = 1; level <= 4; ++level) {
                Frame f = in;
                bvf::EnhanceScratch scratch;
                bvf::EnhanceEdges(f, level, mono, scratch);
                ASSERT_EQ(f, ReferenceEnhance(in, level, mono))
                    << size.width() << "x" << size.height() << " level " << level << " mono " << mono;
            }
    }
}
