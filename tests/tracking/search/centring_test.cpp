// Quadrant and spot centring, their building blocks, and the dispatch.

#include "tracking/search/TargetSearch.h"
#include "SyntheticTargets.h"

#include <gtest/gtest.h>

using namespace tracking;
using synthetic::GreyImage;

namespace {

SearchParameters SpotParams(uint8_t method, int percent, bool weighted)
{
    SearchParameters p;
    p.Method = method;
    p.setSize(15, 15, 180);
    p.ThresholdPercent = percent;
    p.WeightedCog = weighted ? 1 : 0;
    return p;
}

Frame SpotFrame(double cx, double cy, bool light, double noise = 0.0)
{
    GreyImage img(100, 80, light ? 40.0 : 210.0);
    synthetic::AddGaussianSpot(img, cx, cy, 2.5, light ? 180.0 : -170.0);
    if (noise > 0)
        img.addNoise(noise, 17);
    return img.toFrame();
}

} // namespace

TEST(LineIntersectionTest, CrossingVerticalAndParallelLines)
{
    CentreResult r = LineIntersection({0, 0}, {4, 4}, {0, 4}, {4, 0});
    ASSERT_TRUE(r.found);
    EXPECT_DOUBLE_EQ(r.x, 2.0);
    EXPECT_DOUBLE_EQ(r.y, 2.0);
    r = LineIntersection({0, 1}, {4, 3}, {3, -5}, {3, 5});   // vertical rising line
    ASSERT_TRUE(r.found);
    EXPECT_DOUBLE_EQ(r.x, 3.0);
    EXPECT_DOUBLE_EQ(r.y, 2.5);
    r = LineIntersection({2, -5}, {2, 5}, {0, 1}, {4, 3});   // vertical falling line
    ASSERT_TRUE(r.found);
    EXPECT_DOUBLE_EQ(r.x, 2.0);
    EXPECT_DOUBLE_EQ(r.y, 2.0);
    EXPECT_FALSE(LineIntersection({0, 0}, {4, 4}, {0, 1}, {4, 5}).found);     // parallel
    EXPECT_FALSE(LineIntersection({1, 0}, {1, 4}, {3, 0}, {3, 4}).found);     // both vertical
}

TEST(QuadrantTest, CircleCentreFindsSubPixelCentre)
{
    const double centres[][2] = {{40.0, 30.0}, {40.5, 30.5}, {40.25, 30.8}, {41.9, 29.1}};
    for (const auto& c : centres) {
        const Frame f = synthetic::QuadrantImage(80, 60, c[0], c[1], 220.0, 30.0).toFrame();
        const CentreResult r = CircleCentre(f, c[0] + 0.7, c[1] - 0.6, 4.0);
        ASSERT_TRUE(r.found) << c[0] << "," << c[1];
        EXPECT_NEAR(r.x, c[0], 0.1) << c[0] << "," << c[1];
        EXPECT_NEAR(r.y, c[1], 0.1) << c[0] << "," << c[1];
    }
}

TEST(QuadrantTest, NarrowAndWideSearch)
{
    const Frame f = synthetic::QuadrantImage(80, 60, 40.3, 30.6, 200.0, 20.0).toFrame();
    SearchParameters p;   // quadrant, template 9, diameter 80 %
    CentreResult r = QuadrantCentre(f, p, 41.0, 30.0, false);
    ASSERT_TRUE(r.found);
    EXPECT_NEAR(r.x, 40.3, 0.02);
    EXPECT_NEAR(r.y, 30.6, 0.02);
    r = Search(f, p, 41.0, 30.0, false);
    EXPECT_TRUE(r.found);

    // Started beyond the circle radius: only the ring search finds it.
    p.setSize(15, 15, 180);
    r = QuadrantCentre(f, p, 46.0, 35.0, true);
    ASSERT_TRUE(r.found);
    EXPECT_NEAR(r.x, 40.3, 0.02);
    EXPECT_NEAR(r.y, 30.6, 0.02);

    // A centre move beyond MaxCentreMove is refused; the position stays.
    p.MaxCentreMove = 2;
    r = QuadrantCentre(f, p, 43.0, 32.0, false);
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.x, 43.0);
    EXPECT_EQ(r.y, 32.0);
}

