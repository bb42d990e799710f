#pragma once
// The document's zooming, scrolling image view with its layers: the frame,
// the calibration grid and ruler (overlay), the magnifier ("Zoom Watch") and
// the rubber band. It is passive: the document window hands it the frame,
// the overlay state and the active tool modes, and it reports what the mouse
// and keyboard did as signals in image coordinates.
//
// Mapping: an image point p is shown at p × scale() + imageOffset().

#include "common/Frame.h"
#include "document/ui/ViewResampler.h"
#include "overlays/GridGeometry.h"
#include "overlays/MagnifierGeometry.h"
#include "overlays/ViewMapping.h"

#include <QAbstractScrollArea>
#include <QCursor>
#include <QImage>
#include <QPointF>
#include <QRectF>

class ImageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    // smScale: explicit scale; smOptimalScaled: the whole image fits the view.
    enum class ScaleMode { Scale, OptimalScaled };

    // What the overlay layer paints over the frame.
    struct OverlayState {
        bool GridVisible = false;
        bool HasGridEntry = false; // grid shown without an entry paints nothing at all
        GridParams Grid;
        bool RulerOn = false;
        QPointF RulerStart;
        QPointF RulerEnd;
        double RulerDistance = 0.0;
        int CalUnitIndex = 1;
    };

    // Scale limits: repeated wheel or click zoom cannot reach zero (the
    // inverse mapping would divide by it) nor grow without bound.
    static constexpr double MinScale = 0.01;
    static constexpr double MaxScale = 64.0;

    explicit ImageView(QWidget* parent = nullptr);
    ~ImageView() override;

    // --- Content
    void setFrame(const Frame& frame);
    void setFrame(Frame&& frame);
    void setImage(const QImage& image);
    const Frame& frame() const { return m_frame; }
    int imageWidth() const { return m_frame.width(); }
    int imageHeight() const { return m_frame.height(); }

    // --- Mapping
    double scale() const { return m_scale; }
    QPointF imageOffset() const;
    ViewMapping mapping() const;
    QPointF mapToView(QPointF imagePoint) const;
    QPointF mapToImage(QPointF viewPoint) const;

    // --- Zoom and scroll
    ScaleMode scaleMode() const { return m_scaleMode; }
    // Scale mode smScale with this scale (clamped to MinScale..MaxScale).
    void setScale(double scale);
    // smOptimalScaled: fit the whole image, keeping its aspect ratio.
    void fitWholeImage();
    // FitMode: while on, every resize sets the scale to view width / image width
    // (turning it on applies it at once).
    void setFitMode(bool on);
    bool fitMode() const { return m_fitMode; }
    void scrollBy(int dx, int dy);
    // Scrolls so that the image point lies at the centre of the viewport.
    void scrollToCentre(QPointF imagePoint);
    // Zooms so that the band (view coordinates) fills the view: scale ×
    // min(image width / band width, image height / band height) in image
    // pixels, centred on the band. A band without area does nothing.
    void zoomToRubberBand(const QRectF& bandInView);
    // One click-zoom step at a view position: +0.1 (or −0.1) and the clicked
    // image point comes to the centre.
    void clickZoomAt(QPoint viewPos, bool zoomIn);
    // "73.93%" or "AUTOFIT %".
    QString zoomText() const;
    // "X : 12.00 ~ Y : 3.50".
    static QString cursorText(QPointF imagePoint);

    // --- Resampling kernel: 0 box, 1 linear, 2 cubic, 3 Mitchell.
    void setZoomKernel(int index);
    int zoomKernel() const { return int(m_kernel); }

    // --- Tool modes
    // Area zoom: the next drag draws a band and zooms to it on release, then
    // the mode ends (areaZoomFinished).
    void setAreaZoomMode(bool on);
    bool areaZoomMode() const { return m_areaZoom; }
    // Click zoom: a left click zooms in, any other button out; with the
    // zoom-out flag the directions swap.
    void setClickZoomMode(bool on);
    void setZoomOut(bool on);
    bool clickZoomMode() const { return m_clickZoom; }
    // Pan: a left drag moves the image with the mouse.
    void setPanMode(bool on);
    // Crosshair cursor for picks (it wins over the zoom cursor).
    void setPickCursor(bool crosshair);

    // --- Magnifier ("Zoom Watch")
    // Creates it (level 10) as the 64 × 64 image square under the viewport's
    // centre and selects it, so the rubber band moves and resizes it.
    void showMagnifier();
    void removeMagnifier();
    bool hasMagnifier() const { return m_hasMagnifier; }
    void setMagnifierLevel(int level);
    int magnifierLevel() const { return m_magnifierLevel; }
    QRectF magnifierRect() const { return m_magnifierRect; } // image coordinates
    void setMagnifierRect(const QRectF& imageRect);
    bool magnifierSelected() const { return m_magnifierSelected; }
    void setMagnifierSelected(bool selected);

    // --- Overlays
    void setOverlay(const OverlayState& overlay);
    const OverlayState& overlay() const { return m_overlay; }

    QSize sizeHint() const override { return {640, 480}; }

    static QCursor zoomCursor(bool zoomOut);

