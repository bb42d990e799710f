#include "adjust/ImageTurns.h"

#include "common/Frame.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

void SwapPixels(uint8_t* a, uint8_t* b)
{
    std::swap(a[0], b[0]);
    std::swap(a[1], b[1]);
    std::swap(a[2], b[2]);
}

void MirrorTopToBottom(Frame& frame)
{
    const size_t rowBytes = size_t(frame.width()) * 3;
    for (int top = 0, bottom = frame.height() - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(frame.row(top), frame.row(top) + rowBytes, frame.row(bottom));
}

void MirrorLeftToRight(Frame& frame)
{
    for (int y = 0; y < frame.height(); ++y)
        for (int left = 0, right = frame.width() - 1; left < right; ++left, --right)
            SwapPixels(frame.pixel(left, y), frame.pixel(right, y));
}

// Half turn in one pass: (x, y) swaps with (W − 1 − x, H − 1 − y).
void HalfTurn(Frame& frame)
{
    const int w = frame.width();
    const int h = frame.height();
    for (int y = 0; y < (h + 1) / 2; ++y) {
        const int oy = h - 1 - y;
        const int xEnd = y == oy ? w / 2 : w;
        for (int x = 0; x < xEnd; ++x)
            SwapPixels(frame.pixel(x, y), frame.pixel(w - 1 - x, oy));
    }
}

// Quarter turn clockwise: source (x, y) goes to (H − 1 − y, x).
// `clockwise` false gives the counter-clockwise turn: (x, y) → (y, W − 1 − x).
// The turned picture is built in `turned`, which then swaps with `frame`.
void QuarterTurn(Frame& frame, bool clockwise, Frame& turned)
{
    const int w = frame.width();
    const int h = frame.height();
    turned.resize(h, w);
    // Square tiles keep both the rows read and the columns written in cache.
    constexpr int kTile = 32;
    for (int y0 = 0; y0 < h; y0 += kTile) {
        const int y1 = std::min(h, y0 + kTile);
        for (int x0 = 0; x0 < w; x0 += kTile) {
            const int x1 = std::min(w, x0 + kTile);
            for (int y = y0; y < y1; ++y) {
                const uint8_t* src = frame.pixel(x0, y);
                for (int x = x0; x < x1; ++x, src += 3) {
                    uint8_t* dst = clockwise ? turned.pixel(h - 1 - y, x) : turned.pixel(y, w - 1 - x);
                    dst[0] = src[0];
                    dst[1] = src[1];
                    dst[2] = src[2];
                }
            }
        }
    }
    std::swap(frame, turned);
}

} // namespace

bool ILRotate(Frame& frame, int angle)
{
    Frame scratch;
    return ILRotate(frame, angle, scratch);
}

bool ILRotate(Frame& frame, int angle, Frame& scratch)
{
    if (frame.isEmpty())
        return false;
    switch (angle) {
    case 90:
        QuarterTurn(frame, true, scratch);
        return true;
    case 180:
        HalfTurn(frame);
        return true;
    case 270:
        QuarterTurn(frame, false, scratch);
        return true;
    default:
        return false;
    }
}

void ILMirror(Frame& frame, bool topToBottom, bool leftToRight)
{
    if (topToBottom)
        MirrorTopToBottom(frame);
    if (leftToRight)
        MirrorLeftToRight(frame);
}

void ApplyRotateMirror(Frame& frame, int mirrorCode, int turnCode)
{
    if (frame.isEmpty())
        return;
    switch (turnCode) {
    // A half turn followed by a quarter turn is three quarter turns; done as
    // one counter-clockwise quarter turn, which gives the same pixels.
    case 1: ILRotate(frame, 270); break;
    case 2: ILRotate(frame, 90); break;
    case 3: ILRotate(frame, 180); break;
    default: break;
    }
    // The mirror is chosen looking at the turned picture, so it acts on it:
    // "top to bottom" stays top to bottom on screen whatever the turn.
    switch (mirrorCode) {
    case 1: ILMirror(frame, true, false); break;
    case 2: ILMirror(frame, false, true); break;
    case 3: ILMirror(frame, true, true); break;
    default: break;
    }
}

QSize RotateMirrorSize(QSize before, int turnCode)
{
    return turnCode == 1 || turnCode == 2 ? before.transposed() : before;
}

QPoint RotateMirrorSourcePixel(QPoint shown, QSize before, int mirrorCode, int turnCode)
{
    const int w = before.width();
    const int h = before.height();
    const QSize turned = RotateMirrorSize(before, turnCode);
    // Undo the mirror first (it came last), in the turned frame.
    int sx = shown.x();
    int sy = shown.y();
    if (mirrorCode == 1 || mirrorCode == 3)
        sy = turned.height() - 1 - sy;
    if (mirrorCode == 2 || mirrorCode == 3)
        sx = turned.width() - 1 - sx;
    // Then the turn, back into the frame of size w × h.
    int x = sx;
    int y = sy;
    switch (turnCode) {
    case 1: // counter-clockwise quarter: (x, y) went to (y, w − 1 − x)
        x = w - 1 - sy;
        y = sx;
        break;
    case 2: // clockwise quarter: (x, y) went to (h − 1 − y, x)
        x = sy;
        y = h - 1 - sx;
        break;
    case 3:
        x = w - 1 - sx;
        y = h - 1 - sy;
        break;
    default: break;
    }
    return {x, y};
}
