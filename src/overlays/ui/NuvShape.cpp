#include "overlays/ui/NuvShape.h"

#include <QPainter>

TNUVShape::TNUVShape(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleName(QStringLiteral("Marker"));
    resize(kMarkerShapeDefaultSize);
}

void TNUVShape::setPen(const QPen& pen)
{
    m_pen = pen;
    update();
}

void TNUVShape::setBrush(const QBrush& brush)
{
    m_brush = brush;
    update();
}

void TNUVShape::setShape(TNUVShapeType shape)
{
    if (shape == m_shape)
        return;
    m_shape = shape;
    update();
}

void TNUVShape::paintEvent(QPaintEvent*)
{
    if (PaintFlag != 1)
        return;
    QPainter painter(this);
    painter.setPen(m_pen);
    painter.setBrush(m_brush);
    const MarkerShapeDrawing d = MarkerShapeLayout(m_shape, size(), m_pen.width());
    // Boxes end one pixel before their right and bottom edges, as the
    // layout's canvas calls do; Qt's outlines include both ends.
    const QRectF box = QRectF(d.box).adjusted(0, 0, -1, -1);
    switch (m_shape) {
    case stRoundRect:
    case stRoundSquare: {
        const double corner = (std::min(d.box.width(), d.box.height()) / 4) / 2.0;
        painter.drawRoundedRect(box, corner, corner);
        break;
    }
    case stEllipse:
    case stCircle:
        painter.drawEllipse(box);
        break;
    case stCross: {
        const QRectF inner = d.filled.boundingRect().adjusted(0, 0, -1, -1);
        painter.drawEllipse(inner);
        break;
    }
    default:
        break;
    }
    for (const QLine& line : d.lines)
        painter.drawLine(line);
}
