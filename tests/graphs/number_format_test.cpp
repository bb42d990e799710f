// The shared number texts: fixed, general and round-trip forms.

#include "common/NumberFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(NumberFormat, FixedRoundsOnceAtWhicheverLimitComesFirst)
{
    struct Case {
        double value;
        int digits;
        int decimals;
        const char* text;
    };
    const Case cases[] = {
        {double(9.3586855f), 7, 5, "9.35869"}, // rounded at the fifth decimal, not first at 7 digits
        {1.5, 7, 5, "1.50000"},
        {0.00005, 7, 5, "0.00005"},
        {0.000001234, 7, 5, "0.00000"},
        {-0.000001, 7, 5, "0.00000"},
        {12345.678901, 7, 5, "12345.68000"},
        {1234567.4, 7, 2, "1234567.00"},
        {12345678.0, 7, 2, "1.234568E+07"},
        {-12345678.0, 7, 5, "-1.234568E+07"},
        {9.9999999, 7, 5, "10.00000"},
        {0.0, 7, 3, "0.000"},
        {2.0 / 3.0, 7, 3, "0.667"},
        {1234.5678, 5, 2, "1234.60"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatFixed(c.value, c.digits, c.decimals).toStdString(), c.text) << c.value;
}

TEST(NumberFormat, GeneralWritesPlainDigitsDownToTheFifthDecimalPlace)
{
    struct Case {
        double value;
        int digits;
        const char* text;
    };
    const Case cases[] = {
        {0.00005, 4, "0.00005"}, // not 5E-05
        {0.00001, 9, "0.00001"},
        {0.0000123456, 4, "0.00001235"},
        {0.000009, 4, "9E-06"},
        {-1e-7, 4, "-1E-07"},
        {1.23456, 4, "1.235"},
        {1234.0, 4, "1234"},
        {12346.0, 4, "1.235E+04"},
        {100000.0, 4, "1E+05"},
        {0.0, 4, "0"},
        {-0.0125, 4, "-0.0125"},
        {1.0 / 3.0, 9, "0.333333333"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatGeneral(c.value, c.digits).toStdString(), c.text) << c.value;
}

TEST(NumberFormat, SinglesReadBackExactly)
{
    struct Case {
        float value;
        const char* fixed;   // at least 5 decimals, exponent past 7 integer digits
        const char* general;
    };
    const Case cases[] = {
        {0.001234f, "0.001234", "0.001234"},
        {9.3586855f, "9.3586855", "9.3586855"},
        {-1.2345f, "-1.23450", "-1.2345"},
        {29.97f, "29.97000", "29.97"},
        {0.00005f, "0.00005", "0.00005"},
        {1e-7f, "0.0000001", "1E-07"},
        {12345678.0f, "1.2345678E+07", "12345678"},
        {1.5e9f, "1.5E+09", "1.5E+09"},
        {0.0f, "0.00000", "0"},
        {-0.0f, "0.00000", "0"},
        {std::numeric_limits<float>::max(), "3.4028235E+38", "3.4028235E+38"},
        {std::numeric_limits<float>::denorm_min(), "0.000000000000000000000000000000000000000000001", "1E-45"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatSingleFixed(c.value, 5, 7).toStdString(), c.fixed) << c.value;
        EXPECT_EQ(FormatSingleGeneral(c.value).toStdString(), c.general) << c.value;
    }
    // Every text reads back as its single, over a sweep of magnitudes.
    for (double v = 1e-30; v < 1e30; v *= 1.37) {
        for (float f : {float(v), -float(v), std::nextafter(float(v), 0.0f)}) {
            ASSERT_EQ(FormatSingleFixed(f, 5, 7).toFloat(), f) << v;
            ASSERT_EQ(FormatSingleGeneral(f).toFloat(), f) << v;
        }
    }
}
