#pragma once
// The document's zooming, scrolling image view with its layers: the frame,
// the calibration grid and ruler (overlay), the active tool's feedback, the
// magnifier ("Zoom Watch") and the bands. The document window hands it the
// frame and the overlay state; tool frames install one ViewTool, which gets
// the mouse in image coordinates. The view's own mouse uses are the
// magnifier's band, area zoom, click zoom and pan; a drag that none of them
// (nor the tool) takes nudges the brightness.
//
// Mapping: an image point p is shown at p × scale() + imageOffset().

#include "common/Frame.h"
#include "document/ui/Magnifier.h"
#include "document/ui/OverlayPainter.h"
#include "document/ui/ViewResampler.h"
#include "document/ui/ViewTool.h"
#include "overlays/ViewMapping.h"

#include <QAbstractScrollArea>
#include <QCursor>
#include <QImage>
#include <QPointF>
#include <QPointer>
#include <QRectF>

class TrackingPointList;

class ImageView : public QAbstractScrollArea {
    Q_OBJECT
public:
    // smScale: explicit scale; smOptimalScaled: the whole image fits the view.
    enum class ScaleMode { Scale, OptimalScaled };
    using OverlayState = ::OverlayState;

    // The one zoom state: the scale and how it follows the view.
    enum class Fit {
        None,     // the scale stays until changed
        OnResize, // FitMode: set when a recording opens; refits on resize and new picture sizes
        Whole,    // "Fit" (panel reads "AUTOFIT %"): refits until another scale is chosen
    };
    struct Zoom {
        double Scale = 1.0;
        Fit FitKind = Fit::None;
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
    // Copies a frame in and draws its picture ahead without touching the
    // widget (no signal, no repaint), so that several views can do it on
    // worker threads at once; the next setFrame() of this same frame object
    // then only shows it. A frame of another size is left to setFrame().
    void prepareFrame(const Frame& frame);
    void setImage(const QImage& image);
    const Frame& frame() const { return m_frame; }
    int imageWidth() const { return m_frame.width(); }
    int imageHeight() const { return m_frame.height(); }

    // --- Mapping
    double scale() const { return m_zoom.Scale; }
    QPointF imageOffset() const;
    ViewMapping mapping() const;
    QPointF mapToView(QPointF imagePoint) const { return mapping().toView(imagePoint); }
    QPointF mapToImage(QPointF viewPoint) const { return mapping().toImage(viewPoint); }

    // --- Zoom and scroll
    const Zoom& zoom() const { return m_zoom; }
    ScaleMode scaleMode() const { return m_zoom.FitKind == Fit::Whole ? ScaleMode::OptimalScaled : ScaleMode::Scale; }
    // This scale (clamped to MinScale..MaxScale), keeping the image point at
    // the viewport's centre. Ends "Fit"; FitMode stays on (the next resize refits).
    void setScale(double scale);
    // "Fit": the whole image, keeping its aspect ratio, until another scale.
    void fitWholeImage();
    // FitMode: while on, resizes and new picture sizes fit the picture to the
    // view's width, but never taller than the view, so a turned picture is
    // shown whole. Turning it on applies it at once.
    void setFitMode(bool on);
    bool fitMode() const { return m_zoom.FitKind == Fit::OnResize; }
    void scrollBy(int dx, int dy);
    // Scrolls so that the image point lies at the centre of the viewport.
    void scrollToCentre(QPointF imagePoint);
    // Zooms so that the band (view coordinates) fills the view, whatever the
    // current scale, and centres it. A band without area does nothing.
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

    // --- The view's own mouse modes
    // Area zoom: the next drag draws a band and zooms to it on release, then
    // the mode ends (areaZoomFinished).
    void setAreaZoomMode(bool on);
    bool areaZoomMode() const { return m_areaZoom; }
    // Click zoom ("Zoom Out" down): a left click zooms in by 0.1, any other
    // button out by 0.1.
    void setClickZoomMode(bool on);
    bool clickZoomMode() const { return m_clickZoom; }
    // Pan: a left drag moves the image with the mouse.
    void setPanMode(bool on);
    bool panMode() const { return m_panMode; }

