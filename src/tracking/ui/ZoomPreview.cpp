#include "tracking/ui/ZoomPreview.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {
// Mark colours.
const QColor CrossColour(0, 0, 255);        // blue: the point
const QColor TemplateColour(255, 0, 255);   // magenta: the template
const QColor SearchColour(0, 255, 255);     // cyan: the search area
const QColor CircleColour(255, 0, 0);       // red: the centring circle
const QColor SpotColour(255, 255, 255);     // white: the spot centre found

void DrawDiagonalCross(QPainter& painter, QPoint c, int arm)
{
    painter.drawLine(c + QPoint(-arm, -arm), c + QPoint(arm, arm));
    painter.drawLine(c + QPoint(-arm, arm), c + QPoint(arm, -arm));
}

void DrawUprightCross(QPainter& painter, QPoint c, int arm)
{
    painter.drawLine(c + QPoint(-arm, 0), c + QPoint(arm, 0));
    painter.drawLine(c + QPoint(0, -arm), c + QPoint(0, arm));
}

void DrawBox(QPainter& painter, QPoint a, QPoint b)
{
    painter.drawRect(QRect(a, QSize(b.x() - a.x(), b.y() - a.y())));
}
} // namespace

ZoomPreview::ZoomPreview(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ZoomPreview::setImage(const QImage& image)
{
    m_image = image;
    update();
}

void ZoomPreview::setScale(int scale)
{
    m_scale = std::max(1, scale);
    update();
}

void ZoomPreview::setOrigin(QPoint origin)
{
    m_origin = origin;
    update();
}

void ZoomPreview::setMarks(const paramview::PreviewMarks& marks)
{
    m_marks = marks;
    update();
}

void ZoomPreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!m_image.isNull()) {
        // Only the visible part is scaled, nearest neighbour.
        const int z = m_scale;
        const QRect visible(m_origin, QSize(width() / z + 2, height() / z + 2));
        const QRect source = visible.intersected(m_image.rect());
        if (!source.isEmpty()) {
            const QRect target((source.left() - m_origin.x()) * z, (source.top() - m_origin.y()) * z,
                               source.width() * z, source.height() * z);
            painter.drawImage(target, m_image, source);
        }
    }

    painter.setBrush(Qt::NoBrush);
    painter.setPen(CrossColour);
    DrawDiagonalCross(painter, m_marks.centre, 10);
    painter.setPen(TemplateColour);
    DrawBox(painter, m_marks.templateTopLeft, m_marks.templateBottomRight);
    painter.setPen(SearchColour);
    DrawBox(painter, m_marks.searchTopLeft, m_marks.searchBottomRight);
    if (m_marks.hasCircle) {
        painter.setPen(CircleColour);
        painter.drawEllipse(m_marks.circleCentre, m_marks.circleRadius, m_marks.circleRadius);
    }
    if (m_marks.hasSpotCentre) {
        painter.setPen(SpotColour);
        DrawUprightCross(painter, m_marks.spotCentre, 4);
    }
}

void ZoomPreview::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
    update();
    emit released();
}
