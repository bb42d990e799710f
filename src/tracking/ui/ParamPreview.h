#pragma once
// The arithmetic of the parameter dialog's magnified preview: its scale, the
// image origin that centres the point, the template rectangle, the red spot
// range painted into the preview, and where the marks go in the view.
// Widget-free, so the tests check the numbers without painting.

#include "tracking/search/TargetSearch.h"

#include <QPoint>
#include <QPointF>
#include <QString>

class Frame;

namespace paramview {

// Preview magnifications run from 1 to MaxPreviewScale by the zoom box and
// the first fit; the zoom-in button goes one step further.
constexpr int MaxPreviewScale = 32;
constexpr int MaxButtonScale = 64;

// The power of two 1 ... 32 nearest to viewWidth / (2 searchWidth), ties to
// the smaller: the search area fills about half the view.
int PreviewScaleFor(int viewWidth, int searchWidth);

// "1600 %" for scale 16.
QString ZoomText(int scale);

// The image point shown at the view's top-left corner so that (x, y) lies in
// the middle of a viewWidth x viewHeight view at `scale`; never below 0.
QPoint CentredOrigin(double x, double y, int viewWidth, int viewHeight, int scale);

// The template rectangle around (x, y): (Trunc(x - tw/2), Trunc(y - th/2),
// tw, th), its left and top limited to 0.
tracking::PixelRect PreviewTemplateRect(double x, double y, int templateWidth, int templateHeight);

// Paints every pixel of `rect` (the part inside the frame) whose luminance
// lies in low ... high pure red. Nothing is painted when the range is not
// a part of 0 ... 255.
void PaintRangeRed(Frame& frame, const tracking::PixelRect& rect, int low, int high);

// Where the marks of the preview go, in view pixels.
struct PreviewMarks {
    QPoint centre;                  // the point: a diagonal cross of +-10 pixels
    QPoint templateTopLeft, templateBottomRight;
    QPoint searchTopLeft, searchBottomRight;
    bool hasCircle = false;         // quadrant method: the centring circle
    QPointF circleCentre;
    double circleRadius = 0.0;
    bool hasSpotCentre = false;     // spot methods: the centre found, a cross of +-4 pixels
    QPoint spotCentre;
};

// What the marks are computed from: the point, the edited sizes, and the
// view's origin and scale.
struct MarksInput {
    double x = 0.0;                 // the point's working position
    double y = 0.0;
    int templateWidth = 0;
    int templateHeight = 0;
    int searchPercent = 100;
    bool circle = false;            // draw the centring circle
    int circlePercent = 0;          // its diameter in percent of the template width
    bool spotFound = false;         // draw the spot centre
    double spotX = 0.0;
    double spotY = 0.0;
    QPoint origin;                  // image point at the view's top-left corner
    int scale = 1;
};

// The view point of image point (x, y): (Round((x - left) z), Round((y - top) z)).
QPoint ViewPoint(double x, double y, QPoint origin, int scale);

PreviewMarks MarksFor(const MarksInput& in);

} // namespace paramview
