#include "document/ui/ImageView.h"

#include "common/NumberFormat.h"
#include "common/Rounding.h"
#include "document/ui/TrackingMarkers.h"
#include "tracking/engine/TrackingPointList.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace {

int roundToInt(double v)
{
    return int(Round(std::clamp(v, -1e9, 1e9)));
}

} // namespace

ImageView::ImageView(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    horizontalScrollBar()->setSingleStep(20);
    verticalScrollBar()->setSingleStep(20);
}

ImageView::~ImageView()
{
    if (m_tool)
        disconnect(m_tool, nullptr, this, nullptr);
}

// ---------------------------------------------------------------- content

void ImageView::prepareFrame(const Frame& frame)
{
    m_prepared = nullptr;
    if (frame.width() != m_frame.width() || frame.height() != m_frame.height())
        return;
    m_frame = frame;
    // The other views draw on the other cores meanwhile.
    m_resampler.SetThreads(1);
    renderBase();
    m_resampler.SetThreads(0);
    m_prepared = &frame;
}

void ImageView::setFrame(const Frame& frame)
{
    if (std::exchange(m_prepared, nullptr) == &frame) {
        viewport()->update();
        return;
    }
    const bool sizeChanged = frame.width() != m_frame.width() || frame.height() != m_frame.height();
    m_frame = frame;
    if (sizeChanged)
        frameChanged();
    invalidateBase();
}

void ImageView::setFrame(Frame&& frame)
{
    m_prepared = nullptr;
    const bool sizeChanged = frame.width() != m_frame.width() || frame.height() != m_frame.height();
    m_frame = std::move(frame);
    if (sizeChanged)
        frameChanged();
    invalidateBase();
}

void ImageView::setImage(const QImage& image)
{
    setFrame(Frame::fromImage(image));
}

void ImageView::frameChanged()
{
    // A new picture size (a turn, another recording): FitMode fits it again.
    if (m_zoom.FitKind == Fit::OnResize && !m_frame.isEmpty())
        m_zoom.Scale = fitScale();
    layoutContent();
    emit zoomChanged(m_zoom.Scale, m_zoom.FitKind == Fit::Whole);
    emit viewChanged();
}

// ---------------------------------------------------------------- mapping

QPointF ImageView::imageOffset() const
{
    return {-double(horizontalScrollBar()->value()), -double(verticalScrollBar()->value())};
}

ViewMapping ImageView::mapping() const
{
    const QPointF off = imageOffset();
    return {m_zoom.Scale, off.x(), off.y()};
}

// ---------------------------------------------------------------- zoom and scroll

double ImageView::fitScale() const
{
    if (m_frame.isEmpty())
        return m_zoom.Scale;
    // The whole picture fits, so no scroll bar takes room from the view.
    const QSize area = maximumViewportSize();
    const double fit = std::min(double(area.width()) / m_frame.width(), double(area.height()) / m_frame.height());
    return fit > 0.0 ? std::clamp(fit, MinScale, MaxScale) : m_zoom.Scale;
}

void ImageView::layoutContent()
{
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    if (m_frame.isEmpty()) {
        h->setRange(0, 0);
        v->setRange(0, 0);
        return;
    }
    if (m_zoom.FitKind == Fit::Whole)
        m_zoom.Scale = fitScale();
    const QSize vp = viewport()->size();
    // A fitted scale times the picture size can land a hair above a whole
    // number of pixels; that must not call for a scroll bar.
    const int contentW = int(std::ceil(m_frame.width() * m_zoom.Scale - 1e-6));
    const int contentH = int(std::ceil(m_frame.height() * m_zoom.Scale - 1e-6));
    h->setPageStep(std::max(1, vp.width()));
    v->setPageStep(std::max(1, vp.height()));
    h->setRange(0, std::max(0, contentW - vp.width()));
    v->setRange(0, std::max(0, contentH - vp.height()));
}

void ImageView::applyZoom(Zoom zoom)
{
    if (!std::isfinite(zoom.Scale))
        return;
    zoom.Scale = std::clamp(zoom.Scale, MinScale, MaxScale);
    m_zoom = zoom;
    layoutContent();
    invalidateBase();
    emit zoomChanged(m_zoom.Scale, m_zoom.FitKind == Fit::Whole);
    emit viewChanged();
}

