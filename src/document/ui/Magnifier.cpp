#include "document/ui/Magnifier.h"

#include "common/Rounding.h"
#include "document/ui/OverlayPainter.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

int roundToInt(double v)
{
    return int(Round(std::clamp(v, -1e9, 1e9)));
}

} // namespace

void Magnifier::show(QPointF centre)
{
    m_level = 10;
    m_rect = InitialMagnifierRect(centre);
    m_exists = true;
    m_selected = true;
}

void Magnifier::remove()
{
    m_exists = false;
    m_selected = false;
    m_drag = BandHandle::None;
}

void Magnifier::setLevel(int level)
{
    m_level = std::clamp(level, 0, 50);
}

void Magnifier::setRect(const QRectF& imageRect)
{
    m_rect = imageRect.normalized();
}

void Magnifier::setSelected(bool selected)
{
    m_selected = selected && m_exists;
}

QRect Magnifier::paintedInView(const ViewMapping& map) const
{
    const QRectF r = map.toView(m_rect);
    return QRect(QPoint(roundToInt(r.left()), roundToInt(r.top())),
                 QPoint(roundToInt(r.right()) - 1, roundToInt(r.bottom()) - 1));
}

BandHandle Magnifier::hit(QPointF pos, const ViewMapping& map) const
{
    if (!m_exists)
        return BandHandle::None;
    const QRectF r = bandInView(map);
    if (m_selected) {
        const double tol = BandHandleSize / 2.0 + 1.0;
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
    }
    return r.contains(pos) ? BandHandle::Body : BandHandle::None;
}

void Magnifier::beginDrag(BandHandle handle)
{
    m_drag = handle;
    m_dragStart = m_rect;
}

void Magnifier::dragBy(QPointF delta, bool symmetric)
{
    if (m_drag == BandHandle::None)
        return;
    QRectF moved = DragBand(m_dragStart, m_drag, delta, 1.0);
    if (symmetric && m_drag != BandHandle::Body)
        moved = SymmetricResize(m_dragStart, m_drag, moved);
    setRect(moved);
}

void Magnifier::paint(QImage& buffer, const ViewMapping& map)
{
    if (!m_exists || buffer.isNull())
        return;
    const QRect r = paintedInView(map);
    const QRect visible = r.intersected(buffer.rect());
    if (visible.isEmpty() || r.width() < 1 || r.height() < 1)
        return;
    const double m = MagnifierFactor(m_level);

    // Snapshot of what lies under the magnifier, since the same pixels are
    // overwritten; one pixel more on each side for the linear kernel.
    const QRect srcRect = MagnifierSourceRect(r, m).toAlignedRect().adjusted(-1, -1, 1, 1).intersected(buffer.rect());
    if (srcRect.isEmpty())
        return;
    m_snapshot = buffer.copy(srcRect).convertToFormat(QImage::Format_BGR888);

    // The snapshot's pixel k lands at view c + (srcRect.left + k − c) × m:
    // a magnification by m about the rectangle's centre c.
    const double cx = r.left() + r.width() / 2.0;
    const double cy = r.top() + r.height() / 2.0;
    const ViewResampler::Source src{m_snapshot.constBits(), m_snapshot.width(), m_snapshot.height(),
                                    int(m_snapshot.bytesPerLine())};
    const QRect drawn = m_resampler.Render(src, buffer, visible, m, cx + (srcRect.left() - cx) * m,
                                           cy + (srcRect.top() - cy) * m, ZoomKernel::Linear);
    // Near the view's edges the snapshot may not reach every pixel: leave
    // no stale picture there.
    if (drawn != visible) {
        QPainter fill(&buffer);
        QRegion rest(visible);
        rest -= drawn;
        for (const QRect& part : rest)
            fill.fillRect(part, QColor(ViewBackground));
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
