#pragma once
// The tracking points' layer of the view: each point's marker (its shape
// by state: confirmed, unconfirmed, lost, vanished), its name beside it, and
// while the point is moved away from its stored place a dotted ghost
// marker there. Selected points are red, the others blue. The layer is
// painted over the picture like the grid; it never enters DisplayBitmap.
//
// The geometry is that of a marker control of the template's size at the
// view's scale (never below 16 view pixels), centred on the point.

#include "overlays/MarkerShape.h"
#include "overlays/ViewMapping.h"

#include <QColor>
#include <QPointF>
#include <QRect>

class QFont;
class QPainter;
class TTrackingPoint;
class TrackingPointList;

// The colours of a marker, as the points keep them (0x00BBGGRR 255 and 0xFF0000).
inline constexpr QRgb SelectedMarkerColour = qRgb(255, 0, 0);
inline constexpr QRgb UnselectedMarkerColour = qRgb(0, 0, 255);

struct TrackingMarker {
    bool visible = false;
    QRect box;              // view pixels
    TNUVShapeType shape = stMPconfirm;
    QColor colour;
    QPoint labelAt;         // top-left of the name
    bool ghostVisible = false;
    QRect ghostBox;         // the stored place while the point is moved away from it
};

// The image point the marker of `point` is centred on: the working position
// while the point is dragged or waits to be confirmed, else the stored one.
QPointF TrackingMarkerCentre(const TTrackingPoint& point);
TrackingMarker TrackingMarkerFor(const TTrackingPoint& point, const ViewMapping& map);

// Draws one marker shape into a box (view pixels) with a pen of `colour`.
void PaintMarkerShape(QPainter& painter, TNUVShapeType shape, const QRect& box, const QColor& colour,
                      Qt::PenStyle style = Qt::SolidLine);

void PaintTrackingMarkers(QPainter& painter, const TrackingPointList& points, const ViewMapping& map,
                          const QFont& font);

// The measurement origin of the tracking results: a circle with a cross
// through it and "Origin" beside it, in a colour no point marker has, at the
// same size whatever the zoom.
inline constexpr QRgb OriginMarkerColour = qRgb(255, 0, 255);
QRect TrackingOriginBox(QPointF imagePoint, const ViewMapping& map);
void PaintTrackingOrigin(QPainter& painter, QPointF imagePoint, const ViewMapping& map, const QFont& font);

// The topmost point whose visible marker or name holds the view position;
// nullptr when none does.
TTrackingPoint* TrackingMarkerAt(const TrackingPointList& points, QPointF viewPos, const ViewMapping& map,
                                 const QFont& font);
