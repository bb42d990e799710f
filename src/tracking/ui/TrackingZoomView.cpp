#include "tracking/ui/TrackingZoomView.h"

#include "common/Frame.h"
#include "common/Rounding.h"
#include "document/ui/TrackingMarkers.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {
const QColor ZoomGreen = QColor::fromRgb(0, 128, 0); // 0x8000
}

TrackingZoomView::TrackingZoomView(QWidget* parent)
    : QWidget(parent)
{
    setFixedSize(154, 141);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::CrossCursor);
    setAccessibleName(QStringLiteral("Tracking zoom view"));
}

void TrackingZoomView::showContent(const Frame& frame, const Content& content)
{
    m_content = content;
    m_content.zoom = std::clamp(content.zoom, 1, 32);
    const int z = m_content.zoom;
    // Nearest-neighbour enlargement of the part of the frame in view; the
    // rest is black.
    if (m_picture.size() != size())
        m_picture = QImage(size(), QImage::Format_RGB32);
    m_picture.fill(Qt::black);
    // View column x shows image column left + x / z (x >= 0, so the
    // division truncates as a floor would).
    std::vector<int> columns(size_t(m_picture.width()));
    for (int x = 0; x < m_picture.width(); ++x)
        columns[size_t(x)] = m_content.left + x / z;
    for (int y = 0; y < m_picture.height(); ++y) {
        const int iy = m_content.top + y / z;
        if (iy < 0 || iy >= frame.height())
            continue;
        const uint8_t* row = frame.row(iy);
        auto* out = reinterpret_cast<QRgb*>(m_picture.scanLine(y));
        for (int x = 0; x < m_picture.width(); ++x) {
            const int ix = columns[size_t(x)];
            if (ix < 0 || ix >= frame.width())
                continue;
            const uint8_t* p = row + 3 * ix;
            out[x] = qRgb(p[2], p[1], p[0]);
        }
    }
    update();
}

QPointF TrackingZoomView::toImage(QPointF viewPos) const
{
    return {viewPos.x() / m_content.zoom + m_content.left, viewPos.y() / m_content.zoom + m_content.top};
}

QPointF TrackingZoomView::toView(QPointF imagePoint) const
{
    return {(imagePoint.x() - m_content.left) * m_content.zoom, (imagePoint.y() - m_content.top) * m_content.zoom};
}

bool TrackingZoomView::crossVisible() const
{
    return !m_hair && (m_content.shape == stMPconfirm || m_content.shape == stMPVanish);
}

QRect TrackingZoomView::crossBox() const
{
    const QPointF c = toView(m_content.point);
    const QSize s = m_content.markerSize;
    return QRect(int(Round(c.x() - s.width() / 2.0)), int(Round(c.y() - s.height() / 2.0)), s.width(), s.height());
}

void TrackingZoomView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_picture.isNull())
        painter.fillRect(rect(), Qt::black);
    else
        painter.drawImage(0, 0, m_picture);
    const auto hairAt = [&](QPointF c) {
        painter.setPen(QPen(ZoomGreen, 1));
        painter.drawLine(QPointF(0, c.y()), QPointF(width(), c.y()));
        painter.drawLine(QPointF(c.x(), 0), QPointF(c.x(), height()));
    };
    if (m_hair)
        hairAt(*m_hair);
    else if (m_content.shape == stMPUnconfirm)
        hairAt(toView(m_content.point));
    else if (crossVisible())
        PaintMarkerShape(painter, m_content.shape, crossBox(), ZoomGreen);
    if (m_content.greenFrame) {
        painter.setPen(QPen(ZoomGreen, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(QPoint(1, 1), QPoint(width() - 4, height() - 4)));
    }
}

void TrackingZoomView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const bool onCross = crossVisible() && crossBox().contains(event->position().toPoint());
    m_pressing = true;
    m_hair = event->position();
    update();
    if (onCross)
        emit crossPressed();
}

void TrackingZoomView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressing || !(event->buttons() & Qt::LeftButton))
        return;
    m_hair = event->position();
    update();
}

void TrackingZoomView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_pressing || event->button() != Qt::LeftButton)
        return;
    m_pressing = false;
    m_hair.reset();
    update();
    emit positioned(toImage(event->position()));
}
