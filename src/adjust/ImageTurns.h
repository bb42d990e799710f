#pragma once
// Quarter and half turns and mirrors of 24-bit frames (the rotate/mirror
// entry and the Brava reader's orientation).

#include <QPoint>
#include <QSize>

class Frame;

// Turns the frame by 90 (a quarter turn clockwise, on screen: the top row
// becomes the right column; width and height swap), 180 or 270 degrees
// (270 = three quarter turns = a quarter turn counter-clockwise). Other
// angles and empty frames are left alone; returns whether it turned.
bool ILRotate(Frame& frame, int angle);
// The same with the caller's working frame for the quarter turns, so that a
// reader turning every frame allocates nothing per frame.
bool ILRotate(Frame& frame, int angle, Frame& scratch);

// Mirrors top to bottom and/or left to right.
void ILMirror(Frame& frame, bool topToBottom, bool leftToRight);

// The rotate/mirror entry: mirror code 1 top to bottom, 2 left to right,
// 3 both; turn code 1 a half turn followed by a quarter turn (the inverse of
// code 2), 2 a quarter turn, 3 a half turn. The turn comes first and the
// mirror then acts on the turned picture, as the user sees it. Other codes
// do nothing.
void ApplyRotateMirror(Frame& frame, int mirrorCode, int turnCode);

// The frame's size after a rotate/mirror entry: quarter turns (codes 1 and 2)
// swap width and height.
QSize RotateMirrorSize(QSize before, int turnCode);

// Which pixel of the frame before a rotate/mirror entry (of size `before`)
// the entry moves to pixel `shown`: the inverse of ApplyRotateMirror.
QPoint RotateMirrorSourcePixel(QPoint shown, QSize before, int mirrorCode, int turnCode);
