#pragma once
// Frames hold blue, green, red; TIFF and DPX files store red, green, blue.

#include <cstdint>

// Converts `pixels` packed pixels; `bgr` and `rgb` must not overlap.
void BgrToRgb(const uint8_t* bgr, uint8_t* rgb, int pixels);
