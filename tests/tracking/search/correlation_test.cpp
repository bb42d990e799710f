// Template capture, search window clipping and the correlation step.

#include "tracking/search/TargetSearch.h"
#include "SyntheticTargets.h"

#include <gtest/gtest.h>

using namespace tracking;
using synthetic::GreyImage;

namespace {

SearchParameters CorrelationParams(int templateSize, int percent = 180)
{
    SearchParameters p;
    p.Method = MethodCorrelation;
    p.setSize(templateSize, templateSize, percent);
    return p;
}

} // namespace

TEST(SearchParametersTest, DefaultsAndSizeRecomputation)
{
    SearchParameters p;
    EXPECT_EQ(p.TemplateWidth, 9);
    EXPECT_EQ(p.SearchWidth, 16);
    EXPECT_EQ(p.MarginX, 7);
    EXPECT_DOUBLE_EQ(p.Threshold, 0.8);
    EXPECT_EQ(p.CentreDiameter, 80);
    EXPECT_EQ(p.MaxCentreMove, 20);
    p.setSize(15, 11, 250);   // 37.5 rounds to even, 27.5 too
    EXPECT_EQ(p.SearchWidth, 38);
    EXPECT_EQ(p.SearchHeight, 28);
    EXPECT_EQ(p.MarginX, 23);
    EXPECT_EQ(p.MarginY, 17);
}

TEST(LuminanceTest, WeightsChannelsAndReadsZeroOutside)
{
    Frame f(2, 2);
    f.fill(10, 20, 30);   // blue, green, red
    EXPECT_DOUBLE_EQ(Luminance(f, 1, 1), 0.299 * 30 + 0.587 * 20 + 0.114 * 10);
    EXPECT_EQ(Luminance(f, -1, 0), 0.0);
    EXPECT_EQ(Luminance(f, 2, 0), 0.0);
    EXPECT_EQ(Luminance(f, 0, 2), 0.0);
}

TEST(CaptureTemplateTest, CopiesAroundTruncatedCentreAndKeepsFractions)
{
    GreyImage img(20, 20);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            img.at(x, y) = x + 10 * y;
    const Frame f = img.toFrame();
    const TargetTemplate t = CaptureTemplate(f, 10.75, 5.25, 5, 3);
    ASSERT_EQ(t.width, 5);
    ASSERT_EQ(t.height, 3);
    EXPECT_DOUBLE_EQ(t.fracX, 0.75);
    EXPECT_DOUBLE_EQ(t.fracY, 0.25);
    EXPECT_NEAR(t.at(0, 0), 8 + 10 * 4, 1e-9);   // left 10 - 2, top 5 - 1
    EXPECT_NEAR(t.at(4, 2), 12 + 10 * 6, 1e-9);

    // Outside the frame the template reads 0.
    const TargetTemplate edge = CaptureTemplate(f, 0.5, 0.5, 5, 5);
    EXPECT_EQ(edge.at(0, 0), 0.0);
    EXPECT_NEAR(edge.at(2, 2), 0.0, 1e-9);   // pixel (0, 0) has value 0 too
    EXPECT_NEAR(edge.at(3, 2), 1.0, 1e-9);
}

