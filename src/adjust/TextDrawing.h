#pragma once
// Text on frames: the annotation and time-stamp entries (kinds 19 and 28).

#include <QString>

class Frame;
class QFont;
class QPainter;
struct AnnotationEntry;

// Writes one line of text with its top-left corner at (x, y), turned about
// that corner by `angle` degrees counter-clockwise, resolved to tenths of a
// degree (Round(angle × 10)). The painter's font gives face and style, its
// pixel size is taken as the height of the character cell (ascent plus
// descent), and its pen the colour. The background follows the painter's
// brush: no brush leaves it transparent, any other brush fills the text cell
// with the brush colour; `opaque` fills it with white. The painter's font and
// brush are given back unchanged.
void DrawRotatedText(QPainter& painter, int x, int y, bool opaque, float angle, const QString& text);

// The font of a text entry: face, bold, italic, underline, strike-out and the
// character-cell height `AnnFontSize` in pixels (its absolute value).
QFont AnnotationFont(const AnnotationEntry& entry);

// Draws a text or time-stamp entry onto the frame: font and colour from the
// entry, background by `AnnBackground` (0 transparent, 1 black, 2 white,
// other values transparent), text `AnnDrawText` at (`AnnX`, `AnnY`) turned by
// `AnnAngle` degrees. Needs a QGuiApplication (fonts); without one it draws
// nothing.
void DrawTextEntry(Frame& frame, const AnnotationEntry& entry);
