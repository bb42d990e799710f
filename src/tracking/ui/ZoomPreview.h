#pragma once
// The magnified preview of the parameter dialog: shows an image at a
// power-of-two scale from a given image origin, pixels as sharp squares,
// with the dialog's marks (point cross, template and search rectangles,
// centring circle, spot centre) drawn over it.

#include "tracking/ui/ParamPreview.h"

#include <QImage>
#include <QWidget>

class ZoomPreview : public QWidget {
    Q_OBJECT
public:
    explicit ZoomPreview(QWidget* parent = nullptr);

    void setImage(const QImage& image);
    const QImage& image() const { return m_image; }
    void setScale(int scale);
    int scale() const { return m_scale; }
    void setOrigin(QPoint origin);
    QPoint origin() const { return m_origin; }
    void setMarks(const paramview::PreviewMarks& marks);
    const paramview::PreviewMarks& marks() const { return m_marks; }

signals:
    void released();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage m_image;
    int m_scale = 1;
    QPoint m_origin;
    paramview::PreviewMarks m_marks;
};
