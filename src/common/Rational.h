#pragma once
// An exact fraction of two 64-bit integers, always reduced, with a positive
// denominator. Times are kept as Rational seconds so that stepping, comparing
// and converting between frames and times never drifts: a frame's time is
// (frame − time-zero frame) / rate with an exact rate.
//
// Arithmetic is done in 128 bits and reduced. A result whose reduced
// numerator or denominator does not fit 64 bits (far beyond any recording)
// is rounded to the nearest fraction with the largest denominator that fits.

#include <cstdint>
#include <optional>
#include <type_traits>

class Rational {
public:
    constexpr Rational() = default;
    constexpr Rational(int64_t whole) : m_num(whole) {} // NOLINT: an integer is a fraction
    // A zero denominator gives 0.
    Rational(int64_t numerator, int64_t denominator);
    // Floating-point values are never taken silently; see ExactFrameRate.
    template <typename F, std::enable_if_t<std::is_floating_point_v<F>, int> = 0>
    Rational(F) = delete;

    int64_t num() const { return m_num; }
    int64_t den() const { return m_den; }

    double toDouble() const { return double(m_num) / double(m_den); }

    // Nearest integer, halves to even (the program's Round).
    int64_t roundHalfEven() const;
    // Largest integer not above the value.
    int64_t floor() const;

    // The reciprocal; 0 stays 0.
    Rational inverse() const;

    friend Rational operator+(const Rational& a, const Rational& b);
    friend Rational operator-(const Rational& a, const Rational& b);
    friend Rational operator*(const Rational& a, const Rational& b);
    // Division by zero gives 0.
    friend Rational operator/(const Rational& a, const Rational& b);
    Rational operator-() const;
    Rational& operator+=(const Rational& o) { return *this = *this + o; }
    Rational& operator-=(const Rational& o) { return *this = *this - o; }

    // Both are reduced, so equal values have equal parts.
    friend bool operator==(const Rational& a, const Rational& b) { return a.m_num == b.m_num && a.m_den == b.m_den; }
    friend bool operator!=(const Rational& a, const Rational& b) { return !(a == b); }
    friend bool operator<(const Rational& a, const Rational& b) { return compare(a, b) < 0; }
    friend bool operator>(const Rational& a, const Rational& b) { return compare(a, b) > 0; }
    friend bool operator<=(const Rational& a, const Rational& b) { return compare(a, b) <= 0; }
    friend bool operator>=(const Rational& a, const Rational& b) { return compare(a, b) >= 0; }

private:
    // −1, 0 or 1.
    static int compare(const Rational& a, const Rational& b);
    static Rational fromWide(__int128 num, __int128 den);

    int64_t m_num = 0;
    int64_t m_den = 1;
};

// A frame rate as a file stores it (a single-precision or integer number of
// frames per second), made exact once: the value is rounded to the nearest
// thousandth of a frame per second and reduced, so 1000 gives 1000/1, 29.97
// gives 2997/100 and 1 / (float)(1 / 3000.0) gives 3000/1. Nothing for a
// rate that is not a positive finite number, or that rounds to zero.
std::optional<Rational> ExactFrameRate(double framesPerSecond);