TEST(SearchWindowTest, ClipsAtEveryBorder)
{
    struct Case { int cx, cy, w, h, fw, fh; PixelRect expected; };
    const Case cases[] = {
        {50, 40, 16, 16, 100, 100, {42, 32, 16, 16}},   // inside
        {5, 40, 16, 16, 100, 100, {0, 32, 13, 16}},     // left border: width Trunc(5 + 8)
        {95, 97, 16, 16, 100, 100, {87, 89, 13, 11}},   // right and bottom borders
        {50, 40, 17, 17, 100, 100, {41, 31, 17, 17}},   // odd size
        {10, 10, 64, 64, 30, 20, {0, 0, 30, 20}},       // larger than the frame on both sides
        {-50, 10, 16, 16, 100, 100, {0, 2, 0, 16}},     // centre far outside: empty
    };
    for (const Case& c : cases) {
        const PixelRect r = SearchWindow(c.cx, c.cy, c.w, c.h, c.fw, c.fh);
        EXPECT_EQ(r.left, c.expected.left) << c.cx << "," << c.cy;
        EXPECT_EQ(r.top, c.expected.top) << c.cx << "," << c.cy;
        EXPECT_EQ(r.width, c.expected.width) << c.cx << "," << c.cy;
        EXPECT_EQ(r.height, c.expected.height) << c.cx << "," << c.cy;
        EXPECT_GE(r.left, 0);
        EXPECT_LE(r.left + r.width, c.fw);
        EXPECT_LE(r.top + r.height, c.fh);
    }
}

// A textured frame shifted by a sub-pixel amount: the correlation finds the
// template again at the shifted place.
TEST(CorrelationStepTest, FindsSubPixelShiftOfTexture)
{
    // A fine texture gives a narrow correlation peak, whose region above the
    // threshold is small enough for the weighted centre to be sub-pixel.
    const synthetic::Texture texture(7, 16, 1.0);
    const Frame first = texture.render(120, 100, 0.0, 0.0).toFrame();
    struct Shift { double dx, dy; int size; };
    const Shift shifts[] = {{0.0, 0.0, 9}, {1.0, -2.0, 9}, {-1.6, 1.3, 9}, {0.5, 0.25, 15},
                            {-2.3, 1.6, 15}, {3.7, -3.4, 31}, {-5.2, 4.1, 31}};
    for (const Shift& s : shifts) {
        const SearchParameters p = CorrelationParams(s.size);
        const double x0 = 60.3, y0 = 50.6;
        const TargetTemplate t = CaptureTemplate(first, x0, y0, s.size, s.size);
        const Frame moved = texture.render(120, 100, s.dx, s.dy).toFrame();
        const CorrelationResult r = CorrelationStep(moved, t, x0, y0, p);
        EXPECT_TRUE(r.templateInside);
        EXPECT_GT(r.score, 0.8) << s.dx << "," << s.dy;
        EXPECT_NEAR(r.x, x0 + s.dx, 0.4) << s.dx << "," << s.dy << " size " << s.size;
        EXPECT_NEAR(r.y, y0 + s.dy, 0.4) << s.dx << "," << s.dy << " size " << s.size;
    }
}

// Peak below the threshold: the integer offset is used, placed by the
// window corner, half the template and the template fractions.
TEST(CorrelationStepTest, UnrefinedPositionFormula)
{
    const synthetic::Texture texture(3);
    const Frame f = texture.render(300, 300, 0.0, 0.0).toFrame();
    TargetTemplate t = CaptureTemplate(f, 109.0, 207.0, 9, 9);   // copied from (105, 203)
    t.fracX = 0.25;
    t.fracY = 0.5;
    SearchParameters p = CorrelationParams(9);
    p.Threshold = 1.05;   // nothing qualifies for refinement
    const CorrelationResult r = CorrelationStep(f, t, 108.0, 208.0, p);   // window at (100, 200)
    EXPECT_FALSE(r.refined);
    EXPECT_NEAR(r.score, 1.0, 1e-6);
    EXPECT_DOUBLE_EQ(r.x, 109.25);
    EXPECT_DOUBLE_EQ(r.y, 207.5);
}

// The window holds the template where it was searched for and the margin
// split around it; a peak on the window's first column is aligned as well
// as any other.
TEST(CorrelationStepTest, PeakOnFirstColumnIsRefined)
{
    const synthetic::Texture texture(5);
    const Frame f = texture.render(200, 200, 0.0, 0.0).toFrame();
    const TargetTemplate t = CaptureTemplate(f, 104.0, 107.0, 9, 9);   // copied from (100, 103)
    const SearchParameters p = CorrelationParams(9);
    const CorrelationResult r = CorrelationStep(f, t, 107.0, 110.0, p);   // window at (100, 103)
    EXPECT_TRUE(r.refined);
    EXPECT_TRUE(r.found());
    EXPECT_NEAR(r.score, 1.0, 1e-6);
    EXPECT_NEAR(r.x, 104.0, 1e-3);
    EXPECT_NEAR(r.y, 107.0, 1e-3);
}

