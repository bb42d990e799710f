#include "overlays/MagnifierGeometry.h"
#include "overlays/RulerGeometry.h"

#include <gtest/gtest.h>
#include <cmath>

TEST(Ruler, DistanceTextAndPlacement)
{
    EXPECT_DOUBLE_EQ(RulerDistance({10, 10}, {13, 14}, 1.0), 5.0);
    EXPECT_DOUBLE_EQ(RulerDistance({10, 10}, {13, 14}, 2.0), 2.5);
    EXPECT_DOUBLE_EQ(RulerDistance({10, 10}, {13, 14}, 0.0), 5.0); // uncalibrated: pixels, not infinity

    EXPECT_EQ(RulerText(12.3456, 1), QStringLiteral("12.35 mm"));
    EXPECT_EQ(RulerText(5.0, 6), QStringLiteral("5.00 pixels"));
    EXPECT_EQ(RulerText(0.5, 0), QString::fromUtf8("0.50 µm"));
    EXPECT_EQ(CalUnitName(4), QStringLiteral("inches"));
    EXPECT_EQ(CalUnitName(5), QStringLiteral("feet"));
    EXPECT_EQ(CalUnitName(7), QString());
    EXPECT_EQ(CalUnitName(-1), QString());

    const ViewMapping view{2.0, 10.0, -5.0};
    EXPECT_EQ(RulerViewLine({1, 2}, {3, 4}, view), QLineF(12, -1, 16, 3));
    EXPECT_EQ(RulerTextTopLeft({3, 4}, view), QPoint(36, 23));
    // Half-way positions round to even.
    EXPECT_EQ(RulerTextTopLeft({0.25, 0.75}, ViewMapping{2.0, 0.0, 0.0}), QPoint(20, 22));
}

TEST(Magnifier, FactorFromLevel)
{
    EXPECT_DOUBLE_EQ(MagnifierFactor(0), 1.0);
    EXPECT_NEAR(MagnifierFactor(10), 1.584893, 1e-6);
    EXPECT_NEAR(MagnifierFactor(50), 10.0, 1e-12);
}

TEST(Magnifier, MagnifiesAboutTheRectangleCentre)
{
    const QRect r(100, 200, 64, 32);
    // The centre stays put, whatever the factor.
    EXPECT_EQ(MagnifierSourcePoint(r, 10.0, {32, 16}), QPointF(132, 216));
    // Level 0: unmagnified.
    EXPECT_EQ(MagnifierSourcePoint(r, 1.0, {0, 0}), QPointF(100, 200));
    // 2×: the corner shows the point half-way to the centre.
    EXPECT_EQ(MagnifierSourcePoint(r, 2.0, {0, 0}), QPointF(116, 208));
    EXPECT_EQ(MagnifierSourceRect(r, 2.0), QRectF(116, 208, 32, 16));
    EXPECT_EQ(InitialMagnifierRect({50, 60}), QRectF(18, 28, 64, 64));
}

TEST(Magnifier, RaisedFrameAlphas)
{
    EXPECT_EQ(RaisedLightAlpha(35), 179);
    EXPECT_EQ(RaisedDarkAlpha(35), 89);
    EXPECT_EQ(RaisedLightAlpha(3), 15);
    EXPECT_EQ(RaisedDarkAlpha(3), 7);
}

TEST(RubberBand, CtrlResizeKeepsTheCentre)
{
    const QRectF before(0, 0, 64, 64); // centre (32, 32)
    struct Case { BandHandle handle; QRectF proposed; QRectF expected; };
    const Case cases[] = {
        // Right handle dragged to 1 pixel from the centre: half width 2.
        {BandHandle::Right, QRectF(QPointF(0, 0), QPointF(33, 64)), QRectF(QPointF(30, 0), QPointF(34, 64))},
        {BandHandle::Left, QRectF(QPointF(-8, 0), QPointF(64, 64)), QRectF(QPointF(-8, 0), QPointF(72, 64))},
        {BandHandle::Top, QRectF(QPointF(0, 22), QPointF(64, 64)), QRectF(QPointF(0, 22), QPointF(64, 42))},
        {BandHandle::Bottom, QRectF(QPointF(0, 0), QPointF(64, 80)), QRectF(QPointF(0, -16), QPointF(64, 80))},
        {BandHandle::BottomRight, QRectF(QPointF(0, 0), QPointF(42, 52)), QRectF(QPointF(22, 12), QPointF(42, 52))},
        {BandHandle::TopLeft, QRectF(QPointF(40, 40), QPointF(64, 64)), QRectF(QPointF(30, 30), QPointF(34, 34))},
        {BandHandle::Body, QRectF(5, 5, 64, 64), QRectF(5, 5, 64, 64)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SymmetricResize(before, c.handle, c.proposed), c.expected) << int(c.handle);
}

TEST(RubberBand, PlainDragMovesOneSideWithoutCrossing)
{
    const QRectF before(10, 10, 20, 20);
    EXPECT_EQ(DragBand(before, BandHandle::Body, {5, -5}, 1), QRectF(15, 5, 20, 20));
    EXPECT_EQ(DragBand(before, BandHandle::Right, {7, 99}, 1), QRectF(10, 10, 27, 20));
    EXPECT_EQ(DragBand(before, BandHandle::Left, {50, 0}, 1), QRectF(QPointF(29, 10), QPointF(30, 30)));
    EXPECT_EQ(DragBand(before, BandHandle::TopLeft, {-2, -3}, 1), QRectF(QPointF(8, 7), QPointF(30, 30)));
}
