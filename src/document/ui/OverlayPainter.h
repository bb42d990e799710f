#pragma once
// What the view paints over the resampled picture: the calibration grid
// (lines or rings), the ruler, the active tool's feedback, and the bands
// (area-zoom band, the selected magnifier's band with its handles). The
// geometry comes from src/overlays; this only draws it.

#include "overlays/GridGeometry.h"
#include "overlays/ViewMapping.h"

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRectF>
#include <QSize>

class QPainter;
class ViewTool;

// Around the picture.
inline constexpr QRgb ViewBackground = qRgb(58, 58, 62);

// The overlay layer's inputs.
struct OverlayState {
    bool GridVisible = false;
    bool HasGridEntry = false; // grid shown without an entry paints nothing at all
    GridParams Grid;
    bool RulerOn = false;
    QPointF RulerStart; // image pixels
    QPointF RulerEnd;
    double RulerDistance = 0.0;
    int CalUnitIndex = 1;
};

// Whether PaintOverlay would draw anything.
bool OverlayHasDrawing(const OverlayState& overlay);

// Grid and ruler over the whole view. A grid shown without an entry paints
// nothing, not even the ruler.
void PaintOverlay(QPainter& painter, const OverlayState& overlay, const ViewMapping& map, QSize viewSize,
                  const QFont& font);

// The tool's own feedback (ruler being dragged, pick marks ...).
void PaintToolFeedback(QPainter& painter, const ViewTool& tool, const ViewMapping& map);

// Side of the handle squares of a selected band, view pixels.
inline constexpr double BandHandleSize = 6.0;

// A dashed white-and-black band; with handles at its corners and side middles.
void PaintBand(QPainter& painter, const QRectF& band, bool withHandles);