signals:
    // A press at an image point (before any click zoom changed the mapping).
    void mousePressedAt(QPointF imagePoint, Qt::MouseButton button, Qt::MouseButtons buttons,
                        Qt::KeyboardModifiers modifiers);
    void mouseMovedAt(QPointF imagePoint, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
    void mouseReleasedAt(QPointF imagePoint, Qt::MouseButton button);
    // Scale or scale mode changed: refresh "100.00%" / "AUTOFIT %".
    void zoomChanged(double scale, bool autoFit);
    // Scale or scroll position changed: anything placed over the view moves.
    void viewChanged();
    // A drag with a button down moved the mouse down (up = false) or up.
    void brightnessNudge(bool up);
    // Capital "C" pressed in the view.
    void copyRequested();
    // Mouse up ended an area zoom.
    void areaZoomFinished();
    // The user moved or resized the magnifier.
    void magnifierMoved(QRectF imageRect);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;

private:
    void frameChanged();
    void layoutContent();      // scroll ranges (and the fit scale) for the current mode
    void applyScale(double scale, ScaleMode mode);
    void invalidateBase();
    void renderBase();
    void paintOverlay(QImage& buffer) const;
    void paintMagnifier(QImage& buffer) const;
    void paintBand(QPainter& painter) const;
    QRect magnifierViewRect() const;
    QRectF bandViewRect() const;
    BandHandle hitBand(QPointF viewPos) const;
    void updateCursor();

    Frame m_frame;
    ViewResampler m_resampler;
    ZoomKernel m_kernel = ZoomKernel::Box;
    double m_scale = 1.0;
    ScaleMode m_scaleMode = ScaleMode::Scale;
    bool m_fitMode = false;

    QImage m_base;       // the resampled frame, reused between paints
    bool m_baseValid = false;
    QImage m_composite;  // base + overlay + magnifier

    OverlayState m_overlay;

    bool m_areaZoom = false;
    bool m_clickZoom = false;
    bool m_zoomOut = false;
    bool m_panMode = false;
    bool m_pickCursor = false;

    bool m_mouseIsDown = false;
    QPoint m_mouseDown;
    QPoint m_lastMouse;
    bool m_areaBandVisible = false;
    QRectF m_areaBand;    // view coordinates, corners as dragged (width = right − left)
    int m_wheelRemainder = 0;

    bool m_hasMagnifier = false;
    bool m_magnifierSelected = false;
    int m_magnifierLevel = 10;
    QRectF m_magnifierRect; // image coordinates
    BandHandle m_bandDrag = BandHandle::None;
    QRectF m_bandDragStart;
};
