#include "overlays/GridGeometry.h"

#include <gtest/gtest.h>
#include <cmath>
#include <limits>
#include <vector>

namespace {

// Lines of a family as their constant coordinate (horizontal: y, vertical: x),
// in drawing order.
std::vector<double> horizontalYs(const std::vector<QLineF>& lines)
{
    std::vector<double> ys;
    for (const QLineF& l : lines)
        if (l.x1() == 0.0 && l.y1() == l.y2())
            ys.push_back(l.y1());
    return ys;
}

std::vector<double> verticalXs(const std::vector<QLineF>& lines)
{
    std::vector<double> xs;
    for (const QLineF& l : lines)
        if (l.y1() == 0.0 && l.x1() == l.x2())
            xs.push_back(l.x1());
    return xs;
}

std::vector<double> range(double from, double step, int count)
{
    std::vector<double> v;
    for (int i = 0; i < count; ++i)
        v.push_back(from + i * step);
    return v;
}

std::vector<double> concat(std::vector<double> a, const std::vector<double>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

TEST(LineGrid, SquareGridCoversTheViewAndOneStepBeyond)
{
    GridParams grid;
    grid.StartX = 100;
    grid.StartY = 50;
    grid.GridSize = 10;
    grid.PixelsPerUnit = 2;
    const auto lines = LineGridLines(grid, ViewMapping{}, QSize(757, 501));

    // y = 50, 30, 10, -10, then 70 ... 510; x = 100, 80, ..., 0, -20, then 120 ... 760.
    EXPECT_EQ(horizontalYs(lines), concat({50, 30, 10, -10}, range(70, 20, 23)));
    EXPECT_EQ(verticalXs(lines), concat(range(100, -20, 7), range(120, 20, 33)));
    EXPECT_EQ(lines.size(), 4u + 23u + 7u + 33u);
    for (const QLineF& l : lines) {
        if (l.y1() == l.y2()) EXPECT_EQ(l.x2(), 757.0);
        else EXPECT_EQ(l.y2(), 501.0);
    }
}

TEST(LineGrid, ScaleAndOffsetsMoveTheGrid)
{
    GridParams grid;
    grid.StartX = 10;
    grid.StartY = 10;
    grid.GridSize = 5;
    grid.PixelsPerUnit = 1;
    const ViewMapping view{2.0, -15.0, 4.0};
    const auto lines = LineGridLines(grid, view, QSize(100, 100));
    EXPECT_EQ(horizontalYs(lines).front(), 24.0); // 10 × 2 + 4
    EXPECT_EQ(verticalXs(lines).front(), 5.0);    // 10 × 2 − 15
    EXPECT_DOUBLE_EQ(GridLineSpacing(grid, 2.0), 10.0);
}

TEST(LineGrid, AngleWidensTheAxisSpacingByOneOverCosine)
{
    GridParams grid;
    grid.AngleDegrees = 45;
    grid.StartX = 50;
    grid.StartY = 50;
    grid.GridSize = 10;
    const auto lines = LineGridLines(grid, ViewMapping{}, QSize(200, 200));
    EXPECT_NEAR(GridLineSpacing(grid, 1.0), 10.0 * std::sqrt(2.0), 1e-9);

    // First line of each family passes through the start point with slope ±1.
    const QLineF first = lines.front();
    EXPECT_NEAR(first.y1(), 0.0, 1e-9);   // y0 − tan·x0 = 50 − 50
    EXPECT_NEAR(first.y2(), 200.0, 1e-9); // tan·(200 − 50) + 50
    // The next line of the family is √2·10 higher at both ends.
    EXPECT_NEAR(first.y1() - lines[1].y1(), 10.0 * std::sqrt(2.0), 1e-9);
    EXPECT_NEAR(first.y2() - lines[1].y2(), 10.0 * std::sqrt(2.0), 1e-9);
}

TEST(LineGrid, BadSpacingDrawsOnlyTheLinesThroughTheStart)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (double size : {0.0, -5.0, nan, inf}) {
        GridParams grid;
        grid.StartX = 10;
        grid.StartY = 20;
        grid.GridSize = size;
        const auto lines = LineGridLines(grid, ViewMapping{}, QSize(300, 200));
        ASSERT_EQ(lines.size(), 2u) << size;
        EXPECT_EQ(lines[0], QLineF(0, 20, 300, 20));
        EXPECT_EQ(lines[1], QLineF(10, 0, 10, 200));
    }
}

TEST(LineGrid, TinySpacingStillEndsQuickly)
{
    GridParams grid;
    grid.GridSize = 1e-9;
    grid.AngleDegrees = 89;
    grid.StartX = 1e6;
    const auto lines = LineGridLines(grid, ViewMapping{}, QSize(1000, 1000));
    EXPECT_LE(lines.size(), size_t(4 * MaxGridLinesPerSide + 2));
}

TEST(RingGrid, RingsStayInsideTheBuffer)
{
    GridParams grid;
    grid.Polar = true;
    grid.StartX = 150;
    grid.StartY = 100;
    grid.GridSize = 10;
    grid.PixelsPerUnit = 2;
    const RingGridShape rings = RingGrid(grid, ViewMapping{}, QSize(300, 200));
    EXPECT_EQ(rings.Centre, QPoint(150, 100));
    EXPECT_EQ(rings.Radii, (std::vector<int>{20, 40, 60, 80, 100, 120, 140, 160, 180}));
    EXPECT_EQ(rings.CrossLines[0], QLine(149, 100, 151, 100));
    EXPECT_EQ(rings.CrossLines[1], QLine(150, 99, 150, 101));
}

TEST(RingGrid, CentreRoundsHalfToEvenAndTinySpacingDrawsNoRing)
{
    GridParams grid;
    grid.Polar = true;
    grid.StartX = 2.5;
    grid.StartY = 3.5;
    grid.GridSize = 0.4;
    const RingGridShape rings = RingGrid(grid, ViewMapping{1.0, 0.0, 0.0}, QSize(300, 200));
    EXPECT_EQ(rings.Centre, QPoint(2, 4));
    EXPECT_TRUE(rings.Radii.empty());

    grid.GridSize = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(RingGrid(grid, ViewMapping{}, QSize(300, 200)).Radii.empty());
}