// A turned target: the edge lines no longer run along rows and columns far
// enough; the centre still comes out close.
TEST(QuadrantTest, TurnedTargetIsFound)
{
    for (const double degrees : {10.0, 25.0, 40.0}) {
        const double cx = 40.37, cy = 30.58, t = degrees * M_PI / 180.0;
        GreyImage img(80, 60);
        for (int y = 0; y < 60; ++y)
            for (int x = 0; x < 80; ++x) {
                double sum = 0.0;
                for (int sy = 0; sy < 8; ++sy)
                    for (int sx = 0; sx < 8; ++sx) {
                        const double dx = x + (sx + 0.5) / 8 - cx, dy = y + (sy + 0.5) / 8 - cy;
                        const double u = dx * std::cos(t) + dy * std::sin(t), v = -dx * std::sin(t) + dy * std::cos(t);
                        sum += (u > 0) == (v > 0) ? 210.0 : 30.0;
                    }
                img.at(x, y) = sum / 64;
            }
        SearchParameters p;
        p.setSize(15, 15, 180);
        const CentreResult r = QuadrantCentre(img.toFrame(), p, 41.0, 30.0, false);
        ASSERT_TRUE(r.found) << degrees;
        EXPECT_NEAR(r.x, cx, 0.1) << degrees;
        EXPECT_NEAR(r.y, cy, 0.1) << degrees;
    }
}

TEST(QuadrantTest, FailsWithoutTwoAndTwoCrossings)
{
    // A flat frame has no crossings; six alternating 60-degree sectors give
    // three rising and three falling ones.
    Frame flat(60, 60);
    flat.fill(100, 100, 100);
    EXPECT_FALSE(CircleCentre(flat, 30, 30, 4).found);

    GreyImage img(60, 60);
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < 60; ++x) {
            double sum = 0.0;
            for (int sy = 0; sy < 4; ++sy) {
                for (int sx = 0; sx < 4; ++sx) {
                    const double a = std::atan2(y + (sy + 0.5) / 4 - 30.0, x + (sx + 0.5) / 4 - 30.0);
                    const int sector = int(std::floor((a + M_PI) / (M_PI / 3)));
                    sum += sector % 2 == 0 ? 200.0 : 20.0;
                }
            }
            img.at(x, y) = sum / 16;
        }
    }
    const Frame f = img.toFrame();
    SearchParameters p;
    const CentreResult r = QuadrantCentre(f, p, 30.2, 29.8, false);
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.x, 30.2);
}

TEST(QuadrantTest, CircleNearTheBorderFailsWithoutSampling)
{
    const Frame f = synthetic::QuadrantImage(40, 40, 5.0, 5.0, 200.0, 20.0).toFrame();
    EXPECT_TRUE(CircleCentre(f, 5.0, 5.0, 4.0).found);      // 5 - 0.5 - 4 >= 0
    EXPECT_FALSE(CircleCentre(f, 4.4, 5.0, 4.0).found);
    EXPECT_FALSE(CircleCentre(f, 5.0, 4.4, 4.0).found);
    EXPECT_FALSE(CircleCentre(f, 35.0, 20.0, 4.0).found);   // right border
    EXPECT_FALSE(CircleCentre(f, -100.0, 1e9, 4.0).found);
    SearchParameters p;
    EXPECT_FALSE(QuadrantCentre(f, p, 1.0, 1.0, true).found);
}

TEST(SpotTest, AdaptiveRanges)
{
    // Darkest template pixel 55 at 40 %: 0 ... Round(255 - 200 * 0.4) = 175.
    Frame f(20, 20);
    f.fill(200, 200, 200);
    f.pixel(10, 10)[0] = f.pixel(10, 10)[1] = f.pixel(10, 10)[2] = 55;
    SearchParameters p = SpotParams(MethodDarkSpot, 40, false);
    IntensityRange r = SpotRange(f, p, {5, 5, 9, 9});
    EXPECT_EQ(r.low, 0);
    EXPECT_EQ(r.high, 175);
    p.Method = MethodLightSpot;   // brightest 200 at 40 %: 80 ... 255
    r = SpotRange(f, p, {5, 5, 9, 9});
    EXPECT_EQ(r.low, 80);
    EXPECT_EQ(r.high, 255);
    p.FixedRange = 1;
    p.RangeMin = 30;
    p.RangeMax = 90;
    r = SpotRange(f, p, {5, 5, 9, 9});
    EXPECT_EQ(r.low, 30);
    EXPECT_EQ(r.high, 90);
}

