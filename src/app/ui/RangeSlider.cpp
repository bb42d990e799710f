#include "app/ui/RangeSlider.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

constexpr int Margin = 7;       // room for the thumb and markers at the ends
constexpr int GrooveTop = 6;
constexpr int GrooveHeight = 8;
constexpr int MarkerTop = GrooveTop + GrooveHeight + 1;
constexpr double MarkerGrab = 6.0; // horizontal pick distance of a marker

} // namespace

RangeSlider::RangeSlider(QWidget* parent)
    : QWidget(parent)
{
    setMinimumHeight(30);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFocusPolicy(Qt::NoFocus); // arrow keys belong to the window's transport
}

void RangeSlider::setCurrentFrame(int frame) { m_current = frame; update(); }
void RangeSlider::setBegFrame(int frame) { m_beg = frame; update(); }
void RangeSlider::setEndFrame(int frame) { m_end = frame; update(); }
void RangeSlider::setSubBegFrame(int frame) { m_subBeg = frame; update(); }
void RangeSlider::setSubEndFrame(int frame) { m_subEnd = frame; update(); }

int RangeSlider::grooveLeft() const { return Margin; }
int RangeSlider::grooveRight() const { return std::max(Margin + 1, width() - Margin - 1); }

double RangeSlider::xOfFrame(int frame) const
{
    const double span = double(m_end) - m_beg;
    if (span <= 0.0)
        return grooveLeft();
    const double f = std::clamp((double(frame) - m_beg) / span, 0.0, 1.0);
    return grooveLeft() + f * (grooveRight() - grooveLeft());
}

int RangeSlider::frameAtX(double x) const
{
    if (m_end <= m_beg)
        return m_beg;
    const double f = std::clamp((x - grooveLeft()) / double(grooveRight() - grooveLeft()), 0.0, 1.0);
    return int(std::lround(m_beg + f * (double(m_end) - m_beg)));
}

void RangeSlider::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPalette pal = palette();
    const double left = grooveLeft(), right = grooveRight();

    // Groove.
    const QRectF groove(left, GrooveTop, right - left, GrooveHeight);
    p.setPen(QPen(pal.color(QPalette::Mid), 1));
    p.setBrush(pal.color(QPalette::Base));
    p.drawRoundedRect(groove.adjusted(-0.5, 0.5, 0.5, -0.5), 3, 3);

    // Marked sub-range.
    const int subBeg = std::clamp(std::min(m_subBeg, m_subEnd), m_beg, std::max(m_beg, m_end));
    const int subEnd = std::clamp(std::max(m_subBeg, m_subEnd), m_beg, std::max(m_beg, m_end));
    const double xb = xOfFrame(subBeg), xe = xOfFrame(subEnd);
    p.setPen(Qt::NoPen);
    p.setBrush(pal.color(QPalette::Highlight));
    p.drawRect(QRectF(xb, GrooveTop + 1.5, std::max(1.0, xe - xb), GrooveHeight - 3));

    // In and out markers: small flags pointing into the range.
    const QColor markerColour(220, 170, 0);
    p.setBrush(markerColour);
    p.setPen(QPen(markerColour.darker(160), 1));
    QPainterPath in;
    in.moveTo(xb, MarkerTop);
    in.lineTo(xb, MarkerTop + 10);
    in.lineTo(xb + 6, MarkerTop + 10);
    in.closeSubpath();
    QPainterPath out;
    out.moveTo(xe, MarkerTop);
    out.lineTo(xe, MarkerTop + 10);
    out.lineTo(xe - 6, MarkerTop + 10);
    out.closeSubpath();
    p.drawPath(in);
    p.drawPath(out);

    // Position thumb.
    const double xc = xOfFrame(m_current);
    const QRectF thumb(xc - 4, GrooveTop - 4, 8, GrooveHeight + 8);
    p.setPen(QPen(pal.color(QPalette::Dark), 1));
    p.setBrush(isEnabled() ? pal.color(QPalette::Button) : pal.color(QPalette::Window));
    p.drawRoundedRect(thumb, 2, 2);
    p.setPen(QPen(pal.color(QPalette::Dark), 1));
    p.drawLine(QPointF(xc, GrooveTop - 1), QPointF(xc, GrooveTop + GrooveHeight + 1));
}

void RangeSlider::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || m_end < m_beg) {
        event->ignore();
        return;
    }
    const double x = event->position().x();
    const double y = event->position().y();
    m_drag = Drag::Position;
    if (y >= MarkerTop - 1) {
        // Below the groove: the nearer marker, when close enough.
        const double db = std::abs(x - xOfFrame(m_subBeg));
        const double de = std::abs(x - xOfFrame(m_subEnd));
        if (std::min(db, de) <= MarkerGrab)
            m_drag = (db < de || (db == de && x < xOfFrame(m_subBeg))) ? Drag::SubBeg : Drag::SubEnd;
    }
    dragTo(x);
}

void RangeSlider::mouseMoveEvent(QMouseEvent* event)
{
    if (m_drag != Drag::None)
        dragTo(event->position().x());
}

void RangeSlider::mouseReleaseEvent(QMouseEvent*)
{
    m_drag = Drag::None;
}

void RangeSlider::dragTo(double x)
{
    const int frame = frameAtX(x);
    switch (m_drag) {
    case Drag::Position:
        if (frame != m_current) {
            m_current = frame;
            update();
            emit changeFrame(frame);
        }
        break;
    case Drag::SubBeg: {
        const int value = std::min(frame, m_subEnd);
        if (value != m_subBeg) {
            m_subBeg = value;
            update();
            emit changeSubBegFrame(value);
        }
        break;
    }
    case Drag::SubEnd: {
        const int value = std::max(frame, m_subBeg);
        if (value != m_subEnd) {
            m_subEnd = value;
            update();
            emit changeSubEndFrame(value);
        }
        break;
    }
    case Drag::None: break;
    }
}