TEST(CorrelationStepTest, FirstOfTwoEqualMaximaWins)
{
    // Two identical blobs on a flat background, side by side in the window.
    GreyImage img(100, 100, 50.0);
    synthetic::AddGaussianSpot(img, 45.5, 50.5, 1.5, 150.0);
    synthetic::AddGaussianSpot(img, 53.5, 50.5, 1.5, 150.0);
    const Frame f = img.toFrame();
    const TargetTemplate t = CaptureTemplate(f, 45.5, 50.5, 5, 5);
    SearchParameters p = CorrelationParams(5, 400);   // 20 x 20 window
    p.Threshold = 1.05;
    const CorrelationResult r = CorrelationStep(f, t, 49.5, 50.5, p);
    EXPECT_NEAR(r.score, 1.0, 1e-6);
    EXPECT_DOUBLE_EQ(r.x, 45.5);
    EXPECT_DOUBLE_EQ(r.y, 50.5);
}

TEST(CorrelationStepTest, FlatImagesGiveZeroCorrelationAtFirstOffset)
{
    const synthetic::Texture texture(9);
    const Frame textured = texture.render(100, 100, 0.0, 0.0).toFrame();
    Frame flat(100, 100);
    flat.fill(90, 90, 90);
    // Window 16: the template at its place (left 46) less half the margin of 7.
    const SearchParameters p = CorrelationParams(9);

    // Flat window (variance counted as 1), textured template.
    const TargetTemplate t = CaptureTemplate(textured, 50.0, 50.0, 9, 9);
    CorrelationResult r = CorrelationStep(flat, t, 50.0, 50.0, p);
    EXPECT_NEAR(r.score, 0.0, 1e-9);
    EXPECT_EQ(r.outcome, SearchOutcome::BelowThreshold);
    EXPECT_DOUBLE_EQ(r.x, 43 + 4.0);
    EXPECT_DOUBLE_EQ(r.y, 43 + 4.0);

    // Flat template (variance 0) on a textured window.
    const TargetTemplate flatTemplate = CaptureTemplate(flat, 50.5, 50.5, 9, 9);
    r = CorrelationStep(textured, flatTemplate, 50.0, 50.0, p);
    EXPECT_EQ(r.score, 0.0);
    EXPECT_EQ(r.outcome, SearchOutcome::BelowThreshold);
    EXPECT_DOUBLE_EQ(r.x, 43 + 4.5);
    EXPECT_DOUBLE_EQ(r.y, 43 + 4.5);
}

TEST(CorrelationStepTest, DarkBlackRegionsDoNotBiasLaterOffsets)
{
    // Half the window is black; the target sits in the textured half. A
    // running mean clamped at 1 over the black part would skew the
    // variance of every later offset.
    const synthetic::Texture texture(11);
    GreyImage img = texture.render(120, 120, 0.0, 0.0);
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 57; ++x)
            img.at(x, y) = 0.0;
    const Frame f = img.toFrame();
    const TargetTemplate t = CaptureTemplate(f, 66.0, 60.0, 9, 9);
    SearchParameters p = CorrelationParams(9, 300);   // 27 x 27 window
    p.Threshold = 1.05;   // the integer peak itself
    const CorrelationResult r = CorrelationStep(f, t, 62.0, 60.0, p);
    EXPECT_NEAR(r.score, 1.0, 1e-6);
    EXPECT_DOUBLE_EQ(r.x, 66.0);
    EXPECT_DOUBLE_EQ(r.y, 60.0);
}

