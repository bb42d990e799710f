#include "common/Rational.h"

#include <gtest/gtest.h>

#include <limits>

TEST(Rational, KeepsFractionsReducedWithPositiveDenominator)
{
    const Rational r(6, -4);
    EXPECT_EQ(r.num(), -3);
    EXPECT_EQ(r.den(), 2);
    EXPECT_EQ(Rational(5, 0), Rational(0));
}

TEST(Rational, ArithmeticIsExact)
{
    const Rational tenth(1, 10);
    Rational sum;
    for (int i = 0; i < 10; ++i)
        sum += tenth;
    EXPECT_EQ(sum, Rational(1));
    EXPECT_EQ(Rational(1, 3) + Rational(1, 6), Rational(1, 2));
    EXPECT_EQ(Rational(1, 3) - Rational(1, 2), Rational(-1, 6));
    EXPECT_EQ(Rational(2, 3) * Rational(9, 4), Rational(3, 2));
    EXPECT_EQ(Rational(2, 3) / Rational(4, 9), Rational(3, 2));
    EXPECT_EQ(Rational(2, 3) / Rational(0), Rational(0));
    EXPECT_LT(Rational(1, 3), Rational(334, 1000));
    EXPECT_GT(Rational(-1, 3), Rational(-334, 1000));
}

TEST(Rational, RoundsHalfToEvenAndFloors)
{
    struct Case { int64_t n, d, round, floor; };
    const Case cases[] = {
        {5, 2, 2, 2}, {7, 2, 4, 3}, {-5, 2, -2, -3}, {-7, 2, -4, -4},
        {1, 3, 0, 0}, {2, 3, 1, 0}, {-1, 3, 0, -1}, {-2, 3, -1, -1}, {9, 1, 9, 9},
    };
    for (const Case& c : cases) {
        const Rational r(c.n, c.d);
        EXPECT_EQ(r.roundHalfEven(), c.round) << c.n << "/" << c.d;
        EXPECT_EQ(r.floor(), c.floor) << c.n << "/" << c.d;
    }
}

TEST(Rational, ResultsBeyondSixtyFourBitsStayClose)
{
    const int64_t big = std::numeric_limits<int64_t>::max() / 3;
    const Rational a(big, big - 1);
    const Rational b(big - 2, big - 3);
    const Rational product = a * b; // parts need about 124 bits
    EXPECT_NEAR(product.toDouble(), a.toDouble() * b.toDouble(), 1e-15);
    const Rational huge = Rational(big) * Rational(big);
    EXPECT_EQ(huge, Rational(std::numeric_limits<int64_t>::max()));
    EXPECT_EQ(-huge, Rational(-std::numeric_limits<int64_t>::max()));
}

TEST(Rational, FrameRatesFromFilesBecomeExact)
{
    struct Case { double fps; int64_t num, den; };
    const Case cases[] = {
        {1000.0, 1000, 1},
        {double(29.97f), 2997, 100},
        {1.0 / double(1.0f / 3000.0f), 3000, 1},
        {1000000.0, 1000000, 1},
        {0.5, 1, 2},
    };
    for (const Case& c : cases) {
        const auto r = ExactFrameRate(c.fps);
        ASSERT_TRUE(r.has_value()) << c.fps;
        EXPECT_EQ(r->num(), c.num) << c.fps;
        EXPECT_EQ(r->den(), c.den) << c.fps;
    }
    EXPECT_FALSE(ExactFrameRate(0.0).has_value());
    EXPECT_FALSE(ExactFrameRate(-25.0).has_value());
    EXPECT_FALSE(ExactFrameRate(0.0001).has_value());
    EXPECT_FALSE(ExactFrameRate(std::numeric_limits<double>::infinity()).has_value());
    EXPECT_FALSE(ExactFrameRate(std::numeric_limits<double>::quiet_NaN()).has_value());
}