TEST(SpotTest, FindsLightAndDarkSpotCentres)
{
    struct Case { bool light; bool weighted; double tolerance; };
    const Case cases[] = {{true, false, 0.02}, {true, true, 0.02}, {false, false, 0.02}, {false, true, 0.02}};
    const double centres[][2] = {{50.0, 40.0}, {50.5, 40.5}, {50.3, 39.8}, {49.7, 40.35}};
    for (const Case& c : cases) {
        for (const auto& centre : centres) {
            const Frame f = SpotFrame(centre[0], centre[1], c.light);
            const SearchParameters p = SpotParams(c.light ? MethodLightSpot : MethodDarkSpot, 50, c.weighted);
            const CentreResult r = Search(f, p, 51.0, 39.0, false);
            ASSERT_TRUE(r.found) << c.light << c.weighted;
            EXPECT_NEAR(r.x, centre[0], c.tolerance) << "light " << c.light << " weighted " << c.weighted;
            EXPECT_NEAR(r.y, centre[1], c.tolerance) << "light " << c.light << " weighted " << c.weighted;
        }
    }
}

TEST(SpotTest, NarrowAndWideSearchSettleOnTheSpot)
{
    const Frame f = SpotFrame(50.3, 40.6, true);
    SearchParameters p = SpotParams(MethodLightSpot, 50, true);
    // Started 7 pixels off, the first rectangle cuts through the spot; the
    // symmetric window moved onto the spot settles on its centre all the same.
    const CentreResult narrow = SpotCentre(f, p, 57.0, 46.0, false);
    const CentreResult wide = SpotCentre(f, p, 57.0, 46.0, true);
    ASSERT_TRUE(narrow.found);
    ASSERT_TRUE(wide.found);
    EXPECT_NEAR(narrow.x, 50.3, 0.02);
    EXPECT_NEAR(narrow.y, 40.6, 0.02);
    EXPECT_NEAR(wide.x, 50.3, 0.02);
    EXPECT_NEAR(wide.y, 40.6, 0.02);
}

TEST(SpotTest, SeedIsSoughtInsideTheSearchWindowOnly)
{
    // Fixed range matching no pixel: the spiral ends at the window bound.
    const Frame f = SpotFrame(50.0, 40.0, true);
    SearchParameters p = SpotParams(MethodLightSpot, 50, false);
    p.FixedRange = 1;
    p.RangeMin = 250;
    p.RangeMax = 255;
    CentreResult r = SpotCentre(f, p, 20.0, 20.0, true);
    EXPECT_FALSE(r.found);
    EXPECT_EQ(r.x, 20.0);
    EXPECT_EQ(r.y, 20.0);

    // The spot lies 25 pixels away, beyond the 27-pixel window.
    int sx = 0, sy = 0;
    const PixelRect window = SearchWindow(25, 40, 27, 27, f.width(), f.height());
    EXPECT_FALSE(SpiralSeed(f, 25, 40, 150, 255, window, sx, sy));
    EXPECT_TRUE(SpiralSeed(f, 25, 40, 150, 255, {0, 0, f.width(), f.height()}, sx, sy));
    EXPECT_GE(sx, 45);

    // Spiral order: start pixel, then up, left, down, right.
    Frame g(9, 9);
    g.fill(0, 0, 0);
    auto set = [&g](int x, int y) { g.pixel(x, y)[0] = g.pixel(x, y)[1] = g.pixel(x, y)[2] = 255; };
    set(3, 5);   // left-down of (4, 4): reached on the third leg
    set(5, 5);   // right-down: reached on the fourth
    ASSERT_TRUE(SpiralSeed(g, 4, 4, 200, 255, {0, 0, 9, 9}, sx, sy));
    EXPECT_EQ(sx, 3);
    EXPECT_EQ(sy, 5);
    EXPECT_FALSE(SpiralSeed(g, 4, 4, 200, 255, {0, 0, 0, 0}, sx, sy));
}

