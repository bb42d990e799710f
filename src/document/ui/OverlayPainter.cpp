#include "document/ui/OverlayPainter.h"

#include "document/ui/ViewTool.h"
#include "overlays/RulerGeometry.h"

#include <QPainter>

bool OverlayHasDrawing(const OverlayState& overlay)
{
    return (overlay.GridVisible && overlay.HasGridEntry) || (!overlay.GridVisible && overlay.RulerOn);
}

void PaintOverlay(QPainter& p, const OverlayState& overlay, const ViewMapping& map, QSize viewSize, const QFont& font)
{
    if (overlay.GridVisible && !overlay.HasGridEntry)
        return; // nothing, not even the ruler
    p.save();
    if (overlay.GridVisible) {
        p.setPen(QPen(QColor(255, 0, 0), 0));
        p.setBrush(Qt::NoBrush);
        if (!overlay.Grid.Polar) {
            const std::vector<QLineF> lines = LineGridLines(overlay.Grid, map, viewSize);
            p.drawLines(lines.data(), int(lines.size()));
        } else {
            const RingGridShape rings = RingGrid(overlay.Grid, map, viewSize);
            p.drawLines(rings.CrossLines, 2);
            const QPoint c = rings.Centre;
            for (int r : rings.Radii)
                p.drawEllipse(QRect(c.x() - r, c.y() - r, 2 * r, 2 * r));
        }
    }
    if (overlay.RulerOn) {
        const QColor yellow(255, 255, 0);
        p.setPen(QPen(yellow, 0));
        p.drawLine(RulerViewLine(overlay.RulerStart, overlay.RulerEnd, map));
        p.setFont(font);
        const QPoint at = RulerTextTopLeft(overlay.RulerEnd, map);
        p.drawText(QRect(at, QSize(2000, 200)), Qt::AlignLeft | Qt::AlignTop,
                   RulerText(overlay.RulerDistance, overlay.CalUnitIndex));
    }
    p.restore();
}

void PaintToolFeedback(QPainter& painter, const ViewTool& tool, const ViewMapping& map)
{
    painter.save();
    tool.paint(painter, map);
    painter.restore();
}

void PaintBand(QPainter& painter, const QRectF& r, bool withHandles)
{
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::white, 0));
    painter.drawRect(r);
    painter.setPen(QPen(Qt::black, 0, Qt::DashLine));
    painter.drawRect(r);
    if (withHandles) {
        painter.setPen(QPen(Qt::black, 0));
        painter.setBrush(Qt::white);
        const double hs = BandHandleSize;
        for (double x : {r.left(), r.center().x(), r.right()})
            for (double y : {r.top(), r.center().y(), r.bottom()})
                if (x != r.center().x() || y != r.center().y())
                    painter.drawRect(QRectF(x - hs / 2, y - hs / 2, hs, hs));
    }
    painter.restore();
}
