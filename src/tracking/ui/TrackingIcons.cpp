#include "tracking/ui/TrackingIcons.h"

#include <QPainter>
#include <QPixmap>
#include <QRadialGradient>

namespace {

QPixmap Blank()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

QIcon Letter(const QString& letter, const QColor& colour)
{
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(1, 1, 14, 14), 3, 3);
    QFont font = p.font();
    font.setPixelSize(11);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, letter);
    return QIcon(pixmap);
}

QIcon Spot(bool light)
{
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRect(1, 1, 14, 14), light ? QColor(40, 40, 40) : QColor(220, 220, 220));
    QRadialGradient g(QPointF(8, 8), 6);
    g.setColorAt(0, light ? Qt::white : Qt::black);
    g.setColorAt(1, Qt::transparent);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(QPointF(8, 8), 6, 6);
    return QIcon(pixmap);
}

} // namespace

QIcon TrackingMethodIcon(uint8_t method)
{
    switch (method) {
    case 0: {
        QPixmap pixmap = Blank();
        QPainter p(&pixmap);
        p.fillRect(QRect(1, 1, 7, 7), Qt::black);
        p.fillRect(QRect(8, 1, 7, 7), Qt::white);
        p.fillRect(QRect(1, 8, 7, 7), Qt::white);
        p.fillRect(QRect(8, 8, 7, 7), Qt::black);
        p.setPen(Qt::gray);
        p.drawRect(QRect(1, 1, 13, 13));
        return QIcon(pixmap);
    }
    case 1: return Spot(true);
    case 2: return Spot(false);
    default: return Letter(QStringLiteral("C"), QColor(0, 110, 160));
    }
}

QIcon TrackingModeIcon(uint8_t mode)
{
    switch (mode) {
    case 1: return Letter(QStringLiteral("S"), QColor(200, 120, 0));
    case 2: return Letter(QStringLiteral("M"), QColor(170, 30, 30));
    default: return Letter(QStringLiteral("A"), QColor(0, 130, 0));
    }
}

QIcon TrackingEnabledIcon(bool enabled)
{
    QPixmap pixmap = Blank();
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(enabled ? QColor(0, 140, 0) : QColor(150, 150, 150), 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(8, 8), 5, 5);
    if (enabled) {
        p.setBrush(QColor(0, 140, 0));
        p.drawEllipse(QPointF(8, 8), 2, 2);
    } else {
        p.drawLine(QPointF(4.5, 11.5), QPointF(11.5, 4.5));
    }
    return QIcon(pixmap);
}