TEST(CorrelationStepTest, LostTargetScoresLow)
{
    const Frame a = synthetic::Texture(1).render(100, 100, 0.0, 0.0).toFrame();
    const Frame b = synthetic::Texture(2).render(100, 100, 0.0, 0.0).toFrame();
    const TargetTemplate t = CaptureTemplate(a, 50.0, 50.0, 15, 15);
    const CorrelationResult r = CorrelationStep(b, t, 50.0, 50.0, CorrelationParams(15));
    EXPECT_TRUE(r.templateInside);
    EXPECT_LT(r.score, 0.8);
    EXPECT_EQ(r.outcome, SearchOutcome::BelowThreshold);
}

TEST(CorrelationStepTest, NearAndOutsideTheFrameEdge)
{
    const synthetic::Texture texture(4);
    const Frame first = texture.render(80, 60, 0.0, 0.0).toFrame();
    const Frame moved = texture.render(80, 60, -1.0, 1.25).toFrame();
    const SearchParameters p = CorrelationParams(9);

    // Target near the left edge: the window is clipped, the target found.
    TargetTemplate t = CaptureTemplate(first, 6.5, 30.5, 9, 9);
    CorrelationResult r = CorrelationStep(moved, t, 6.5, 30.5, p);
    EXPECT_TRUE(r.templateInside);
    EXPECT_NEAR(r.x, 5.5, 0.3);
    EXPECT_NEAR(r.y, 31.75, 0.3);

    // Template sticking out of the frame at the search centre: score 0,
    // position kept.
    r = CorrelationStep(moved, t, 3.0, 30.5, p);
    EXPECT_FALSE(r.templateInside);
    EXPECT_EQ(r.score, 0.0);
    EXPECT_EQ(r.x, 3.0);
    EXPECT_EQ(r.y, 30.5);
    r = CorrelationStep(moved, t, 200.0, -40.0, p);
    EXPECT_FALSE(r.templateInside);
    r = CorrelationStep(moved, t, 1e30, std::nan(""), p);
    EXPECT_FALSE(r.templateInside);
    EXPECT_TRUE(CaptureTemplate(first, 1e30, 5.0, 9, 9).isEmpty());
    EXPECT_TRUE(CaptureTemplate(first, 5.0, 5.0, 1 << 20, 1 << 20).isEmpty());

    // A template larger than the frame never fits.
    t = CaptureTemplate(first, 40.0, 30.0, 101, 101);
    r = CorrelationStep(moved, t, 40.0, 30.0, CorrelationParams(101));
    EXPECT_FALSE(r.templateInside);
    EXPECT_EQ(r.score, 0.0);
}

// A search area of 100 % still compares the template at the place searched
// (one offset) and aligns it from there: no empty map, no drift.
TEST(CorrelationStepTest, WindowNoLargerThanTemplateHasOneOffset)
{
    const synthetic::Texture texture(6, 16, 1.0);
    const Frame f = texture.render(100, 100, 0.0, 0.0).toFrame();
    const TargetTemplate t = CaptureTemplate(f, 50.0, 50.0, 9, 9);
    const SearchParameters p = CorrelationParams(9, 100);
    CorrelationResult r = CorrelationStep(f, t, 50.0, 50.0, p);
    EXPECT_TRUE(r.found());
    EXPECT_NEAR(r.score, 1.0, 1e-6);
    EXPECT_NEAR(r.x, 50.0, 1e-3);
    EXPECT_NEAR(r.y, 50.0, 1e-3);
    // Moved by a fraction of a pixel: still found where it went.
    const Frame moved = texture.render(100, 100, 0.3, -0.2).toFrame();
    r = CorrelationStep(moved, t, 50.0, 50.0, p);
    EXPECT_TRUE(r.found());
    EXPECT_NEAR(r.x, 50.3, 0.05);
    EXPECT_NEAR(r.y, 49.8, 0.05);
}

