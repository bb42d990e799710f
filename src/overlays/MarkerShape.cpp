#include "overlays/MarkerShape.h"

#include <algorithm>

namespace {

void AddOutline(std::vector<QLine>& lines, int x, int y, int w, int h)
{
    const QPoint corners[] = {{x, y}, {x + w - 1, y}, {x + w - 1, y + h - 1}, {x, y + h - 1}};
    for (int i = 0; i < 4; ++i)
        lines.emplace_back(corners[i], corners[(i + 1) % 4]);
}

} // namespace

MarkerShapeDrawing MarkerShapeLayout(TNUVShapeType shape, QSize controlSize, int penWidth)
{
    const int p = std::max(penWidth, 0);
    int x = p / 2;
    int y = p / 2;
    int w = controlSize.width() - p + 1;
    int h = controlSize.height() - p + 1;
    if (p == 0) {
        --w;
        --h;
    }
    const int s = std::min(w, h);
    if (shape == stSquare || shape == stRoundSquare || shape == stCircle) {
        x += (w - s) / 2;
        y += (h - s) / 2;
        w = h = s;
    }

    MarkerShapeDrawing d;
    d.box = QRect(x, y, w, h);
    switch (shape) {
    case stRectangle:
    case stSquare:
    case stMPLost:
        AddOutline(d.lines, x, y, w, h);
        break;
    case stRoundRect:
    case stRoundSquare:
        // The corners are quarter ellipses S / 4 wide and high.
        d.filled.addRoundedRect(QRectF(x, y, w, h), (s / 4) / 2.0, (s / 4) / 2.0);
        break;
    case stEllipse:
    case stCircle:
        d.filled.addEllipse(QRectF(x, y, w, h));
        break;
    case stCross:
        d.filled.addEllipse(QRectF(QPointF(x + w / 4, y + h / 4), QPointF(x + w - w / 4, y + h - h / 4)));
        d.lines.emplace_back(x - w, y + h / 2, x + w, y + h / 2);
        d.lines.emplace_back(x + w / 2, y - h, x + w / 2, y + h);
        break;
    case stMPconfirm:
        d.lines.emplace_back(x, y, x + w, y + h);
        d.lines.emplace_back(x + w, y, x, y + h);
        break;
    case stMPUnconfirm:
        AddOutline(d.lines, x, y, w, h);
        d.lines.emplace_back(x + w / 2, y, x + w / 2, y + h);
        d.lines.emplace_back(x, y + h / 2, x + w, y + h / 2);
        break;
    case stMPVanish:
        d.lines.emplace_back(x, y, x + w / 2, y + h);
        d.lines.emplace_back(x + w / 2, y + h, x + w, y);
        break;
    case stDefault:
        break;
    }
    return d;
}
