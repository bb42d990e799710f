#include "overlays/MarkerShape.h"

#include <gtest/gtest.h>

namespace {

TEST(MarkerShape, CircleIsSquaredAndCentredHorizontally)
{
    const MarkerShapeDrawing d = MarkerShapeLayout(stCircle, {20, 10}, 1);
    EXPECT_EQ(d.box, QRect(5, 0, 10, 10));
    EXPECT_EQ(d.filled.boundingRect(), QRectF(5, 0, 10, 10));
    EXPECT_TRUE(d.lines.empty());
}

struct BoxCase {
    TNUVShapeType shape;
    QSize size;
    int pen;
    QRect box;
};

class MarkerShapeBox : public ::testing::TestWithParam<BoxCase> {};

TEST_P(MarkerShapeBox, InsetByThePen)
{
    const BoxCase& c = GetParam();
    EXPECT_EQ(MarkerShapeLayout(c.shape, c.size, c.pen).box, c.box);
}

INSTANTIATE_TEST_SUITE_P(
    Table, MarkerShapeBox,
    ::testing::Values(BoxCase{stRectangle, {20, 10}, 1, QRect(0, 0, 20, 10)},
                      BoxCase{stRectangle, {20, 10}, 0, QRect(0, 0, 20, 10)},
                      BoxCase{stEllipse, {20, 10}, 3, QRect(1, 1, 18, 8)},
                      BoxCase{stSquare, {10, 20}, 1, QRect(0, 5, 10, 10)},
                      BoxCase{stRoundSquare, {65, 65}, 4, QRect(2, 2, 62, 62)},
                      BoxCase{stCircle, {21, 10}, 2, QRect(6, 1, 9, 9)}));

TEST(MarkerShape, RectangleOutlineEndsOnTheLastPixel)
{
    const MarkerShapeDrawing d = MarkerShapeLayout(stRectangle, {20, 10}, 1);
    ASSERT_EQ(d.lines.size(), 4u);
    EXPECT_EQ(d.lines[0], QLine(0, 0, 19, 0));
    EXPECT_EQ(d.lines[1], QLine(19, 0, 19, 9));
    EXPECT_EQ(d.lines[2], QLine(19, 9, 0, 9));
    EXPECT_EQ(d.lines[3], QLine(0, 9, 0, 0));
    EXPECT_TRUE(d.filled.isEmpty());
}

TEST(MarkerShape, LineShapes)
{
    const QSize size{20, 10};
    const auto confirm = MarkerShapeLayout(stMPconfirm, size, 1).lines;
    ASSERT_EQ(confirm.size(), 2u);
    EXPECT_EQ(confirm[0], QLine(0, 0, 20, 10));
    EXPECT_EQ(confirm[1], QLine(20, 0, 0, 10));

    const auto unconfirm = MarkerShapeLayout(stMPUnconfirm, size, 1).lines;
    ASSERT_EQ(unconfirm.size(), 6u);
    EXPECT_EQ(unconfirm[4], QLine(10, 0, 10, 10));
    EXPECT_EQ(unconfirm[5], QLine(0, 5, 20, 5));

    const auto vanish = MarkerShapeLayout(stMPVanish, size, 1).lines;
    ASSERT_EQ(vanish.size(), 2u);
    EXPECT_EQ(vanish[0], QLine(0, 0, 10, 10));
    EXPECT_EQ(vanish[1], QLine(10, 10, 20, 0));

    EXPECT_EQ(MarkerShapeLayout(stMPLost, size, 1).lines.size(), 4u);
    const auto nothing = MarkerShapeLayout(stDefault, size, 1);
    EXPECT_TRUE(nothing.lines.empty());
    EXPECT_TRUE(nothing.filled.isEmpty());
}

TEST(MarkerShape, CrossIsAHalfSizeEllipseWithLinesThrough)
{
    const MarkerShapeDrawing d = MarkerShapeLayout(stCross, {20, 10}, 1);
    EXPECT_EQ(d.filled.boundingRect(), QRectF(5, 2, 10, 6)); // (5,2)-(15,8)
    ASSERT_EQ(d.lines.size(), 2u);
    EXPECT_EQ(d.lines[0], QLine(-20, 5, 20, 5));
    EXPECT_EQ(d.lines[1], QLine(10, -10, 10, 10));
}

TEST(MarkerShape, RoundRectCornersFollowTheShortSide)
{
    const MarkerShapeDrawing d = MarkerShapeLayout(stRoundRect, {40, 20}, 1);
    EXPECT_EQ(d.filled.boundingRect(), QRectF(0, 0, 40, 20));
    // Corner ellipse 5 wide: the corner pixel itself lies outside the shape.
    EXPECT_FALSE(d.filled.contains(QPointF(0.2, 0.2)));
    EXPECT_TRUE(d.filled.contains(QPointF(2.5, 2.5)));
}

} // namespace
