#pragma once
// The tracking frame's magnified view of the current point: a piece of the
// working bitmap at a power-of-two zoom from a given image origin, the point's
// marker shape (or a green cross-hair while the point waits to be
// confirmed), and a green frame. A left press, drag and release positions
// the point finely: the view draws the cross-hair at the pointer and reports
// the image point on release.
//
// Mapping: image point p is shown at (p - origin) × zoom.

#include "overlays/MarkerShape.h"

#include <QImage>
#include <QPointF>
#include <QWidget>
#include <optional>

class Frame;

class TrackingZoomView : public QWidget {
    Q_OBJECT
public:
    explicit TrackingZoomView(QWidget* parent = nullptr);

    // What the view shows; the picture is copied out of `frame` at once.
    struct Content {
        int zoom = 2;                 // 1 ... 32
        int left = 0;                 // image origin of the view's top-left corner
        int top = 0;
        QPointF point;                // the point, image pixels
        TNUVShapeType shape = stMPconfirm;
        QSize markerSize{16, 16};     // view pixels
        bool greenFrame = true;
    };
    void showContent(const Frame& frame, const Content& content);
    const Content& content() const { return m_content; }

    // The marker in the view ("ZoomCross"): shown only for the confirmed
    // and vanished shapes; the unconfirmed shape shows the cross-hair.
    bool crossVisible() const;
    QRect crossBox() const;
    bool crossHairVisible() const { return m_hair.has_value(); }

    QPointF toImage(QPointF viewPos) const;
    QPointF toView(QPointF imagePoint) const;

    QSize sizeHint() const override { return {154, 141}; }

signals:
    // A left press on the marker itself (the point becomes unconfirmed).
    void crossPressed();
    // The left button was released at an image point.
    void positioned(QPointF imagePoint);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage m_picture;
    Content m_content;
    std::optional<QPointF> m_hair;  // view pixels, while the user positions the point
    bool m_pressing = false;
};
