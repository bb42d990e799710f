#include "document/ui/ImageView.h"

#include "common/NumberFormat.h"
#include "common/Rounding.h"
#include "overlays/RulerGeometry.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

const QColor BackgroundColour(58, 58, 62);
constexpr double HandleSize = 6.0; // rubber-band handle squares, view pixels

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

ImageView::~ImageView() = default;

// ---------------------------------------------------------------- content

void ImageView::setFrame(const Frame& frame)
{
    const bool sizeChanged = frame.width() != m_frame.width() || frame.height() != m_frame.height();
    m_frame = frame;
    if (sizeChanged)
        frameChanged();
    invalidateBase();
}

void ImageView::setFrame(Frame&& frame)
{
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
    if (m_fitMode && m_frame.width() > 0) {
        m_scaleMode = ScaleMode::Scale;
        m_scale = std::clamp(double(width()) / m_frame.width(), MinScale, MaxScale);
    }
    layoutContent();
    emit zoomChanged(m_scale, m_scaleMode == ScaleMode::OptimalScaled);
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
    return {m_scale, off.x(), off.y()};
}

QPointF ImageView::mapToView(QPointF imagePoint) const
{
    return mapping().toView(imagePoint);
}

QPointF ImageView::mapToImage(QPointF viewPoint) const
{
    return mapping().toImage(viewPoint);
}

// ---------------------------------------------------------------- zoom and scroll

void ImageView::layoutContent()
{
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    if (m_frame.isEmpty()) {
        h->setRange(0, 0);
        v->setRange(0, 0);
        return;
    }
    if (m_scaleMode == ScaleMode::OptimalScaled) {
        // The whole image fits, so no scroll bar takes room from the view.
        const QSize area = maximumViewportSize();
        const double fit = std::min(double(area.width()) / m_frame.width(), double(area.height()) / m_frame.height());
        if (fit > 0.0)
            m_scale = std::clamp(fit, MinScale, MaxScale);
    }
    const QSize vp = viewport()->size();
    const int contentW = int(std::ceil(m_frame.width() * m_scale));
    const int contentH = int(std::ceil(m_frame.height() * m_scale));
    h->setPageStep(std::max(1, vp.width()));
    v->setPageStep(std::max(1, vp.height()));
    h->setRange(0, std::max(0, contentW - vp.width()));
    v->setRange(0, std::max(0, contentH - vp.height()));
}

void ImageView::applyScale(double scale, ScaleMode mode)
{
    if (!std::isfinite(scale))
        return;
    m_scaleMode = mode;
    m_scale = std::clamp(scale, MinScale, MaxScale);
    layoutContent();
    invalidateBase();
    emit zoomChanged(m_scale, m_scaleMode == ScaleMode::OptimalScaled);
    emit viewChanged();
}

void ImageView::setScale(double scale)
{
    // Keep the image point at the viewport's centre where it is.
    const QPointF centre = mapToImage(QPointF(viewport()->width() / 2.0, viewport()->height() / 2.0));
    applyScale(scale, ScaleMode::Scale);
    if (!m_frame.isEmpty())
        scrollToCentre(centre);
}

void ImageView::fitWholeImage()
{
    applyScale(m_scale, ScaleMode::OptimalScaled);
}

void ImageView::setFitMode(bool on)
{
    m_fitMode = on;
    if (on && m_frame.width() > 0)
        applyScale(double(width()) / m_frame.width(), ScaleMode::Scale);
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
    const double s = m_scale;
    const double w = r.width() / s;
    const double h = r.height() / s;
    if (m_frame.isEmpty() || !(w > 0.0) || !(h > 0.0))
        return; // a click without a drag selects no area
    const double f = std::min(m_frame.width() / w, m_frame.height() / h);
    const QPointF centre = mapToImage(r.center());
    applyScale(f * s, ScaleMode::Scale);
    scrollToCentre(centre);
}

void ImageView::clickZoomAt(QPoint viewPos, bool zoomIn)
{
    const QPointF p = mapToImage(viewPos);
    applyScale(m_scale + (zoomIn ? 0.1 : -0.1), ScaleMode::Scale);
    const QPointF q = mapToView(p);
    scrollBy(roundToInt(q.x() - viewport()->width() / 2.0), roundToInt(q.y() - viewport()->height() / 2.0));
}

