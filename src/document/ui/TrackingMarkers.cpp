#include "document/ui/TrackingMarkers.h"

#include "common/Rounding.h"
#include "tracking/engine/TrackingPointList.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>

namespace {

// The point's record of the frame it refers to, limited to its records.
const TrackRecord* ShownRecord(const TTrackingPoint& p)
{
    if (p.Records.empty())
        return nullptr;
    const int64_t last = int64_t(p.Records.size()) - 1;
    return &p.Records[size_t(std::clamp<int64_t>(int64_t(p.FrameNo) - p.BaseFrame, 0, last))];
}

QRect MarkerBox(QPointF imagePoint, const ViewMapping& map, QSize size)
{
    const QPointF v = map.toView(imagePoint);
    return QRect(int(Round(v.x() - size.width() / 2.0)), int(Round(v.y() - size.height() / 2.0)), size.width(), size.height());
}

QRect LabelRect(const TTrackingPoint& p, const TrackingMarker& m, const QFont& font)
{
    const QFontMetrics metrics(font);
    return QRect(m.labelAt, QSize(metrics.horizontalAdvance(p.Name) + 2, metrics.height()));
}

} // namespace

QPointF TrackingMarkerCentre(const TTrackingPoint& p)
{
    if ((p.Dragging || p.Mark == MarkUnconfirmed) && p.PosX != -1.0)
        return {p.PosX, p.PosY};
    return {p.DisplayX, p.DisplayY};
}

TrackingMarker TrackingMarkerFor(const TTrackingPoint& p, const ViewMapping& map)
{
    TrackingMarker m;
    const TrackRecord* r = ShownRecord(p);
    m.visible = p.Dragging || (r && r->Status != 0 && p.ShowMarker && p.DisplayX != -1.0);
    if (!m.visible)
        return m;
    const MarkerSize size = SizeForMarker(map.Scale, p.Params.TemplateWidth, p.Params.TemplateHeight);
    const QSize box(size.width, size.height);
    const QPointF centre = TrackingMarkerCentre(p);
    m.box = MarkerBox(centre, map, box);
    m.shape = p.Dragging ? stMPUnconfirm : TNUVShapeType(p.Shape());
    m.colour = QColor::fromRgb(p.Selected ? SelectedMarkerColour : UnselectedMarkerColour);
    m.labelAt = QPoint(m.box.left() + m.box.width(), m.box.top() - 10);
    if (p.DisplayX != -1.0 && centre != QPointF(p.DisplayX, p.DisplayY)) {
        m.ghostBox = MarkerBox({p.DisplayX, p.DisplayY}, map, box);
        m.ghostVisible = m.ghostBox.topLeft() != m.box.topLeft();
    }
    return m;
}

void PaintMarkerShape(QPainter& painter, TNUVShapeType shape, const QRect& box, const QColor& colour,
                      Qt::PenStyle style)
{
    const MarkerShapeDrawing d = MarkerShapeLayout(shape, box.size(), 1);
    painter.save();
    painter.translate(box.topLeft());
    painter.setPen(QPen(colour, 1, style));
    painter.setBrush(Qt::NoBrush);
    if (!d.filled.isEmpty())
        painter.drawPath(d.filled);
    for (const QLine& line : d.lines)
        painter.drawLine(line);
    painter.restore();
}

void PaintTrackingMarkers(QPainter& painter, const TrackingPointList& points, const ViewMapping& map,
                          const QFont& font)
{
    painter.save();
    painter.setFont(font);
    const int ascent = QFontMetrics(font).ascent();
    for (const auto& point : points) {
        const TrackingMarker m = TrackingMarkerFor(*point, map);
        if (!m.visible)
            continue;
        if (m.ghostVisible)
            PaintMarkerShape(painter, m.shape, m.ghostBox, m.colour, Qt::DotLine);
        PaintMarkerShape(painter, m.shape, m.box, m.colour);
        painter.setPen(m.colour);
        painter.drawText(m.labelAt + QPoint(1, ascent), point->Name);
    }
    painter.restore();
}

TTrackingPoint* TrackingMarkerAt(const TrackingPointList& points, QPointF viewPos, const ViewMapping& map,
                                 const QFont& font)
{
    const QPoint at = viewPos.toPoint();
    for (int i = points.size() - 1; i >= 0; --i) {
        TTrackingPoint* p = points[i];
        const TrackingMarker m = TrackingMarkerFor(*p, map);
        if (m.visible && (m.box.contains(at) || LabelRect(*p, m, font).contains(at)))
            return p;
    }
    return nullptr;
}

QRect TrackingOriginBox(QPointF imagePoint, const ViewMapping& map)
{
    return MarkerBox(imagePoint, map, QSize(21, 21));
}

void PaintTrackingOrigin(QPainter& painter, QPointF imagePoint, const ViewMapping& map, const QFont& font)
{
    const QRect box = TrackingOriginBox(imagePoint, map);
    const QPoint c = box.center();
    painter.save();
    painter.setFont(font);
    painter.setPen(QPen(QColor::fromRgb(OriginMarkerColour), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(box.adjusted(4, 4, -4, -4));
    painter.drawLine(box.left(), c.y(), box.right(), c.y());
    painter.drawLine(c.x(), box.top(), c.x(), box.bottom());
    painter.drawText(QPoint(box.right() + 2, box.top() + QFontMetrics(font).ascent() - 6), QStringLiteral("Origin"));
    painter.restore();
}
