#include "common/Rational.h"

#include <cmath>
#include <limits>

namespace {

using Wide = __int128;

Wide wideAbs(Wide v) { return v < 0 ? -v : v; }

Wide wideGcd(Wide a, Wide b)
{
    a = wideAbs(a);
    b = wideAbs(b);
    while (b != 0) {
        const Wide t = a % b;
        a = b;
        b = t;
    }
    return a;
}

constexpr Wide kMax = std::numeric_limits<int64_t>::max();

bool fits(Wide v) { return v <= kMax && v >= -kMax; }

// Floor division for a positive divisor.
Wide floorDiv(Wide n, Wide d)
{
    Wide q = n / d;
    if ((n % d) != 0 && n < 0)
        --q;
    return q;
}

} // namespace

Rational::Rational(int64_t numerator, int64_t denominator)
{
    *this = fromWide(numerator, denominator);
}

Rational Rational::fromWide(Wide num, Wide den)
{
    Rational r;
    if (den == 0) {
        r.m_num = 0;
        r.m_den = 1;
        return r;
    }
    if (den < 0) {
        num = -num;
        den = -den;
    }
    const Wide g = wideGcd(num, den);
    if (g > 1) {
        num /= g;
        den /= g;
    }
    if (!fits(num) || !fits(den)) {
        // Too large for 64 bits: halve both parts (rounding) until they fit,
        // which keeps the value to within one part in 2^62.
        while (!fits(num) || !fits(den)) {
            if (den == 1) {
                r.m_num = num < 0 ? -int64_t(kMax) : int64_t(kMax);
                return r;
            }
            num = floorDiv(num + 1, 2);
            den = (den + 1) / 2;
        }
        return fromWide(num, den);
    }
    r.m_num = int64_t(num);
    r.m_den = int64_t(den);
    return r;
}

int64_t Rational::floor() const
{
    return int64_t(floorDiv(m_num, m_den));
}

int64_t Rational::roundHalfEven() const
{
    const Wide q = floorDiv(m_num, m_den);
    const Wide rem = Wide(m_num) - q * m_den; // 0 <= rem < den
    const Wide twice = 2 * rem;
    if (twice > m_den || (twice == m_den && (q & 1) != 0))
        return int64_t(q + 1);
    return int64_t(q);
}

Rational Rational::inverse() const
{
    if (m_num == 0)
        return Rational();
    return fromWide(m_den, m_num);
}

Rational Rational::operator-() const
{
    return fromWide(-Wide(m_num), m_den);
}

Rational operator+(const Rational& a, const Rational& b)
{
    if (a.m_den == b.m_den)
        return Rational::fromWide(Wide(a.m_num) + b.m_num, a.m_den);
    return Rational::fromWide(Wide(a.m_num) * b.m_den + Wide(b.m_num) * a.m_den, Wide(a.m_den) * b.m_den);
}

Rational operator-(const Rational& a, const Rational& b)
{
    return a + (-b);
}

Rational operator*(const Rational& a, const Rational& b)
{
    return Rational::fromWide(Wide(a.m_num) * b.m_num, Wide(a.m_den) * b.m_den);
}

Rational operator/(const Rational& a, const Rational& b)
{
    if (b.m_num == 0)
        return Rational();
    return Rational::fromWide(Wide(a.m_num) * b.m_den, Wide(a.m_den) * b.m_num);
}

int Rational::compare(const Rational& a, const Rational& b)
{
    const Wide l = Wide(a.m_num) * b.m_den;
    const Wide r = Wide(b.m_num) * a.m_den;
    return l < r ? -1 : (l > r ? 1 : 0);
}

std::optional<Rational> ExactFrameRate(double framesPerSecond)
{
    if (!std::isfinite(framesPerSecond) || !(framesPerSecond > 0.0))
        return std::nullopt;
    constexpr double kScale = 1000.0;
    const double scaled = std::nearbyint(framesPerSecond * kScale);
    if (!(scaled >= 1.0 && scaled < 9.0e18))
        return std::nullopt;
    return Rational(int64_t(scaled), int64_t(kScale));
}
