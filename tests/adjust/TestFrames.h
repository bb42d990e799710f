#pragma once
// Frames for the adjustment tests.

#include "common/Frame.h"

#include <cstdint>
#include <random>

// Every byte random (fixed seed), so every value 0..255 occurs in every channel.
inline Frame RandomFrame(int width, int height, unsigned seed = 1)
{
    Frame frame(width, height);
    std::mt19937 rng(seed);
    for (int y = 0; y < height; ++y) {
        uint8_t* p = frame.row(y);
        for (int x = 0; x < 3 * width; ++x)
            p[x] = uint8_t(rng() & 0xFF);
    }
    return frame;
}

inline Frame SolidFrame(int width, int height, uint8_t blue, uint8_t green, uint8_t red)
{
    Frame frame(width, height);
    frame.fill(blue, green, red);
    return frame;
}

struct Bgr {
    int b, g, r;
    bool operator==(const Bgr&) const = default;
};

inline Bgr PixelAt(const Frame& frame, int x, int y)
{
    const uint8_t* p = frame.pixel(x, y);
    return {p[0], p[1], p[2]};
}

inline void SetPixel(Frame& frame, int x, int y, Bgr c)
{
    uint8_t* p = frame.pixel(x, y);
    p[0] = uint8_t(c.b);
    p[1] = uint8_t(c.g);
    p[2] = uint8_t(c.r);
}
