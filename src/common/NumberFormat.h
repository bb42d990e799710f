#pragma once
// Numbers written as text: "fixed notation with p significant digits and n
// decimals". The value is first rounded to p significant digits, then printed
// with n decimals; when its integer part needs more than p digits it is
// printed in exponent form instead ("1.234568E+10"). The decimal separator is
// always "." whatever the locale.

#include <QString>

QString FormatFixed(double value, int significantDigits, int decimals);

// Exponent form with p significant digits: "-d.ddddE+NN" (at least two
// exponent digits).
QString FormatExponent(double value, int significantDigits);

// The shortest text that reads back as the same double ("0.001", "1000", "2.5").
QString FormatShortest(double value);

// General format with p significant digits: fixed notation without trailing
// zeros when the exponent is in -5 .. p-1, else exponent form.
QString FormatGeneral(double value, int significantDigits);
