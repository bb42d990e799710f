#include "overlays/GridGeometry.h"

#include "common/Rounding.h"

#include <cmath>
#include <numbers>

double GridLineSpacing(const GridParams& grid, double scale)
{
    const double a = grid.AngleDegrees * std::numbers::pi / 180.0;
    return grid.GridSize * grid.PixelsPerUnit * scale / std::cos(a);
}

namespace {

// One family: the line through the start (ends e1, e2 measured along the
// family's axis), then shifted by -d while either end is still >= 0, then
// by +d from the start while either end is still <= limit.
template <typename MakeLine>
void addFamily(std::vector<QLineF>& lines, double e1, double e2, double d, double limit, bool stepping,
               MakeLine makeLine)
{
    lines.push_back(makeLine(e1, e2));
    if (!stepping)
        return;
    double a = e1, b = e2;
    for (int n = 0; (a >= 0 || b >= 0) && n < MaxGridLinesPerSide; ++n) {
        a -= d;
        b -= d;
        lines.push_back(makeLine(a, b));
    }
    a = e1;
    b = e2;
    for (int n = 0; (limit >= a || limit >= b) && n < MaxGridLinesPerSide; ++n) {
        a += d;
        b += d;
        lines.push_back(makeLine(a, b));
    }
}

} // namespace

std::vector<QLineF> LineGridLines(const GridParams& grid, const ViewMapping& view, QSize viewSize)
{
    const double s = view.Scale;
    const double a = grid.AngleDegrees * std::numbers::pi / 180.0;
    const double t = std::tan(a);
    const double d = GridLineSpacing(grid, s);
    const bool stepping = std::isfinite(d) && d > 0.0;
    const double W = viewSize.width();
    const double H = viewSize.height();
    const double x0 = grid.StartX;
    const double y0 = grid.StartY;

    std::vector<QLineF> lines;
    const double y1 = y0 * s - t * x0 * s + view.OffsetY;
    const double y2 = t * (W - x0 * s) + y0 * s + view.OffsetY;
    addFamily(lines, y1, y2, d, H, stepping, [W](double p, double q) { return QLineF(0.0, p, W, q); });

    const double x1 = t * y0 * s + x0 * s + view.OffsetX;
    const double x2 = x0 * s - t * (H - y0 * s) + view.OffsetX;
    addFamily(lines, x1, x2, d, W, stepping, [H](double p, double q) { return QLineF(p, 0.0, q, H); });
    return lines;
}

RingGridShape RingGrid(const GridParams& grid, const ViewMapping& view, QSize bufferSize)
{
    const double s = view.Scale;
    const double d = grid.GridSize * grid.PixelsPerUnit * s;
    RingGridShape shape;
    const double cx = grid.StartX * s + view.OffsetX;
    const double cy = grid.StartY * s + view.OffsetY;
    if (std::isfinite(cx) && std::isfinite(cy) && std::abs(cx) < 1e9 && std::abs(cy) < 1e9)
        shape.Centre = QPoint(int(Round(cx)), int(Round(cy)));
    const QPoint c = shape.Centre;
    shape.CrossLines[0] = QLine(c.x() - 1, c.y(), c.x() + 1, c.y());
    shape.CrossLines[1] = QLine(c.x(), c.y() - 1, c.x(), c.y() + 1);

    if (!std::isfinite(d) || d >= 1e9)
        return shape;
    const int step = int(Round(d));
    if (step < 1)
        return shape;
    for (int r = step; r < bufferSize.height() && r < bufferSize.width(); r += step)
        shape.Radii.push_back(r);
    return shape;
}
