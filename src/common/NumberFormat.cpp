#include "common/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

QString trimExponent(const char* text)
{
    // printf writes "1.5e+07"; we write "1.5E+07".
    QString s = QString::fromLatin1(text);
    s.replace(QLatin1Char('e'), QLatin1Char('E'));
    return s;
}

} // namespace

QString FormatExponent(double value, int significantDigits)
{
    if (!std::isfinite(value))
        return std::isnan(value) ? QStringLiteral("NAN") : (value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF"));
    const int p = std::max(1, significantDigits);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", p - 1, value);
    return trimExponent(buffer);
}

QString FormatFixed(double value, int significantDigits, int decimals)
{
    if (!std::isfinite(value))
        return FormatExponent(value, significantDigits);
    const int p = std::max(1, significantDigits);
    const int n = std::max(0, decimals);
    if (value == 0.0) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.*f", n, 0.0);
        return QString::fromLatin1(buffer);
    }
    // Round to p significant digits through the exponent printer, which does
    // exact decimal rounding of the binary value.
    char rounded[64];
    std::snprintf(rounded, sizeof rounded, "%.*e", p - 1, value);
    const double r = std::strtod(rounded, nullptr);
    const int exponent = int(std::floor(std::log10(std::fabs(r))));
    if (exponent + 1 > p)
        return trimExponent(rounded);
    char buffer[400];
    std::snprintf(buffer, sizeof buffer, "%.*f", n, r);
    QString s = QString::fromLatin1(buffer);
    if (s.startsWith(QLatin1Char('-'))) {
        // "-0.00" reads as zero.
        bool allZero = true;
        for (int i = 1; i < s.size(); ++i)
            if (s[i] != QLatin1Char('0') && s[i] != QLatin1Char('.'))
                allZero = false;
        if (allZero)
            s.remove(0, 1);
    }
    return s;
}

QString FormatShortest(double value)
{
    if (!std::isfinite(value))
        return FormatExponent(value, 15);
    // Fewest significant digits that read back as the same double.
    char buffer[400];
    int p = 1;
    for (; p <= 17; ++p) {
        std::snprintf(buffer, sizeof buffer, "%.*e", p - 1, value);
        if (std::strtod(buffer, nullptr) == value)
            break;
    }
    p = std::min(p, 17);
    const int exponent = value == 0.0 ? 0 : int(std::strtol(std::strchr(buffer, 'e') + 1, nullptr, 10));
    // Plain notation for everything a person would write plainly ("500",
    // "0.001", "123456789012345"); exponent form only for very large or very
    // small magnitudes.
    if (exponent < -5 || exponent > 14)
        return trimExponent(buffer);
    std::snprintf(buffer, sizeof buffer, "%.*f", std::max(0, p - 1 - exponent), value);
    return QString::fromLatin1(buffer);
}

QString FormatGeneral(double value, int significantDigits)
{
    if (!std::isfinite(value))
        return FormatExponent(value, significantDigits);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*g", std::max(1, significantDigits), value);
    return trimExponent(buffer);
}
