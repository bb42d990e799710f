#pragma once
// Rounding used throughout the program: Round is round-half-to-even,
// Trunc truncates toward zero.

#include <cmath>
#include <cstdint>

inline int64_t Round(double value)
{
    // nearbyint rounds half to even in the default floating-point mode.
    return static_cast<int64_t>(std::nearbyint(value));
}

inline int64_t Trunc(double value)
{
    return static_cast<int64_t>(std::trunc(value));
}