void ImageView::setScale(double scale)
{
    // Keep the image point at the viewport's centre where it is.
    const QPointF centre = mapToImage(QPointF(viewport()->width() / 2.0, viewport()->height() / 2.0));
    applyZoom({scale, m_zoom.FitKind == Fit::OnResize ? Fit::OnResize : Fit::None});
    if (!m_frame.isEmpty())
        scrollToCentre(centre);
}

void ImageView::fitWholeImage()
{
    applyZoom({m_zoom.Scale, Fit::Whole});
}

void ImageView::setFitMode(bool on)
{
    if (on)
        applyZoom({fitScale(), Fit::OnResize});
    else if (m_zoom.FitKind == Fit::OnResize)
        m_zoom.FitKind = Fit::None;
}

void ImageView::scrollBy(int dx, int dy)
{
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + dx);
    verticalScrollBar()->setValue(verticalScrollBar()->value() + dy);
}

void ImageView::scrollToCentre(QPointF imagePoint)
{
    const QPointF q = mapToView(imagePoint);
    scrollBy(roundToInt(q.x() - viewport()->width() / 2.0), roundToInt(q.y() - viewport()->height() / 2.0));
}

void ImageView::zoomToRubberBand(const QRectF& bandInView)
{
    const QRectF r = bandInView.normalized();
    if (m_frame.isEmpty() || !(r.width() > 0.0) || !(r.height() > 0.0))
        return; // a click without a drag selects no area
    // The band in image pixels, and the scale at which it fills the view.
    const QRectF band = mapping().toImage(r);
    QSize area = maximumViewportSize();
    const auto fill = [&band](QSize a) { return std::min(a.width() / band.width(), a.height() / band.height()); };
    double scale = fill(area);
    // Scroll bars take room from the view once the zoomed picture overflows it.
    if (m_frame.width() * scale > area.width() || m_frame.height() * scale > area.height()) {
        const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
        area -= QSize(bar, bar);
        scale = fill(area);
    }
    applyZoom({scale, m_zoom.FitKind == Fit::OnResize ? Fit::OnResize : Fit::None});
    // Centre in the viewport as it will be once the scroll bars are laid out.
    const QPointF q = mapToView(band.center());
    scrollBy(roundToInt(q.x() - area.width() / 2.0), roundToInt(q.y() - area.height() / 2.0));
}

void ImageView::clickZoomAt(QPoint viewPos, bool zoomIn)
{
    const QPointF p = mapToImage(viewPos);
    applyZoom({m_zoom.Scale + (zoomIn ? 0.1 : -0.1), m_zoom.FitKind == Fit::OnResize ? Fit::OnResize : Fit::None});
    scrollToCentre(p);
}

QString ImageView::zoomText() const
{
    if (m_zoom.FitKind == Fit::Whole)
        return QStringLiteral("AUTOFIT %");
    return FormatFixed(m_zoom.Scale * 100.0, 7, 2) + QLatin1Char('%');
}

QString ImageView::cursorText(QPointF p)
{
    return QStringLiteral("X : ") + FormatFixed(p.x(), 15, 2) + QStringLiteral(" ~ Y : ") + FormatFixed(p.y(), 15, 2);
}

void ImageView::scrollContentsBy(int, int)
{
    invalidateBase();
    emit viewChanged();
}

bool ImageView::viewportEvent(QEvent* event)
{
    // Scroll bars coming or going resize the viewport alone: the scroll
    // ranges must follow, or a bar stays for a picture that now fits.
    if (event->type() == QEvent::Resize) {
        layoutContent();
        invalidateBase();
    }
    return QAbstractScrollArea::viewportEvent(event);
}

void ImageView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (m_zoom.FitKind == Fit::OnResize && !m_frame.isEmpty()) {
        const double fit = fitScale();
        if (fit != m_zoom.Scale) {
            applyZoom({fit, Fit::OnResize});
            return;
        }
    }
    layoutContent();
    if (m_zoom.FitKind == Fit::Whole)
        emit zoomChanged(m_zoom.Scale, true);
    invalidateBase();
    emit viewChanged();
}

