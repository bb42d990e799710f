#pragma once
// TNUVShape: the small drawn marker control that tracking points place over
// the view. It paints one of the twelve marker shapes (overlays/MarkerShape)
// with its pen and brush; changing either, or the shape, repaints it.

#include "overlays/MarkerShape.h"

#include <QBrush>
#include <QPen>
#include <QWidget>

class TNUVShape : public QWidget {
    Q_OBJECT
public:
    explicit TNUVShape(QWidget* parent = nullptr);

    const QPen& Pen() const { return m_pen; }
    void setPen(const QPen& pen);
    const QBrush& Brush() const { return m_brush; }
    void setBrush(const QBrush& brush);
    TNUVShapeType Shape() const { return m_shape; }
    void setShape(TNUVShapeType shape);
    // The control paints only while this is 1 (as it is after creation).
    uint8_t PaintFlag = 1;

    QSize sizeHint() const override { return kMarkerShapeDefaultSize; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPen m_pen{Qt::black, 1};
    QBrush m_brush{Qt::white};
    TNUVShapeType m_shape = stRectangle;
};
