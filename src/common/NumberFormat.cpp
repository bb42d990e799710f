#include "common/NumberFormat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace {

// A finite number as sign, significant digits and the decimal exponent of
// the first digit: -0.0125 is {true, "125", -2}.
struct Decimal {
    bool negative = false;
    char digits[40] = {};
    int count = 0;
    int exponent = 0;
};

// Splits std::to_chars' scientific text ("-1.25e-02") into a Decimal.
Decimal splitScientific(const char* text, const char* end)
{
    Decimal d;
    const char* p = text;
    if (*p == '-') {
        d.negative = true;
        ++p;
    }
    for (; p < end && *p != 'e'; ++p)
        if (*p != '.' && d.count < int(sizeof d.digits))
            d.digits[d.count++] = *p;
    if (p < end)
        std::from_chars(p + (p[1] == '+' ? 2 : 1), end, d.exponent);
    return d;
}

void dropTrailingZeros(Decimal& d)
{
    while (d.count > 1 && d.digits[d.count - 1] == '0')
        --d.count;
}

bool isZero(const Decimal& d)
{
    return d.count == 1 && d.digits[0] == '0';
}

// The digits of `value` rounded to p significant digits.
Decimal roundedDouble(double value, int significantDigits)
{
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific,
                                 std::clamp(significantDigits, 1, 30) - 1);
    return splitScientific(buffer, r.ptr);
}

// The fewest digits of `value` that read back as the same double / single.
template <typename Real>
Decimal shortest(Real value)
{
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    Decimal d = splitScientific(buffer, r.ptr);
    dropTrailingZeros(d);
    return d;
}

// Plain notation with exactly `decimals` decimals; digits past the given
// ones are zeros. Returns the end of the text.
char* writePlain(char* out, const Decimal& d, int decimals)
{
    if (d.negative && !isZero(d))
        *out++ = '-';
    auto digitAt = [&](int position) { // position 0 is the first digit's place
        return position >= 0 && position < d.count ? d.digits[position] : '0';
    };
    if (d.exponent < 0 || isZero(d)) {
        *out++ = '0';
    } else {
        for (int i = 0; i <= d.exponent; ++i)
            *out++ = digitAt(i);
    }
    if (decimals > 0) {
        *out++ = '.';
        for (int j = 1; j <= decimals; ++j)
            *out++ = isZero(d) ? '0' : digitAt(d.exponent + j);
    }
    return out;
}

// Exponent form with the digits as given: "-1.25E-02".
char* writeExponent(char* out, const Decimal& d)
{
    if (d.negative && !isZero(d))
        *out++ = '-';
    *out++ = d.digits[0];
    if (d.count > 1) {
        *out++ = '.';
        for (int i = 1; i < d.count; ++i)
            *out++ = d.digits[i];
    }
    *out++ = 'E';
    const int e = isZero(d) ? 0 : d.exponent;
    *out++ = e < 0 ? '-' : '+';
    const int magnitude = e < 0 ? -e : e;
    if (magnitude < 10)
        *out++ = '0';
    return std::to_chars(out, out + 8, magnitude).ptr;
}

// Fraction digits that the digits of d need in plain notation.
int neededDecimals(const Decimal& d)
{
    return isZero(d) ? 0 : std::max(0, d.count - 1 - d.exponent);
}

QString nonFinite(double value)
{
    return std::isnan(value) ? QStringLiteral("NAN") : (value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF"));
}

QString latin1(const char* begin, const char* end)
{
    return QString::fromLatin1(begin, qsizetype(end - begin));
}

// Plain when the exponent is in -5 .. maxExponent, else exponent form; no
// trailing zeros either way.
QString generalText(Decimal d, int maxExponent)
{
    dropTrailingZeros(d);
    char buffer[128];
    char* end = (isZero(d) || (d.exponent >= -5 && d.exponent <= maxExponent))
        ? writePlain(buffer, d, neededDecimals(d))
        : writeExponent(buffer, d);
    return latin1(buffer, end);
}

} // namespace

QString FormatExponent(double value, int significantDigits)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    const Decimal d = roundedDouble(value, significantDigits);
    char buffer[64];
    return latin1(buffer, writeExponent(buffer, d));
}

QString FormatFixed(double value, int significantDigits, int decimals)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    const int p = std::clamp(significantDigits, 1, 30);
    const int n = std::clamp(decimals, 0, 60);
    const Decimal rounded = roundedDouble(value, p);
    if (!isZero(rounded) && rounded.exponent + 1 > p) {
        char buffer[64];
        return latin1(buffer, writeExponent(buffer, rounded));
    }
    std::string text(size_t(p + n + 8), '\0');
    char* end;
    if (isZero(rounded) || p - 1 - rounded.exponent >= n) {
        // The decimals run out before the significant digits do: one
        // rounding, at the last decimal.
        char buffer[400];
        const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, n);
        // "-0.00" reads as zero.
        const bool allZero = std::all_of(buffer, r.ptr, [](char c) { return c == '-' || c == '0' || c == '.'; });
        const char* begin = (allZero && buffer[0] == '-') ? buffer + 1 : buffer;
        return latin1(begin, r.ptr);
    }
    // The significant digits run out first: the rounded digits, then zeros.
    end = writePlain(text.data(), rounded, n);
    return latin1(text.data(), end);
}

QString FormatShortest(double value)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    const Decimal d = shortest(value);
    // Plain notation for everything a person would write plainly ("500",
    // "0.001", "123456789012345"); exponent form only for very large or very
    // small magnitudes.
    char buffer[64];
    if (!isZero(d) && (d.exponent < -5 || d.exponent > 14))
        return latin1(buffer, writeExponent(buffer, d));
    return latin1(buffer, writePlain(buffer, d, neededDecimals(d)));
}

QString FormatGeneral(double value, int significantDigits)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    const int p = std::clamp(significantDigits, 1, 30);
    return generalText(roundedDouble(value, p), p - 1);
}

int WriteSingleFixed(char* out, float value, int minDecimals, int maxIntegerDigits)
{
    if (!std::isfinite(value)) {
        const char* text = std::isnan(value) ? "NAN" : (value > 0 ? "INF" : "-INF");
        const int length = int(std::char_traits<char>::length(text));
        std::copy(text, text + length, out);
        return length;
    }
    const Decimal d = shortest(value);
    if (!isZero(d) && d.exponent + 1 > std::clamp(maxIntegerDigits, 1, 39))
        return int(writeExponent(out, d) - out);
    // A single has at most 9 significant digits and its smallest value sits
    // 45 places after the point, so the text stays within the capacity.
    const int decimals = std::max(std::clamp(minDecimals, 0, 9), neededDecimals(d));
    return int(writePlain(out, d, decimals) - out);
}

QString FormatSingleFixed(float value, int minDecimals, int maxIntegerDigits)
{
    char buffer[kSingleTextCapacity];
    return QString::fromLatin1(buffer, WriteSingleFixed(buffer, value, minDecimals, maxIntegerDigits));
}

QString FormatSingleGeneral(float value)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    return generalText(shortest(value), 8);
}
