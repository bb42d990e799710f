#pragma once
// The magnifier ("Zoom Watch"): a rectangle of the view shown enlarged by
// m = 10^(level / 50) about its own centre, and the rubber band that moves
// and resizes it.

#include <QPointF>
#include <QRect>
#include <QRectF>

// 10^(level / 50): level 0 → 1×, 10 → about 1.585×, 50 → 10×.
double MagnifierFactor(int level);

// The view point shown at `dest` (relative to the rectangle's top-left, in
// pixels of the w × h rectangle R) when R is magnified by m about its centre.
QPointF MagnifierSourcePoint(const QRect& rect, double magnification, QPointF dest);

// The part of the view that fills R: R's centre, size w/m × h/m.
QRectF MagnifierSourceRect(const QRect& rect, double magnification);

// The magnifier's first place, in image coordinates: the 64 × 64 square
// centred on the given image point.
QRectF InitialMagnifierRect(QPointF centreImagePoint);

// The raised frame: five one-pixel rectangles from R inwards with these
// contrasts; light (white) upper/left edges and dark (black) lower/right ones.
inline constexpr int MagnifierFrameContrast[5] = {35, 27, 19, 11, 3};
// Alpha of the light and dark edge colour for a contrast.
int RaisedLightAlpha(int contrast);
int RaisedDarkAlpha(int contrast);

// Which part of the rubber band is dragged.
enum class BandHandle { None, Body, Left, Right, Top, Bottom, TopLeft, TopRight, BottomLeft, BottomRight };

// The Ctrl-drag rule: a handle drag keeps the band's centre. The dragged
// side(s) of `proposed` give the new half width and/or half height (at least
// 2 each); the other half size stays. A body drag, or no handle, returns
// `proposed` unchanged.
QRectF SymmetricResize(const QRectF& before, BandHandle handle, const QRectF& proposed);

// The rectangle after dragging `handle` of `before` by `delta` (plain drag:
// one side moves, a body drag moves the whole band). Sides never cross:
// the band keeps at least `minSize` in each direction.
QRectF DragBand(const QRectF& before, BandHandle handle, QPointF delta, double minSize);
