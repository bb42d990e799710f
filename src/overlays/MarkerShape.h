#pragma once
// The small drawn marker that tracking points place on the viewer: twelve
// shapes laid out in a control of a given size for a given pen width.

#include <QLine>
#include <QPainterPath>
#include <QRect>
#include <QSize>
#include <vector>

enum TNUVShapeType {
    stRectangle = 0,
    stSquare,
    stRoundRect,
    stRoundSquare,
    stEllipse,
    stCircle,
    stCross,
    stMPconfirm,
    stMPUnconfirm,
    stMPLost,
    stMPVanish,
    stDefault,
};

inline constexpr QSize kMarkerShapeDefaultSize{65, 65};

// What one shape draws, in control coordinates. `filled` is drawn with the
// pen and filled with the brush (rounded rectangles, ellipses); `lines` with
// the pen only, each from its first point to its second.
struct MarkerShapeDrawing {
    QPainterPath filled;
    QRect box;                // the shape's box after the pen inset (and squaring)
    std::vector<QLine> lines;
};

// Layout: X = Y = pen / 2, W = width - pen + 1, H = height - pen + 1 (one
// less each for pen 0), S = min(W, H); the square shapes are S × S centred in
// W × H. Rounded corners are ellipses S / 4 wide and high. Divisions truncate.
MarkerShapeDrawing MarkerShapeLayout(TNUVShapeType shape, QSize controlSize, int penWidth);