// Only a score at the Threshold is a find; a template that does not fit
// around the search centre is not searched at all.
TEST(CorrelationStepTest, OutcomeTellsFoundFromLost)
{
    const synthetic::Texture texture(8, 16, 1.0);
    const Frame a = texture.render(100, 80, 0.0, 0.0).toFrame();
    const Frame other = synthetic::Texture(9, 16, 1.0).render(100, 80, 0.0, 0.0).toFrame();
    const TargetTemplate t = CaptureTemplate(a, 50.0, 40.0, 15, 15);
    struct Case { const Frame* frame; double x, y; SearchOutcome expected; };
    const Case cases[] = {
        {&a, 50.0, 40.0, SearchOutcome::Found},
        {&other, 50.0, 40.0, SearchOutcome::BelowThreshold},
        {&a, 6.0, 40.0, SearchOutcome::NotSearchable},     // within half a template of the left
        {&a, 95.0, 40.0, SearchOutcome::NotSearchable},    // ... and of the right border
        {&a, 50.0, 75.0, SearchOutcome::NotSearchable},
        {&a, -30.0, 40.0, SearchOutcome::NotSearchable},
    };
    for (const Case& c : cases) {
        const CorrelationResult r = CorrelationStep(*c.frame, t, c.x, c.y, CorrelationParams(15));
        EXPECT_EQ(r.outcome, c.expected) << c.x << "," << c.y;
        EXPECT_EQ(r.found(), c.expected == SearchOutcome::Found);
    }
    EXPECT_EQ(CorrelationStep(a, TargetTemplate{}, 50.0, 40.0, CorrelationParams(15)).outcome,
              SearchOutcome::NotSearchable);
}

// A target leaving the picture through the right edge is lost before it
// goes, never parked at the border.
TEST(CorrelationStepTest, TargetLeavingThePictureIsLost)
{
    const synthetic::Texture texture(12, 16, 1.0);
    const SearchParameters p = CorrelationParams(9);
    double x = 100.5, y = 40.5;
    TargetTemplate t = CaptureTemplate(texture.render(120, 80, 0.0, 0.0).toFrame(), x, y, 9, 9);
    bool lost = false;
    for (int k = 1; k < 20 && !lost; ++k) {
        const Frame f = texture.render(120, 80, 3.0 * k, 0.0).toFrame();
        const CorrelationResult r = CorrelationStep(f, t, x, y, p);
        if (!r.found()) {
            lost = true;
            EXPECT_GT(100.5 + 3.0 * k, 120.0 - 4.5 - 3.0) << "lost too early at frame " << k;
            break;
        }
        EXPECT_NEAR(r.x, 100.5 + 3.0 * k, 0.05) << k;
        x = r.x;
        y = r.y;
        t = RecaptureTemplate(f, t, x, y, 9, 9);
    }
    EXPECT_TRUE(lost);
}

TEST(LabelRegionsTest, FourConnectedRegionsInScanOrder)
{
    // 1 = in range. The U shape is one region although its arms meet only
    // at the bottom; the diagonal neighbour is a region of its own.
    const int w = 6, h = 4;
    const double v[h][w] = {
        {0, 1, 0, 1, 0, 1},
        {0, 1, 0, 1, 0, 0},
        {0, 1, 1, 1, 0, 0},
        {1, 0, 0, 0, 0, 0},
    };
    std::vector<int32_t> labels;
    EXPECT_EQ(LabelRegions(&v[0][0], w, h, 0.5, 1.5, labels), 3);
    const int32_t expected[h][w] = {
        {0, 1, 0, 1, 0, 2},
        {0, 1, 0, 1, 0, 0},
        {0, 1, 1, 1, 0, 0},
        {3, 0, 0, 0, 0, 0},
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            EXPECT_EQ(labels[size_t(y) * w + x], expected[y][x]) << x << "," << y;
    EXPECT_EQ(LabelRegions(&v[0][0], 0, 0, 0.5, 1.5, labels), 0);
}
