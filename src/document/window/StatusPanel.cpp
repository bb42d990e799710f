#include "document/window/StatusPanel.h"

#include <QPainter>
#include <QStyle>
#include <algorithm>

StatusPanel::StatusPanel(const QString& text, int preferredWidth, Room room, QWidget* parent)
    : QLabel(text, parent)
    , m_preferredWidth(preferredWidth)
    , m_room(room)
{
    setFrameShape(QFrame::StyledPanel);
    // The layout may give the panel less than its text: no hard minimum,
    // so that the panel never keeps a width its neighbours were given.
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

// The room around the text: the frame, the margins and 3 pixels each side.
int StatusPanel::chrome() const
{
    const QMargins m = contentsMargins();
    return 2 * frameWidth() + m.left() + m.right() + 6;
}

int StatusPanel::textWidth() const
{
    return fontMetrics().horizontalAdvance(text()) + chrome() + 1;
}

QSize StatusPanel::sizeHint() const
{
    return {std::max(m_preferredWidth, textWidth()), QLabel::sizeHint().height()};
}

QSize StatusPanel::minimumSizeHint() const
{
    const int smallest = fontMetrics().horizontalAdvance(QStringLiteral("…")) + chrome() + 1;
    return {m_room == Shrinks ? smallest : textWidth(), QLabel::minimumSizeHint().height()};
}

QString StatusPanel::shownText() const
{
    const int room = contentsRect().width() - 6;
    return fontMetrics().elidedText(text(), Qt::ElideRight, std::max(room, 0));
}

void StatusPanel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    drawFrame(&painter);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(contentsRect().adjusted(3, 0, -3, 0), Qt::AlignLeft | Qt::AlignVCenter, shownText());
}
