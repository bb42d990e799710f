#pragma once
// The display filters behind the contrast, colour balance, hue/saturation
// and logo entries. They keep the names and argument orders the adjustment
// list has always called them by; each works on the frame in place, keeps
// its size, is the identity when its amounts are 0, and clamps results to
// 0..255 (never wraps).

#include "adjust/ByteTables.h"

#include <cstdint>

class Frame;

// Contrast about mid-grey, amount −150..150 (clamped), 0 = no change.
// The amount is scaled to C = amount × 255 / 150 in −255..255 and used in the
// usual contrast-correction gain F = 259 (C + 255) / (255 (259 − C)):
//   v' = clamp(Round(F × (v − 127.5) + 127.5), 0, 255).
// −150 flattens the frame to grey, +150 is close to a threshold at mid-grey.
void NVIM_Contrast(Frame& frame, int32_t amount);
ByteTable ContrastTable(int32_t amount);

// Colour balance: one gain per channel, each amount −150..150 (clamped):
//   v' = clamp(Round(v × (150 + amount) / 150), 0, 255),
// so −150 removes the channel, 0 keeps it, +150 doubles it. Black stays black,
// as with a white-balance correction.
void NVIM_WorkOutColours(int32_t red, int32_t green, int32_t blue, Frame& frame);
ByteTable ColourGainTable(int32_t amount);

// Hue, saturation and value in the HSV model (V = max, S = (max − min) / max):
// the hue turns by `hue` degrees (−180..180 from the frame; any angle works),
// S is scaled by (1 + saturation / 100) and V by (1 + value / 100), both
// clamped to their range; saturation and value are clamped to −100..100.
// Grey pixels stay grey. All zeros leave the frame unchanged.
void NVIM_RGBBitmapToHSV(Frame& frame, int32_t hue, int32_t saturation, int32_t value);

// How a logo is drawn over the frame (the logo frame's "Overlay Method").
enum OverlayMethod : int32_t {
    OverlayHatch = 0,   // every other logo pixel, in a checkerboard, lets the frame show through
    OverlaySolid = 1,   // the logo replaces the frame
    OverlayAverage = 2, // (frame + logo + 1) / 2 per byte
    OverlayAnd = 3,     // frame AND logo per byte (a white logo background vanishes)
    OverlayOr = 4,      // frame OR logo per byte (a black logo background vanishes)
};

// Draws `logo` with its top-left corner at (x, y) of the frame. Only the part
// inside the frame is drawn, so positions may be negative or beyond the
// frame. Unknown modes draw nothing.
void NVIM_OverlayEarImage(Frame& frame, const Frame& logo, int32_t x, int32_t y, int32_t mode);
