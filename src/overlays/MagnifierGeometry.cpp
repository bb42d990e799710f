#include "overlays/MagnifierGeometry.h"

#include <algorithm>
#include <cmath>

double MagnifierFactor(int level)
{
    return std::pow(10.0, level / 50.0);
}

QPointF MagnifierSourcePoint(const QRect& rect, double magnification, QPointF dest)
{
    // Inverse of: translate(-R.topLeft), translate(-w/2,-h/2), scale m, translate(w/2,h/2).
    const double hw = rect.width() / 2.0;
    const double hh = rect.height() / 2.0;
    return {(dest.x() - hw) / magnification + hw + rect.left(),
            (dest.y() - hh) / magnification + hh + rect.top()};
}

QRectF MagnifierSourceRect(const QRect& rect, double magnification)
{
    const QPointF topLeft = MagnifierSourcePoint(rect, magnification, {0.0, 0.0});
    const QPointF bottomRight = MagnifierSourcePoint(rect, magnification, {double(rect.width()), double(rect.height())});
    return {topLeft, bottomRight};
}

QRectF InitialMagnifierRect(QPointF centre)
{
    return {centre.x() - 32.0, centre.y() - 32.0, 64.0, 64.0};
}

int RaisedLightAlpha(int contrast)
{
    return std::clamp(contrast * 512 / 100, 0, 255);
}

int RaisedDarkAlpha(int contrast)
{
    return std::clamp(contrast * 255 / 100, 0, 255);
}

QRectF SymmetricResize(const QRectF& before, BandHandle handle, const QRectF& proposed)
{
    if (handle == BandHandle::None || handle == BandHandle::Body)
        return proposed;
    const QPointF c = before.center();
    double halfW = before.width() / 2.0;
    double halfH = before.height() / 2.0;
    switch (handle) {
    case BandHandle::Left: halfW = c.x() - proposed.left(); break;
    case BandHandle::Right: halfW = proposed.right() - c.x(); break;
    case BandHandle::Top: halfH = c.y() - proposed.top(); break;
    case BandHandle::Bottom: halfH = proposed.bottom() - c.y(); break;
    case BandHandle::TopLeft: halfW = c.x() - proposed.left(); halfH = c.y() - proposed.top(); break;
    case BandHandle::TopRight: halfW = proposed.right() - c.x(); halfH = c.y() - proposed.top(); break;
    case BandHandle::BottomLeft: halfW = c.x() - proposed.left(); halfH = proposed.bottom() - c.y(); break;
    case BandHandle::BottomRight: halfW = proposed.right() - c.x(); halfH = proposed.bottom() - c.y(); break;
    default: break;
    }
    halfW = std::max(halfW, 2.0);
    halfH = std::max(halfH, 2.0);
    return QRectF(QPointF(c.x() - halfW, c.y() - halfH), QPointF(c.x() + halfW, c.y() + halfH));
}

QRectF DragBand(const QRectF& before, BandHandle handle, QPointF delta, double minSize)
{
    double l = before.left(), t = before.top(), r = before.right(), b = before.bottom();
    const double dx = delta.x(), dy = delta.y();
    const bool left = handle == BandHandle::Left || handle == BandHandle::TopLeft || handle == BandHandle::BottomLeft;
    const bool right = handle == BandHandle::Right || handle == BandHandle::TopRight || handle == BandHandle::BottomRight;
    const bool top = handle == BandHandle::Top || handle == BandHandle::TopLeft || handle == BandHandle::TopRight;
    const bool bottom = handle == BandHandle::Bottom || handle == BandHandle::BottomLeft || handle == BandHandle::BottomRight;
    if (handle == BandHandle::Body)
        return before.translated(delta);
    if (left) l = std::min(l + dx, r - minSize);
    if (right) r = std::max(r + dx, l + minSize);
    if (top) t = std::min(t + dy, b - minSize);
    if (bottom) b = std::max(b + dy, t + minSize);
    return QRectF(QPointF(l, t), QPointF(r, b));
}
