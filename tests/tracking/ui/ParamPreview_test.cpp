// The arithmetic of the parameter dialog's preview.

#include "common/Frame.h"
#include "tracking/ui/ParamPreview.h"

#include <gtest/gtest.h>

using namespace paramview;

TEST(ParamPreview, ScaleIsTheNearestPowerOfTwoTiesToTheSmaller)
{
    struct Case {
        int viewWidth, searchWidth, scale;
    };
    const Case cases[] = {
        {512, 16, 16},  // 16 exactly
        {512, 20, 16},  // 12.8: nearer 16 than 8
        {512, 24, 8},   // 10.7: nearer 8
        {192, 32, 2},   // 3: halfway between 2 and 4
        {384, 32, 4},   // 6: halfway between 4 and 8
        {512, 1, 32},   // 256: 32 above 32
        {512, 999, 1},  // 0.26: never below 1
        {512, 0, 32},   // no search area: the largest scale
    };
    for (const Case& c : cases)
        EXPECT_EQ(PreviewScaleFor(c.viewWidth, c.searchWidth), c.scale) << c.viewWidth << " / " << c.searchWidth;
}

TEST(ParamPreview, OriginCentresThePointAndStaysInsideTheImage)
{
    EXPECT_EQ(CentredOrigin(300.0, 200.0, 512, 576, 4), QPoint(236, 128));   // 300 - 64, 200 - 72
    EXPECT_EQ(CentredOrigin(300.5, 200.5, 512, 576, 16), QPoint(284, 182));  // Round(284.5) = 284, Round(182.5) = 182
    EXPECT_EQ(CentredOrigin(5.0, 3.0, 512, 576, 4), QPoint(0, 0));
    EXPECT_EQ(CentredOrigin(-1.0, -1.0, 512, 576, 1), QPoint(0, 0));        // no position
}

TEST(ParamPreview, TemplateRectangleNeverStartsBelowZero)
{
    const tracking::PixelRect r = PreviewTemplateRect(100.7, 50.2, 9, 11);
    EXPECT_EQ(r.left, 96);  // Trunc(96.2)
    EXPECT_EQ(r.top, 44);   // Trunc(44.7)
    EXPECT_EQ(r.width, 9);
    EXPECT_EQ(r.height, 11);
    const tracking::PixelRect corner = PreviewTemplateRect(2.0, 1.0, 9, 9);
    EXPECT_EQ(corner.left, 0);
    EXPECT_EQ(corner.top, 0);
}

TEST(ParamPreview, PaintsOnlyPixelsInRangeInsideTheRectAndTheFrame)
{
    Frame frame(8, 6);
    frame.fill(100, 100, 100);          // luminance 100
    frame.pixel(5, 4)[0] = 250;         // brighter: 0.114 * 250 + 0.587 * 100 + 0.299 * 100 = 117.1
    // The rectangle runs off the frame's right and bottom edges.
    PaintRangeRed(frame, {4, 3, 10, 10}, 110, 255);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) {
            const uint8_t* p = frame.pixel(x, y);
            const bool red = p[0] == 0 && p[1] == 0 && p[2] == 255;
            EXPECT_EQ(red, x == 5 && y == 4) << x << "," << y;
        }
    // A range that is not inside 0 ... 255 paints nothing.
    Frame untouched(4, 4);
    untouched.fill(100, 100, 100);
    const Frame before = untouched;
    PaintRangeRed(untouched, {0, 0, 4, 4}, -1, 255);
    PaintRangeRed(untouched, {0, 0, 4, 4}, 0, 256);
    EXPECT_EQ(untouched, before);
}

TEST(ParamPreview, MarksSitWhereTheImagePointsAreShown)
{
    MarksInput in;
    in.x = 100.5;
    in.y = 50.5;
    in.templateWidth = 9;
    in.templateHeight = 9;
    in.searchPercent = 180;             // 16.2 x 16.2
    in.circle = true;
    in.circlePercent = 80;
    in.spotFound = true;
    in.spotX = 101.0;
    in.spotY = 51.25;
    in.origin = QPoint(90, 40);
    in.scale = 4;
    const PreviewMarks m = MarksFor(in);
    EXPECT_EQ(m.centre, QPoint(42, 42));
    EXPECT_EQ(m.templateTopLeft, QPoint(24, 24));
    EXPECT_EQ(m.templateBottomRight, QPoint(60, 60));
    EXPECT_EQ(m.searchTopLeft, QPoint(10, 10));          // Round(9.6)
    EXPECT_EQ(m.searchBottomRight, QPoint(74, 74));      // Round(74.4)
    EXPECT_TRUE(m.hasCircle);
    EXPECT_DOUBLE_EQ(m.circleRadius, 0.8 * 4.5 * 4);
    EXPECT_EQ(m.circleCentre, QPointF(42.0, 42.0));
    EXPECT_TRUE(m.hasSpotCentre);
    EXPECT_EQ(m.spotCentre, QPoint(44, 45));
}
