#include "adjust/TextDrawing.h"

#include "adjust/AdjustmentEntry.h"
#include "common/Frame.h"
#include "common/Rounding.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

// Character cells taller than this are not useful on any frame and only
// make the font engine work hard.
constexpr int kMaxCellHeight = 4096;

// Qt sizes fonts by their em height; annotations are sized by the whole
// character cell, which is somewhat taller. Scale the em size so that
// ascent + descent comes out at the requested cell height.
QFont FontWithCellHeight(QFont font, int cellHeight)
{
    font.setPixelSize(cellHeight);
    const QFontMetricsF metrics(font);
    const double cell = metrics.ascent() + metrics.descent();
    if (cell > 0.0)
        font.setPixelSize(int(std::max<int64_t>(1, Round(cellHeight * double(cellHeight) / cell))));
    return font;
}

QColor ColourFromBgr(unsigned colour)
{
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

} // namespace

void DrawRotatedText(QPainter& painter, int x, int y, bool opaque, float angle, const QString& text)
{
    if (text.isEmpty() || !std::isfinite(angle))
        return;
    painter.save();
    const QFont saved = painter.font();
    int cellHeight = saved.pixelSize();
    if (cellHeight <= 0)
        cellHeight = int(std::lround(saved.pointSizeF()));
    cellHeight = std::clamp(cellHeight, 1, kMaxCellHeight);
    const QFont font = FontWithCellHeight(saved, cellHeight);
    painter.setFont(font);

    const QBrush background = opaque ? QBrush(Qt::white) : painter.brush();
    const QFontMetricsF metrics(font);

    // Tenths of a degree, like a rotated font's escapement. Qt's y axis
    // points down, so a counter-clockwise turn on screen is a negative angle.
    const double tenths = double(Round(double(angle) * 10.0));
    painter.translate(x, y);
    painter.rotate(-std::fmod(tenths, 3600.0) / 10.0);
    if (background.style() != Qt::NoBrush)
        painter.fillRect(QRectF(0.0, 0.0, metrics.horizontalAdvance(text), metrics.ascent() + metrics.descent()),
                         background.color());
    painter.drawText(QPointF(0.0, metrics.ascent()), text);
    painter.restore();
}

QFont AnnotationFont(const AnnotationEntry& entry)
{
    QFont font(entry.AnnFontName);
    font.setBold(entry.AnnFontBold);
    font.setItalic(entry.AnnFontItalic);
    font.setUnderline(entry.AnnFontUnderline);
    font.setStrikeOut(entry.AnnFontStrikeOut);
    const int64_t size = std::abs(int64_t(entry.AnnFontSize));
    font.setPixelSize(int(std::clamp<int64_t>(size == 0 ? 12 : size, 1, kMaxCellHeight)));
    return font;
}

void DrawTextEntry(Frame& frame, const AnnotationEntry& entry)
{
    if (frame.isEmpty() || entry.AnnDrawText.isEmpty())
        return;
    // Fonts live in the GUI application; a console tool without one gets
    // frames without text rather than a crash.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return;

    QImage image = frame.wrapAsImage();
    QPainter painter(&image);
    painter.setFont(AnnotationFont(entry));
    painter.setPen(ColourFromBgr(entry.AnnFontColour));
    switch (entry.AnnBackground) {
    case 1: painter.setBrush(Qt::black); break;
    case 2: painter.setBrush(Qt::white); break;
    default: painter.setBrush(Qt::NoBrush); break;
    }
    DrawRotatedText(painter, entry.AnnX, entry.AnnY, false, float(entry.AnnAngle), entry.AnnDrawText);
}
