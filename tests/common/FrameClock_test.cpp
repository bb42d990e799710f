#include "common/FrameClock.h"

#include <gtest/gtest.h>

TEST(FrameClock, FrameAndTimeRoundTripExactly)
{
    const FrameClock clocks[] = {
        FrameClock(Rational(1000), -500),
        FrameClock(Rational(2997, 100), 17),
        FrameClock(Rational(1000000), 0),
        FrameClock::FromFramesPerSecond(double(29.97f), 3),
    };
    for (const FrameClock& clock : clocks) {
        for (int64_t frame : {int64_t(-1000000), int64_t(-1), int64_t(0), int64_t(1), int64_t(499),
                              int64_t(123457), int64_t(2000000000)})
            EXPECT_EQ(clock.toFrame(clock.toTime(frame)), frame) << clock.rate().toDouble();
    }
}

TEST(FrameClock, TimeOfFrameCountsFromTimeZeroFrame)
{
    const FrameClock clock(Rational(1000), -500);
    EXPECT_EQ(clock.toTime(-500), Rational(0));
    EXPECT_EQ(clock.toTime(0), Rational(1, 2));
    EXPECT_EQ(clock.toTime(-1000), Rational(-1, 2));
    EXPECT_EQ(clock.interval(), Rational(1, 1000));
}

TEST(FrameClock, TimesBetweenFramesRoundHalfToEven)
{
    const FrameClock clock(Rational(1000), 0);
    EXPECT_EQ(clock.toFrame(Rational(25, 10000)), 2);  // 2.5 frames
    EXPECT_EQ(clock.toFrame(Rational(35, 10000)), 4);  // 3.5 frames
    EXPECT_EQ(clock.toFrame(Rational(-25, 10000)), -2);
    EXPECT_EQ(clock.toFrame(Rational(26, 10000)), 3);
}

TEST(FrameClock, WithoutRateEveryTimeIsTheTimeZeroFrame)
{
    const FrameClock clock = FrameClock::FromFramesPerSecond(0.0, 7);
    EXPECT_FALSE(clock.isValid());
    EXPECT_EQ(clock.toFrame(Rational(5)), 7);
    EXPECT_EQ(clock.toTime(100), Rational(0));
}

// Stepping the common time one interval at a time visits every frame exactly
// once, forwards and backwards, however many frames and however fast.
TEST(FrameClock, SteppingVisitsEveryFrameOnce)
{
    struct Case { int64_t rate; int64_t frames; };
    for (const Case c : {Case{10000, 100000}, Case{1000000, 1000000}}) {
        const FrameClock clock(Rational(c.rate), 0);
        const Rational step = clock.interval();
        Rational t = clock.toTime(0);
        for (int64_t expected = 0; expected < c.frames; ++expected) {
            ASSERT_EQ(clock.toFrame(t), expected) << "rate " << c.rate;
            t += step;
        }
        t = clock.toTime(c.frames - 1);
        for (int64_t expected = c.frames - 1; expected >= 0; --expected) {
            ASSERT_EQ(clock.toFrame(t), expected) << "rate " << c.rate;
            t -= step;
        }
    }
}

// Two recordings of different rates on one axis stepped by the smaller
// interval: the faster one moves one frame a step, the slower one never
// skips or goes back, and both sit exactly on their frames' times.
TEST(FrameClock, TwoRatesShareOneAxis)
{
    const FrameClock fast(Rational(3000), 0);
    const FrameClock slow(Rational(1000), -100);
    const Rational step = fast.interval();
    Rational t;
    int64_t previousSlow = slow.toFrame(t);
    EXPECT_EQ(previousSlow, -100);
    for (int i = 0; i < 30000; ++i) {
        ASSERT_EQ(fast.toFrame(t), i);
        const int64_t s = slow.toFrame(t);
        ASSERT_TRUE(s == previousSlow || s == previousSlow + 1) << "step " << i;
        if (i % 3 == 0)
            ASSERT_EQ(slow.toTime(s), t) << "step " << i;
        previousSlow = s;
        t += step;
    }
    EXPECT_EQ(previousSlow, 10000 - 100);
}
