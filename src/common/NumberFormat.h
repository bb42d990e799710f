#pragma once
// Numbers written as text. The decimal separator is always "." whatever the
// locale; exponent forms read "-d.dddE+NN" (at least two exponent digits).

#include <QString>

// Fixed notation with p significant digits and n decimals: n decimals, but
// no more digits than p carries (the rest are zeros); when the integer part
// needs more than p digits the value is written in exponent form instead
// ("1.234568E+10"). The value is rounded once, to whichever limit is reached
// first.
QString FormatFixed(double value, int significantDigits, int decimals);

// Exponent form with p significant digits: "-d.ddddE+NN".
QString FormatExponent(double value, int significantDigits);

// The shortest text that reads back as the same double ("0.001", "1000", "2.5").
QString FormatShortest(double value);

// General format with p significant digits: fixed notation without trailing
// zeros when the decimal exponent is in -5 .. p-1 (so 0.00005 stays
// "0.00005"), else exponent form without trailing zeros ("1.5E+07", "9E-06").
QString FormatGeneral(double value, int significantDigits);

// Single-precision values written so that they read back as the same single:
// the fewest significant digits that do (at most 9), never rounded twice.

// Fixed notation with at least `minDecimals` decimals (zeros fill up to
// them), more when the value needs them; exponent form when the integer part
// needs more than `maxIntegerDigits` digits. Writes at most
// kSingleTextCapacity characters to `out` (no terminator) and returns how
// many. For files of many samples: no allocation.
inline constexpr int kSingleTextCapacity = 64;
int WriteSingleFixed(char* out, float value, int minDecimals, int maxIntegerDigits);
QString FormatSingleFixed(float value, int minDecimals, int maxIntegerDigits);

// General format of a single: fixed notation without trailing zeros when the
// decimal exponent is in -5 .. 8, else exponent form ("1.5E+09", "-1E-07").
QString FormatSingleGeneral(float value);