QString ImageView::zoomText() const
{
    if (m_scaleMode == ScaleMode::OptimalScaled)
        return QStringLiteral("AUTOFIT %");
    return FormatFixed(m_scale * 100.0, 7, 2) + QLatin1Char('%');
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

void ImageView::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    if (m_fitMode && m_frame.width() > 0) {
        const double fit = double(width()) / m_frame.width();
        if (m_scaleMode != ScaleMode::Scale || fit != m_scale) {
            applyScale(fit, ScaleMode::Scale);
            return;
        }
    }
    layoutContent();
    if (m_scaleMode == ScaleMode::OptimalScaled)
        emit zoomChanged(m_scale, true);
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

void ImageView::setZoomOut(bool on)
{
    m_zoomOut = on;
    updateCursor();
}

void ImageView::setPanMode(bool on)
{
    m_panMode = on;
    updateCursor();
}

void ImageView::setPickCursor(bool crosshair)
{
    m_pickCursor = crosshair;
    updateCursor();
}

QCursor ImageView::zoomCursor(bool zoomOut)
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
        if (!zoomOut)
            p.drawLine(QPointF(12, 8), QPointF(12, 16));
    }
    p.end();
    return QCursor(pixmap, 12, 12);
}

void ImageView::updateCursor()
{
    QCursor cursor(Qt::ArrowCursor);
    if (m_panMode)
        cursor = QCursor(m_mouseIsDown ? Qt::ClosedHandCursor : Qt::OpenHandCursor);
    if (m_clickZoom)
        cursor = zoomCursor(m_zoomOut);
    if (m_pickCursor)
        cursor = QCursor(Qt::CrossCursor);
    viewport()->setCursor(cursor);
}

// ---------------------------------------------------------------- magnifier

void ImageView::showMagnifier()
{
    m_magnifierLevel = 10;
    const QPoint centre(viewport()->width() / 2, viewport()->height() / 2);
    m_magnifierRect = InitialMagnifierRect(mapToImage(centre));
    m_hasMagnifier = true;
    m_magnifierSelected = true;
    viewport()->update();
}

void ImageView::removeMagnifier()
{
    m_magnifierSelected = false;
    m_hasMagnifier = false;
    m_bandDrag = BandHandle::None;
    viewport()->update();
}

void ImageView::setMagnifierLevel(int level)
{
    m_magnifierLevel = std::clamp(level, 0, 50);
    viewport()->update();
}

void ImageView::setMagnifierRect(const QRectF& imageRect)
{
    m_magnifierRect = imageRect.normalized();
    viewport()->update();
}

void ImageView::setMagnifierSelected(bool selected)
{
    selected = selected && m_hasMagnifier;
    if (selected == m_magnifierSelected)
        return;
    m_magnifierSelected = selected;
    viewport()->update();
}

QRect ImageView::magnifierViewRect() const
{
    const QRectF r = mapping().toView(m_magnifierRect);
    const int l = roundToInt(r.left()), t = roundToInt(r.top());
    return QRect(QPoint(l, t), QPoint(roundToInt(r.right()) - 1, roundToInt(r.bottom()) - 1));
}

QRectF ImageView::bandViewRect() const
{
    return mapping().toView(m_magnifierRect);
}

BandHandle ImageView::hitBand(QPointF pos) const
{
    if (!m_hasMagnifier || !m_magnifierSelected)
        return BandHandle::None;
    const QRectF r = bandViewRect();
    const double tol = HandleSize / 2.0 + 1.0;
    const auto near = [tol](double a, double b) { return std::abs(a - b) <= tol; };
    const bool l = near(pos.x(), r.left()), rr = near(pos.x(), r.right());
    const bool t = near(pos.y(), r.top()), b = near(pos.y(), r.bottom());
    const bool midX = near(pos.x(), r.center().x()), midY = near(pos.y(), r.center().y());
    if (t && l) return BandHandle::TopLeft;
    if (t && rr) return BandHandle::TopRight;
    if (b && l) return BandHandle::BottomLeft;
    if (b && rr) return BandHandle::BottomRight;
    if (l && midY) return BandHandle::Left;
    if (rr && midY) return BandHandle::Right;
    if (t && midX) return BandHandle::Top;
    if (b && midX) return BandHandle::Bottom;
    if (r.contains(pos)) return BandHandle::Body;
    return BandHandle::None;
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

    // Presses on the magnifier (or its band's handles) select it and drag it.
    BandHandle handle = hitBand(event->position());
    if (handle == BandHandle::None && m_hasMagnifier && bandViewRect().contains(event->position()))
        handle = BandHandle::Body;
    const bool onLayer = handle != BandHandle::None;
    setMagnifierSelected(onLayer);
    if (onLayer && event->button() == Qt::LeftButton) {
        m_bandDrag = handle;
        m_bandDragStart = m_magnifierRect;
    }

    m_mouseIsDown = true;
    m_mouseDown = pos;
    m_lastMouse = pos;

    if (!onLayer) {
        if (m_areaZoom) {
            m_areaBandVisible = true;
            m_areaBand = QRectF(pos, pos);
            viewport()->update();
        }
        if (m_clickZoom)
            clickZoomAt(pos, (event->button() == Qt::LeftButton) != m_zoomOut);
    }
    updateCursor();
    emit mousePressedAt(p, event->button(), event->buttons(), event->modifiers());
}

