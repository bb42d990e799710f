#pragma once
// The viewer's image-to-view mapping: an image point p is shown at
// (p.x × scale + offsetX, p.y × scale + offsetY) in view pixels.

#include <QPointF>
#include <QRectF>

struct ViewMapping {
    double Scale = 1.0;
    double OffsetX = 0.0; // the view's horizontal image offset
    double OffsetY = 0.0; // the view's vertical image offset

    QPointF toView(QPointF image) const
    {
        return {image.x() * Scale + OffsetX, image.y() * Scale + OffsetY};
    }
    QPointF toImage(QPointF view) const
    {
        return {(view.x() - OffsetX) / Scale, (view.y() - OffsetY) / Scale};
    }
    QRectF toView(const QRectF& image) const
    {
        return {toView(image.topLeft()), toView(image.bottomRight())};
    }
    QRectF toImage(const QRectF& view) const
    {
        return {toImage(view.topLeft()), toImage(view.bottomRight())};
    }
};