    // --- The active tool (not owned). Installing one removes the previous
    // tool (it gets `removed`); nullptr removes the current one.
    void setTool(ViewTool* tool);
    // Removes the tool only if it is the active one.
    void removeTool(ViewTool* tool);
    ViewTool* tool() const { return m_tool; }

    // --- Magnifier ("Zoom Watch")
    // Creates it (level 10) as the 64 × 64 image square under the viewport's
    // centre and selects it, so the band moves and resizes it.
    void showMagnifier();
    void removeMagnifier();
    bool hasMagnifier() const { return m_magnifier.exists(); }
    void setMagnifierLevel(int level);
    int magnifierLevel() const { return m_magnifier.level(); }
    QRectF magnifierRect() const { return m_magnifier.rect(); } // image coordinates
    void setMagnifierRect(const QRectF& imageRect);
    bool magnifierSelected() const { return m_magnifier.selected(); }
    void setMagnifierSelected(bool selected);

    // --- Overlays
    void setOverlay(const OverlayState& overlay);
    const OverlayState& overlay() const { return m_overlay; }
    // The document's tracking points, drawn as markers over the picture
    // (not owned; nullptr draws none). Call trackingPointsChanged() after
    // the points moved or changed state.
    void setTrackingPoints(const TrackingPointList* points);
    const TrackingPointList* trackingPoints() const { return m_trackingPoints; }
    void trackingPointsChanged();

    QSize sizeHint() const override { return {640, 480}; }

    // The click-zoom cursor (a magnifying glass with a plus).
    static QCursor zoomCursor();

signals:
    // A press at an image point (before any click zoom changed the mapping).
    void mousePressedAt(QPointF imagePoint, Qt::MouseButton button, Qt::MouseButtons buttons,
                        Qt::KeyboardModifiers modifiers);
    void mouseMovedAt(QPointF imagePoint, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);
    void mouseReleasedAt(QPointF imagePoint, Qt::MouseButton button);
    // Scale or fit changed: refresh "100.00%" / "AUTOFIT %".
    void zoomChanged(double scale, bool autoFit);
    // Scale or scroll position changed: anything placed over the view moves.
    void viewChanged();
    // A free drag (no tool, pan, band, area or click zoom took the press)
    // moved the mouse down (up = false) or up.
    void brightnessNudge(bool up);
    // Capital "C" pressed in the view.
    void copyRequested();
    // Mouse up ended an area zoom.
    void areaZoomFinished();
    // The user moved or resized the magnifier.
    void magnifierMoved(QRectF imageRect);
    void toolChanged(ViewTool* tool);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;

private:
    // Who the current drag belongs to.
    enum class DragUse { None, Magnifier, AreaZoom, ClickZoom, Tool, Pan };

    void frameChanged();
    double fitScale() const;   // the picture whole in the view (no scroll bars needed)
    void layoutContent();      // scroll ranges (and the fit scale) for the current zoom
    void applyZoom(Zoom zoom);
    void invalidateBase();
    void renderBase();
    ViewMouse toolMouse(const QMouseEvent* event) const;
    void updateCursor();
    void updateHoverCursor(QPointF viewPos);

    Frame m_frame;
    const Frame* m_prepared = nullptr; // copied and drawn by prepareFrame()
    ViewResampler m_resampler;
    ZoomKernel m_kernel = ZoomKernel::Box;
    Zoom m_zoom;

    QImage m_base;       // the resampled frame, reused between paints
    bool m_baseValid = false;
    QImage m_composite;  // base + overlay + tool feedback + magnifier

    OverlayState m_overlay;
    const TrackingPointList* m_trackingPoints = nullptr;
    Magnifier m_magnifier;
    QPointer<ViewTool> m_tool;

    bool m_areaZoom = false;
    bool m_clickZoom = false;
    bool m_panMode = false;

    bool m_mouseIsDown = false;
    DragUse m_drag = DragUse::None;
    QPoint m_mouseDown;
    QPoint m_lastMouse;
    bool m_areaBandVisible = false;
    QRectF m_areaBand;    // view coordinates
    int m_wheelRemainder = 0;
};
