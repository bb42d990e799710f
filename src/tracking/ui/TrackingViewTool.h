#pragma once
// The tracking frame's tool on the document's view. It places new points
// while a placement button is down, picks the measurement origin while
// "Place Origin" is down, and handles the point markers: a click selects
// (Ctrl toggles), a drag of 3 pixels or more moves the marker. Markers are
// found through the view's marker layer geometry; presses elsewhere are left
// to the view (pan, zoom) unless a pick is armed.

#include "document/ui/ViewTool.h"

#include <QPointF>
#include <QPointer>
#include <optional>

class ImageView;
class TTrackingPoint;
class TrackingPointList;

class TrackingViewTool : public ViewTool {
    Q_OBJECT
public:
    enum class Pick { None, Place, Origin };

    TrackingViewTool(ImageView* view, const TrackingPointList* points, QObject* parent = nullptr);

    void setPick(Pick pick) { m_pick = pick; }
    Pick pick() const { return m_pick; }
    QCursor cursor() const override;

    bool press(const ViewMouse& mouse) override;
    bool move(const ViewMouse& mouse) override;
    bool release(const ViewMouse& mouse) override;

    TTrackingPoint* dragged() const { return m_dragging ? m_point : nullptr; }

    // The measurement origin, drawn on the view (never into the picture)
    // while the tool is installed; none until one is placed.
    void setOrigin(std::optional<QPointF> origin);
    std::optional<QPointF> origin() const { return m_origin; }
    void paint(QPainter& painter, const ViewMapping& map) const override;

signals:
    void placeRequested(QPointF imagePoint);
    void originPicked(QPointF imagePoint);
    void markerPressed(TTrackingPoint* point, Qt::KeyboardModifiers modifiers);
    void markerClicked(TTrackingPoint* point);
    void dragStarted(TTrackingPoint* point, QPointF markerCentre);
    void dragMoved(TTrackingPoint* point, QPointF markerCentre);
    void dragEnded(TTrackingPoint* point, QPointF markerCentre);

private:
    QPointF markerCentre(QPointF viewPos) const;

    QPointer<ImageView> m_view;
    const TrackingPointList* m_points;
    Pick m_pick = Pick::None;
    TTrackingPoint* m_point = nullptr;   // the marker pressed
    bool m_pending = false;              // pressed, not yet dragged
    bool m_dragging = false;
    QPointF m_down;                      // view position of the press
    std::optional<QPointF> m_origin;
    QPointF m_grab;                      // press position minus the marker centre, view pixels
};