// ---------------------------------------------------------------- kernel and modes

void ImageView::setZoomKernel(int index)
{
    m_kernel = ZoomKernel(std::clamp(index, 0, 3));
    invalidateBase();
}

void ImageView::setAreaZoomMode(bool on)
{
    m_areaZoom = on;
    if (!on && m_areaBandVisible) {
        m_areaBandVisible = false;
        viewport()->update();
    }
}

void ImageView::setClickZoomMode(bool on)
{
    m_clickZoom = on;
    updateCursor();
}

void ImageView::setPanMode(bool on)
{
    m_panMode = on;
    updateCursor();
}

QCursor ImageView::zoomCursor()
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    for (int pass = 0; pass < 2; ++pass) { // white halo, then black glyph: visible on any image
        p.setPen(QPen(pass == 0 ? Qt::white : Qt::black, pass == 0 ? 4.0 : 2.0, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(12, 12), 8, 8);
        p.drawLine(QPointF(18, 18), QPointF(28, 28));
        p.drawLine(QPointF(8, 12), QPointF(16, 12));
        p.drawLine(QPointF(12, 8), QPointF(12, 16));
    }
    p.end();
    return QCursor(pixmap, 12, 12);
}

void ImageView::updateCursor()
{
    QCursor cursor(Qt::ArrowCursor);
    if (m_panMode)
        cursor = QCursor(m_drag == DragUse::Pan ? Qt::ClosedHandCursor : Qt::OpenHandCursor);
    if (m_clickZoom)
        cursor = zoomCursor();
    if (m_tool)
        cursor = m_tool->cursor();
    viewport()->setCursor(cursor);
}

void ImageView::updateHoverCursor(QPointF viewPos)
{
    // Hovering the selected band's handles shows what a drag would do.
    const BandHandle handle = m_magnifier.selected() ? m_magnifier.hit(viewPos, mapping()) : BandHandle::None;
    switch (handle) {
    case BandHandle::Left:
    case BandHandle::Right: viewport()->setCursor(Qt::SizeHorCursor); return;
    case BandHandle::Top:
    case BandHandle::Bottom: viewport()->setCursor(Qt::SizeVerCursor); return;
    case BandHandle::TopLeft:
    case BandHandle::BottomRight: viewport()->setCursor(Qt::SizeFDiagCursor); return;
    case BandHandle::TopRight:
    case BandHandle::BottomLeft: viewport()->setCursor(Qt::SizeBDiagCursor); return;
    case BandHandle::Body: viewport()->setCursor(Qt::SizeAllCursor); return;
    default: updateCursor(); return;
    }
}

// ---------------------------------------------------------------- the active tool

void ImageView::setTool(ViewTool* tool)
{
    if (tool == m_tool)
        return;
    ViewTool* old = m_tool;
    if (old)
        disconnect(old, nullptr, this, nullptr);
    if (m_drag == DragUse::Tool)
        m_drag = DragUse::None;
    m_tool = tool;
    if (tool) {
        connect(tool, &ViewTool::changed, this, [this] { viewport()->update(); });
        connect(tool, &QObject::destroyed, this, [this] {
            m_tool = nullptr;
            if (m_drag == DragUse::Tool)
                m_drag = DragUse::None;
            updateCursor();
            viewport()->update();
            emit toolChanged(nullptr);
        });
    }
    if (old)
        emit old->removed();
    updateCursor();
    viewport()->update();
    emit toolChanged(tool);
}

void ImageView::removeTool(ViewTool* tool)
{
    if (tool && tool == m_tool)
        setTool(nullptr);
}

ViewMouse ImageView::toolMouse(const QMouseEvent* event) const
{
    return {event->position(), mapToImage(event->position()), event->button(), event->buttons(), event->modifiers()};
}

// ---------------------------------------------------------------- magnifier

void ImageView::showMagnifier()
{
    const QPoint centre(viewport()->width() / 2, viewport()->height() / 2);
    m_magnifier.show(mapToImage(centre));
    viewport()->update();
}

void ImageView::removeMagnifier()
{
    m_magnifier.remove();
    if (m_drag == DragUse::Magnifier)
        m_drag = DragUse::None;
    viewport()->update();
}