TEST(SpotTest, RegionCentreRules)
{
    // An L-shaped region: the normal centre counts the whole row span.
    Frame f(20, 20);
    f.fill(0, 0, 0);
    auto set = [&f](int x, int y, uint8_t v) { f.pixel(x, y)[0] = f.pixel(x, y)[1] = f.pixel(x, y)[2] = v; };
    for (int x = 5; x <= 9; ++x)
        set(x, 5, 200);
    set(5, 6, 200);
    set(9, 6, 200);   // row 6 has a gap 6 ... 8 that counts in the normal centre
    const PixelRect rect{2, 2, 12, 12};
    CentreResult r = RegionCentre(f, rect, false, false, 100, 255, 5, 5);
    ASSERT_TRUE(r.found);
    EXPECT_DOUBLE_EQ(r.x, 7.5);
    EXPECT_DOUBLE_EQ(r.y, 6.0);   // rows 5 and 6 count five positions each

    // Weighted with luminance: the brighter pixel pulls the centre.
    set(9, 6, 100);
    r = RegionCentre(f, rect, true, false, 100, 255, 5, 5);
    ASSERT_TRUE(r.found);
    const double sumW = 6 * 200.0 + 100.0;
    EXPECT_NEAR(r.x, (200.0 * (5 + 6 + 7 + 8 + 9 + 5) + 100.0 * 9) / sumW + 0.5, 1e-12);

    // A dark spot is weighted with 255 - luminance.
    r = RegionCentre(f, rect, true, true, 0, 120, 3, 3);
    ASSERT_TRUE(r.found);
    EXPECT_GT(r.x, 0.0);

    // A light spot is weighted with brightness whatever its range, also one
    // with low + high <= 255: the brighter pixel still pulls the centre.
    r = RegionCentre(f, rect, true, false, 50, 200, 5, 5);
    ASSERT_TRUE(r.found);
    EXPECT_NEAR(r.x, (200.0 * (5 + 6 + 7 + 8 + 9 + 5) + 100.0 * 9) / sumW + 0.5, 1e-12);

    // Seed not strictly inside, seed pixel out of range, rectangle leaving the frame.
    EXPECT_FALSE(RegionCentre(f, rect, false, false, 100, 255, 2, 5).found);
    EXPECT_FALSE(RegionCentre(f, rect, false, false, 100, 255, 10, 10).found);
    EXPECT_FALSE(RegionCentre(f, {10, 10, 12, 12}, false, false, 100, 255, 15, 15).found);
    EXPECT_FALSE(RegionCentre(f, {-1, 2, 12, 12}, false, false, 100, 255, 5, 5).found);
    // A seed just inside the far edge rounds onto the rectangle's last pixel, not past it.
    EXPECT_FALSE(RegionCentre(f, rect, false, false, 100, 255, 13.8, 5).found);

    // Every weight 0 (a white region weighted as dark) falls back to the normal centre.
    Frame white(10, 10);
    white.fill(255, 255, 255);
    r = RegionCentre(white, {0, 0, 10, 10}, true, true, 0, 255, 5, 5);
    ASSERT_TRUE(r.found);
    EXPECT_DOUBLE_EQ(r.x, 5.0);
    EXPECT_DOUBLE_EQ(r.y, 5.0);
}

TEST(SearchTest, CorrelationMethodKeepsPosition)
{
    Frame f(10, 10);
    f.clear();
    SearchParameters p;
    p.Method = MethodCorrelation;
    const CentreResult r = Search(f, p, 3.25, 4.5, true);
    EXPECT_TRUE(r.found);
    EXPECT_EQ(r.x, 3.25);
    EXPECT_EQ(r.y, 4.5);

    // Spot search on an empty frame or far outside it reports not found.
    p.Method = MethodLightSpot;
    EXPECT_FALSE(Search(Frame(), p, 3.0, 3.0, true).found);
    EXPECT_FALSE(Search(f, p, -500.0, 1e6, true).found);
    p.Method = MethodQuadrant;
    EXPECT_FALSE(Search(Frame(), p, 3.0, 3.0, true).found);

    // Absurd sizes end quickly instead of walking huge rectangles.
    p.Method = MethodDarkSpot;
    p.setSize(1 << 20, 1 << 20, 999);
    EXPECT_FALSE(Search(f, p, 5.0, 5.0, true).found);
    p.Method = MethodQuadrant;
    EXPECT_FALSE(Search(f, p, 5.0, 5.0, true).found);
}

TEST(SpotTest, DarkRangeCountsPixelsOffTheFrameAsBlack)
{
    Frame f(20, 20);
    f.fill(200, 200, 200);
    SearchParameters p = SpotParams(MethodDarkSpot, 50, false);
    EXPECT_EQ(SpotRange(f, p, {5, 5, 9, 9}).high, 228);   // Round(255 - 55 * 0.5), half to even
    EXPECT_EQ(SpotRange(f, p, {-2, 5, 9, 9}).high, 128);  // Round(255 - 255 * 0.5)
}