void ImageView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    const QPointF p = mapToImage(event->position());
    emit mouseMovedAt(p, event->buttons(), event->modifiers());

    const bool leftDown = event->buttons() & Qt::LeftButton;
    if (m_bandDrag != BandHandle::None && leftDown) {
        const QPointF delta = QPointF(pos - m_mouseDown) / m_scale;
        QRectF moved = DragBand(m_bandDragStart, m_bandDrag, delta, 1.0);
        if ((event->modifiers() & Qt::ControlModifier) && m_bandDrag != BandHandle::Body)
            moved = SymmetricResize(m_bandDragStart, m_bandDrag, moved);
        setMagnifierRect(moved);
        emit magnifierMoved(m_magnifierRect);
    } else {
        if (m_areaZoom && leftDown && m_areaBandVisible) {
            m_areaBand = QRectF(QPointF(std::min(pos.x(), m_mouseDown.x()), std::min(pos.y(), m_mouseDown.y())),
                                QPointF(std::max(pos.x(), m_mouseDown.x()), std::max(pos.y(), m_mouseDown.y())));
            viewport()->update();
        }
        if (m_panMode && leftDown)
            scrollBy(m_lastMouse.x() - pos.x(), m_lastMouse.y() - pos.y());
    }

    if (m_mouseIsDown && pos.y() != m_lastMouse.y())
        emit brightnessNudge(pos.y() < m_lastMouse.y());
    m_lastMouse = pos;

    // Hovering the selected band's handles shows what a drag would do.
    if (!m_mouseIsDown) {
        switch (hitBand(event->position())) {
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
}

void ImageView::mouseReleaseEvent(QMouseEvent* event)
{
    m_mouseIsDown = false;
    m_bandDrag = BandHandle::None;
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
    double scale = m_scale;
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
    const uint32_t bg = BackgroundColour.rgb();
    for (int y = 0; y < m_base.height(); ++y) {
        uint32_t* line = reinterpret_cast<uint32_t*>(m_base.scanLine(y));
        if (drawn.isEmpty() || y < drawn.top() || y > drawn.bottom()) {
            std::fill(line, line + m_base.width(), bg);
        } else {
            std::fill(line, line + drawn.left(), bg);
            std::fill(line + drawn.right() + 1, line + m_base.width(), bg);
        }
    }
    m_baseValid = true;
}

void ImageView::paintEvent(QPaintEvent*)
{
    if (!m_baseValid || m_base.size() != viewport()->size())
        renderBase();

    QPainter painter(viewport());
    const bool overlays = (m_overlay.GridVisible && m_overlay.HasGridEntry) || m_overlay.RulerOn;
    if (!overlays && !m_hasMagnifier) {
        painter.drawImage(0, 0, m_base);
    } else {
        if (m_composite.size() != m_base.size() || m_composite.format() != m_base.format())
            m_composite = QImage(m_base.size(), m_base.format());
        if (!m_composite.isNull())
            std::memcpy(m_composite.bits(), m_base.constBits(), size_t(m_base.sizeInBytes()));
        paintOverlay(m_composite);
        if (m_hasMagnifier)
            paintMagnifier(m_composite);
        painter.drawImage(0, 0, m_composite);
    }
    paintBand(painter);
}

void ImageView::paintOverlay(QImage& buffer) const
{
    if (buffer.isNull())
        return;
    if (m_overlay.GridVisible && !m_overlay.HasGridEntry)
        return; // nothing, not even the ruler
    const ViewMapping map = mapping();
    QPainter p(&buffer);
    if (m_overlay.GridVisible) {
        p.setPen(QPen(QColor(255, 0, 0), 0));
        p.setBrush(Qt::NoBrush);
        if (!m_overlay.Grid.Polar) {
            const std::vector<QLineF> lines = LineGridLines(m_overlay.Grid, map, buffer.size());
            p.drawLines(lines.data(), int(lines.size()));
        } else {
            const RingGridShape rings = RingGrid(m_overlay.Grid, map, buffer.size());
            p.drawLines(rings.CrossLines, 2);
            const QPoint c = rings.Centre;
            for (int r : rings.Radii)
                p.drawEllipse(QRect(c.x() - r, c.y() - r, 2 * r, 2 * r));
        }
    }
    if (m_overlay.RulerOn) {
        const QColor yellow(255, 255, 0);
        p.setPen(QPen(yellow, 0));
        p.drawLine(RulerViewLine(m_overlay.RulerStart, m_overlay.RulerEnd, map));
        p.setFont(font());
        const QPoint at = RulerTextTopLeft(m_overlay.RulerEnd, map);
        p.drawText(QRect(at, QSize(2000, 200)), Qt::AlignLeft | Qt::AlignTop,
                   RulerText(m_overlay.RulerDistance, m_overlay.CalUnitIndex));
    }
}

void ImageView::paintMagnifier(QImage& buffer) const
{
    const QRect r = magnifierViewRect();
    const QRect visible = r.intersected(buffer.rect());
    if (visible.isEmpty() || r.width() < 1 || r.height() < 1)
        return;
    const double m = MagnifierFactor(m_magnifierLevel);

    // Sample from a snapshot of what lies under the magnifier (already
    // painted layers included), since the same pixels are overwritten.
    const QRect srcRect = MagnifierSourceRect(r, m).toAlignedRect().adjusted(-1, -1, 1, 1).intersected(buffer.rect());
    if (srcRect.isEmpty())
        return;
    const QImage src = buffer.copy(srcRect);
    const int sw = src.width(), sh = src.height();

    // Linear resampling: per-column source positions and weights (8-bit).
    std::vector<int> x0(visible.width()), fx(visible.width());
    for (int i = 0; i < visible.width(); ++i) {
        const double sx = MagnifierSourcePoint(r, m, {visible.left() + i - r.left() + 0.5, 0.0}).x() - 0.5 - srcRect.left();
        const double cx = std::clamp(sx, 0.0, double(sw - 1));
        x0[i] = std::min(int(cx), sw - 1);
        fx[i] = int((cx - x0[i]) * 256.0);
    }
    for (int j = 0; j < visible.height(); ++j) {
        const int y = visible.top() + j;
        const double sy = MagnifierSourcePoint(r, m, {0.0, y - r.top() + 0.5}).y() - 0.5 - srcRect.top();
        const double cy = std::clamp(sy, 0.0, double(sh - 1));
        const int y0 = std::min(int(cy), sh - 1);
        const int y1 = std::min(y0 + 1, sh - 1);
        const int fy = int((cy - y0) * 256.0);
        const uint32_t* row0 = reinterpret_cast<const uint32_t*>(src.constScanLine(y0));
        const uint32_t* row1 = reinterpret_cast<const uint32_t*>(src.constScanLine(y1));
        uint32_t* out = reinterpret_cast<uint32_t*>(buffer.scanLine(y)) + visible.left();
        for (int i = 0; i < visible.width(); ++i) {
            const int a = x0[i], b = std::min(a + 1, sw - 1), f = fx[i];
            uint32_t result = 0xff000000u;
            for (int shift = 0; shift < 24; shift += 8) {
                const int p00 = (row0[a] >> shift) & 0xff, p01 = (row0[b] >> shift) & 0xff;
                const int p10 = (row1[a] >> shift) & 0xff, p11 = (row1[b] >> shift) & 0xff;
                const int top = p00 * (256 - f) + p01 * f;
                const int bottom = p10 * (256 - f) + p11 * f;
                const int v = (top * (256 - fy) + bottom * fy + (1 << 15)) >> 16;
                result |= uint32_t(v) << shift;
            }
            out[i] = result;
        }
    }

    // Raised frame: five nested one-pixel rectangles, light upper-left edges
    // and dark lower-right edges, fading inwards.
    QPainter p(&buffer);
    for (int k = 0; k < 5; ++k) {
        const QRect e = r.adjusted(k, k, -k, -k);
        if (e.width() < 1 || e.height() < 1)
            break;
        const QColor light(255, 255, 255, RaisedLightAlpha(MagnifierFrameContrast[k]));
        const QColor dark(0, 0, 0, RaisedDarkAlpha(MagnifierFrameContrast[k]));
        p.fillRect(QRect(e.left(), e.top(), e.width(), 1), light);
        p.fillRect(QRect(e.left(), e.top() + 1, 1, e.height() - 1), light);
        p.fillRect(QRect(e.left() + 1, e.bottom(), e.width() - 1, 1), dark);
        p.fillRect(QRect(e.right(), e.top() + 1, 1, e.height() - 2), dark);
    }
}

void ImageView::paintBand(QPainter& painter) const
{
    if (m_areaBandVisible) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::white, 0));
        painter.drawRect(m_areaBand);
        painter.setPen(QPen(Qt::black, 0, Qt::DashLine));
        painter.drawRect(m_areaBand);
    }
    if (m_hasMagnifier && m_magnifierSelected) {
        const QRectF r = bandViewRect();
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Qt::white, 0));
        painter.drawRect(r);
        painter.setPen(QPen(Qt::black, 0, Qt::DashLine));
        painter.drawRect(r);
        painter.setPen(QPen(Qt::black, 0));
        painter.setBrush(Qt::white);
        const double hs = HandleSize;
        for (double x : {r.left(), r.center().x(), r.right()})
            for (double y : {r.top(), r.center().y(), r.bottom()})
                if (x != r.center().x() || y != r.center().y())
                    painter.drawRect(QRectF(x - hs / 2, y - hs / 2, hs, hs));
    }
}