void ImageView::setMagnifierLevel(int level)
{
    m_magnifier.setLevel(level);
    viewport()->update();
}

void ImageView::setMagnifierRect(const QRectF& imageRect)
{
    m_magnifier.setRect(imageRect);
    viewport()->update();
}

void ImageView::setMagnifierSelected(bool selected)
{
    if (m_magnifier.selected() == (selected && m_magnifier.exists()))
        return;
    m_magnifier.setSelected(selected);
    viewport()->update();
}

// ---------------------------------------------------------------- overlays

void ImageView::setOverlay(const OverlayState& overlay)
{
    m_overlay = overlay;
    viewport()->update();
}

// ---------------------------------------------------------------- mouse and keys

void ImageView::mousePressEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const QPointF p = mapToImage(event->position());

    // A press on the magnifier selects it (a left press drags it); a press
    // elsewhere deselects it.
    const BandHandle handle = m_magnifier.hit(event->position(), mapping());
    setMagnifierSelected(handle != BandHandle::None);

    m_mouseIsDown = true;
    m_mouseDown = pos;
    m_lastMouse = pos;
    m_drag = DragUse::None;

    // The first use that takes the press owns the drag.
    if (handle != BandHandle::None) {
        m_drag = DragUse::Magnifier;
        if (event->button() == Qt::LeftButton)
            m_magnifier.beginDrag(handle);
    } else if (m_areaZoom) {
        m_drag = DragUse::AreaZoom;
        m_areaBandVisible = true;
        m_areaBand = QRectF(pos, pos);
        viewport()->update();
    } else if (m_tool && m_tool->press(toolMouse(event))) {
        m_drag = DragUse::Tool;
    } else if (m_clickZoom) {
        m_drag = DragUse::ClickZoom;
        clickZoomAt(pos, event->button() == Qt::LeftButton);
    } else if (m_panMode && event->button() == Qt::LeftButton) {
        m_drag = DragUse::Pan;
    }
    updateCursor();
    emit mousePressedAt(p, event->button(), event->buttons(), event->modifiers());
}

void ImageView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    emit mouseMovedAt(mapToImage(event->position()), event->buttons(), event->modifiers());

    const bool leftDown = event->buttons() & Qt::LeftButton;
    switch (m_drag) {
    case DragUse::Magnifier:
        if (leftDown && m_magnifier.dragging()) {
            m_magnifier.dragBy(QPointF(pos - m_mouseDown) / m_zoom.Scale, event->modifiers() & Qt::ControlModifier);
            viewport()->update();
            emit magnifierMoved(m_magnifier.rect());
        }
        break;
    case DragUse::AreaZoom:
        if (leftDown && m_areaBandVisible) {
            m_areaBand = QRectF(QPointF(std::min(pos.x(), m_mouseDown.x()), std::min(pos.y(), m_mouseDown.y())),
                                QPointF(std::max(pos.x(), m_mouseDown.x()), std::max(pos.y(), m_mouseDown.y())));
            viewport()->update();
        }
        break;
    case DragUse::Tool:
        if (m_tool)
            m_tool->move(toolMouse(event));
        break;
    case DragUse::Pan:
        if (leftDown)
            scrollBy(m_lastMouse.x() - pos.x(), m_lastMouse.y() - pos.y());
        break;
    case DragUse::ClickZoom:
        break;
    case DragUse::None:
        if (m_mouseIsDown) {
            // A drag nothing else uses: up brightens, down darkens.
            if (pos.y() != m_lastMouse.y())
                emit brightnessNudge(pos.y() < m_lastMouse.y());
        } else if (m_tool) {
            m_tool->move(toolMouse(event));
        }
        break;
    }
    m_lastMouse = pos;
    if (!m_mouseIsDown)
        updateHoverCursor(event->position());
}

