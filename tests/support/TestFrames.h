#pragma once
// Frames with known pixels for the tests: random, solid, and a pattern
// whose colours follow the frame number and position.

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

inline uint8_t PatternBlue(int n, int x, int) { return uint8_t(n * 7 + x * 3); }
inline uint8_t PatternGreen(int n, int, int y) { return uint8_t(n * 13 + y * 5); }
inline uint8_t PatternRed(int n, int x, int y) { return uint8_t(n + x + 2 * y); }

// Paints pattern frame n into an already sized frame.
inline void PaintPattern(int n, Frame& frame)
{
    for (int y = 0; y < frame.height(); ++y) {
        uint8_t* p = frame.row(y);
        for (int x = 0; x < frame.width(); ++x, p += 3) {
            p[0] = PatternBlue(n, x, y);
            p[1] = PatternGreen(n, x, y);
            p[2] = PatternRed(n, x, y);
        }
    }
}

inline Frame PatternFrame(int n, int width, int height)
{
    Frame frame(width, height);
    PaintPattern(n, frame);
    return frame;
}
