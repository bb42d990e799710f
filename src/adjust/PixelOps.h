#pragma once
// The program's own per-pixel operations on 24-bit frames (blue, green, red
// bytes per pixel). All of them keep the frame's size.

#include "adjust/ByteTables.h"

#include <QImage>
#include <cstdint>
#include <vector>

class Frame;

// Adds `offset` to every colour byte, clamping to 0..255.
void AdjustBrightness(Frame& frame, int32_t offset);

// Replaces every colour byte v by Round(v^e × 255 / 255^e), computed in
// double precision, so 0 and 255 are kept. An exponent of 0 leaves the frame
// untouched.
void ApplyGamma(Frame& frame, float exponent);

// The gamma curve as a table (exposed for tests and the histogram preview).
ByteTable GammaTable(float exponent);

// An 8-bit grey image: one byte per pixel, rows packed without padding.
// The values are grey levels 0..254, usable directly as indices of a
// 255-entry grey palette.
struct GreyFrame {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;

    const uint8_t* row(int y) const { return pixels.data() + size_t(y) * size_t(width); }
    // A deep copy as QImage::Format_Grayscale8.
    QImage toImage() const;
};

// The frame as grey levels for the 8-bit exporter: each pixel's level is its
// green byte, clamped to 254 so that it stays inside the 255-entry palette.
GreyFrame ConvertToGrey8(const Frame& frame);