void ImageView::mouseReleaseEvent(QMouseEvent* event)
{
    const DragUse drag = m_drag;
    m_mouseIsDown = false;
    m_drag = DragUse::None;
    m_magnifier.endDrag();
    if (drag == DragUse::Tool && m_tool)
        m_tool->release(toolMouse(event));
    if (m_areaZoom) {
        const QRectF band = m_areaBand;
        const bool hadBand = m_areaBandVisible;
        m_areaZoom = false;
        m_areaBandVisible = false;
        if (hadBand)
            zoomToRubberBand(band);
        viewport()->update();
        emit areaZoomFinished();
    }
    updateCursor();
    emit mouseReleasedAt(mapToImage(event->position()), event->button());
}

void ImageView::wheelEvent(QWheelEvent* event)
{
    // One step per notch; small touchpad deltas add up to notches.
    m_wheelRemainder += event->angleDelta().y();
    double scale = m_zoom.Scale;
    bool changed = false;
    while (m_wheelRemainder <= -120) { // wheel down
        scale += 0.1;
        m_wheelRemainder += 120;
        changed = true;
    }
    while (m_wheelRemainder >= 120) { // wheel up
        scale -= 0.1;
        m_wheelRemainder -= 120;
        changed = true;
    }
    if (changed)
        setScale(scale);
    event->accept();
}

void ImageView::keyPressEvent(QKeyEvent* event)
{
    if (event->text() == QLatin1String("C")) {
        emit copyRequested();
        event->accept();
        return;
    }
    // Left and right step the common time; leave them to the window.
    if (event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) {
        event->ignore();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

// ---------------------------------------------------------------- painting

void ImageView::invalidateBase()
{
    m_baseValid = false;
    viewport()->update();
}

void ImageView::renderBase()
{
    const QSize size = viewport()->size();
    if (m_base.size() != size)
        m_base = QImage(size, QImage::Format_RGB32);
    if (m_base.isNull())
        return;
    const ViewMapping map = mapping();
    ViewResampler::Source src{m_frame.bits(), m_frame.width(), m_frame.height(), m_frame.stride()};
    const QRect drawn = m_resampler.Render(src, m_base, m_base.rect(), map.Scale, map.OffsetX, map.OffsetY, m_kernel);

    // Only the margins around the image get the background.
    for (int y = 0; y < m_base.height(); ++y) {
        uint32_t* line = reinterpret_cast<uint32_t*>(m_base.scanLine(y));
        if (drawn.isEmpty() || y < drawn.top() || y > drawn.bottom()) {
            std::fill(line, line + m_base.width(), ViewBackground);
        } else {
            std::fill(line, line + drawn.left(), ViewBackground);
            std::fill(line + drawn.right() + 1, line + m_base.width(), ViewBackground);
        }
    }
    m_baseValid = true;
}

void ImageView::setTrackingPoints(const TrackingPointList* points)
{
    m_trackingPoints = points;
    viewport()->update();
}

void ImageView::trackingPointsChanged()
{
    viewport()->update();
}

void ImageView::paintEvent(QPaintEvent*)
{
    if (!m_baseValid || m_base.size() != viewport()->size())
        renderBase();

    QPainter painter(viewport());
    const ViewMapping map = mapping();
    const bool markers = m_trackingPoints && !m_trackingPoints->isEmpty();
    const bool drawing = OverlayHasDrawing(m_overlay) || m_tool || markers;
    if (!drawing && !m_magnifier.exists()) {
        painter.drawImage(0, 0, m_base);
    } else {
        if (m_composite.size() != m_base.size() || m_composite.format() != m_base.format())
            m_composite = QImage(m_base.size(), m_base.format());
        if (!m_composite.isNull()) {
            std::memcpy(m_composite.bits(), m_base.constBits(), size_t(m_base.sizeInBytes()));
            if (drawing) {
                QPainter layers(&m_composite);
                PaintOverlay(layers, m_overlay, map, m_composite.size(), font());
                if (markers)
                    PaintTrackingMarkers(layers, *m_trackingPoints, map, font());
                if (m_tool)
                    PaintToolFeedback(layers, *m_tool, map);
            }
            // The magnifier enlarges the layers below it too.
            m_magnifier.paint(m_composite, map);
        }
        painter.drawImage(0, 0, m_composite);
    }
    if (m_areaBandVisible)
        PaintBand(painter, m_areaBand, false);
    if (m_magnifier.exists() && m_magnifier.selected())
        PaintBand(painter, m_magnifier.bandInView(map), true);
}
