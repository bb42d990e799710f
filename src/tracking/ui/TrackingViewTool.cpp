#include "tracking/ui/TrackingViewTool.h"

#include "document/ui/ImageView.h"
#include "document/ui/TrackingMarkers.h"
#include "tracking/engine/TrackingPointList.h"

#include <algorithm>
#include <cmath>

TrackingViewTool::TrackingViewTool(ImageView* view, const TrackingPointList* points, QObject* parent)
    : ViewTool(parent)
    , m_view(view)
    , m_points(points)
{
}

void TrackingViewTool::setOrigin(std::optional<QPointF> origin)
{
    m_origin = origin;
    emit changed();
}

void TrackingViewTool::paint(QPainter& painter, const ViewMapping& map) const
{
    if (m_origin && m_view)
        PaintTrackingOrigin(painter, *m_origin, map, m_view->font());
}

QCursor TrackingViewTool::cursor() const
{
    return QCursor(m_pick == Pick::None ? Qt::ArrowCursor : Qt::CrossCursor);
}

QPointF TrackingViewTool::markerCentre(QPointF viewPos) const
{
    return m_view ? m_view->mapToImage(viewPos - m_grab) : QPointF();
}

bool TrackingViewTool::press(const ViewMouse& mouse)
{
    if (mouse.Button != Qt::LeftButton || !m_view)
        return false;
    if (m_pick == Pick::Origin) {
        emit originPicked(mouse.ImagePos);
        return true;
    }
    TTrackingPoint* hit = m_points ? TrackingMarkerAt(*m_points, mouse.ViewPos, m_view->mapping(), m_view->font())
                                   : nullptr;
    if (hit) {
        m_point = hit;
        m_pending = true;
        m_dragging = false;
        m_down = mouse.ViewPos;
        m_grab = mouse.ViewPos - m_view->mapToView(TrackingMarkerCentre(*hit));
        emit markerPressed(hit, mouse.Modifiers);
        return true;
    }
    if (m_pick == Pick::Place) {
        emit placeRequested(mouse.ImagePos);
        return true;
    }
    return false;
}

bool TrackingViewTool::move(const ViewMouse& mouse)
{
    if (!m_point || !(mouse.Buttons & Qt::LeftButton))
        return false;
    if (m_points && m_points->indexOf(m_point) < 0) {
        // The point went while the button was down.
        m_point = nullptr;
        m_pending = m_dragging = false;
        return true;
    }
    if (m_pending) {
        const QPointF d = mouse.ViewPos - m_down;
        if (std::max(std::abs(d.x()), std::abs(d.y())) < 3.0)
            return true;
        m_pending = false;
        m_dragging = true;
        emit dragStarted(m_point, markerCentre(mouse.ViewPos));
    }
    if (m_dragging)
        emit dragMoved(m_point, markerCentre(mouse.ViewPos));
    return true;
}

bool TrackingViewTool::release(const ViewMouse& mouse)
{
    if (!m_point || mouse.Button != Qt::LeftButton)
        return false;
    TTrackingPoint* point = m_point;
    const bool dragging = m_dragging;
    const bool pending = m_pending;
    m_point = nullptr;
    m_pending = m_dragging = false;
    if (m_points && m_points->indexOf(point) < 0)
        return true;
    if (dragging)
        emit dragEnded(point, markerCentre(mouse.ViewPos));
    else if (pending)
        emit markerClicked(point);
    return true;
}
