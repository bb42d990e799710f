#include "overlays/RulerGeometry.h"

#include "common/NumberFormat.h"
#include "common/Rounding.h"

#include <algorithm>
#include <cmath>

QString CalUnitName(int calUnitIndex)
{
    static const char16_t* const names[] = {u"µm", u"mm", u"cm", u"m", u"inches", u"feet", u"pixels"};
    if (calUnitIndex < 0 || calUnitIndex >= int(std::size(names)))
        return {};
    return QString::fromUtf16(names[calUnitIndex]);
}

double RulerDistance(QPointF start, QPointF end, double pixelsPerUnit)
{
    const double length = std::hypot(end.x() - start.x(), end.y() - start.y());
    if (!std::isfinite(pixelsPerUnit) || pixelsPerUnit <= 0.0)
        return length;
    return length / pixelsPerUnit;
}

QString RulerText(double distance, int calUnitIndex)
{
    return FormatFixed(distance, 5, 2) + QLatin1Char(' ') + CalUnitName(calUnitIndex);
}

QLineF RulerViewLine(QPointF start, QPointF end, const ViewMapping& view)
{
    return {view.toView(start), view.toView(end)};
}

QPoint RulerTextTopLeft(QPointF end, const ViewMapping& view)
{
    const QPointF v = view.toView(end);
    // Clamped so a far-off end point cannot overflow the integer position.
    const auto place = [](double c) { return int(Round(std::clamp(c + 20.0, -1e9, 1e9))); };
    return {place(v.x()), place(v.y())};
}
