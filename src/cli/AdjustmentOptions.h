#pragma once
// Display adjustments given on the command line, shared by the commands that
// render frames (frame, export, track):
//   --brightness D            brightness offset, -254..254
//   --contrast A              contrast, -150..150
//   --gamma-slider S          gamma slider 1..19 (exponent (20 - S) / 10; 10 is none)
//   --rgb R,G,B               colour balance, each -150..150
//   --hue-sat H,S             hue -180..180 degrees, saturation -100..100
//   --rotate MIRROR,TURN      mirror 0 none, 1 top-bottom, 2 left-right, 3 both;
//                             turn 0 none, 1 90 degrees, 2 270 degrees, 3 180 degrees
//   --text X,Y,ANGLE,TEXT     text at (X, Y), ANGLE degrees counter-clockwise,
//                             default font; TEXT may contain commas
//   --stamp time-s|time-ms|frame,X,Y[,DECIMALS]
//                             the frame's time in seconds or milliseconds with
//                             DECIMALS decimals (default 3), or its number, at
//                             (X, Y), drawn exactly like --text
//   --logo FILE,CORNER,METHOD,SIZE
//                             an image blended into a corner (tl, tr, bl, br) by
//                             hatch, solid, average, and or or, at SIZE percent
// The entries are appended to the document's list in command-line order,
// which is the order they are applied in.

#include "cli/CliOptions.h"

#include <QString>
#include <QStringList>

class VideoDocument;

// Appends one entry per adjustment option found in `args` (other arguments
// are ignored). On a bad value, a missing value or an option given twice,
// returns false with a one-line message in `error` and leaves the document's
// list unchanged.
bool ParseAdjustmentOptions(const QStringList& args, VideoDocument& doc, QString* error);

// The options above, for a command's option table (each takes a value and
// may repeat; ParseAdjustmentOptions refuses a repeated kind other than text,
// stamps and logos).
const CliOptionTable& AdjustmentOptionTable();
QStringList AdjustmentOptionNames();
