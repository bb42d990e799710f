#include "app/transport/TimeAxis.h"

#include <gtest/gtest.h>

namespace {

Rational ms(int64_t milliseconds) { return Rational(milliseconds, 1000); }

DocumentTimeSpan span(int64_t rate, int timeZero, int first, int last)
{
    return SpanOfRecording(FrameClock(Rational(rate), timeZero), first, last);
}

} // namespace

TEST(TimeAxis, PlayIntervalFromSpeed)
{
    struct Case { int speed; int intervalMs; };
    const Case cases[] = {
        {15, 67}, {1000, 1}, {3, 333}, {1, 1000}, {7, 143}, {400, 2}, {0, 1000}, {-5, 1000}, {5000, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PlayIntervalMs(c.speed), c.intervalMs) << "speed " << c.speed;
}

TEST(TimeAxis, TimeStepIsSmallestIntervalButNeverAboveOne)
{
    EXPECT_EQ(SmallestFrameInterval({}), Rational(1));
    EXPECT_EQ(SmallestFrameInterval({span(1000, 0, 0, 1), span(25, 0, 0, 1)}), ms(1));
    EXPECT_EQ(SmallestFrameInterval({span(25, 0, 0, 1), span(500, 0, 0, 1)}), ms(2));
    EXPECT_EQ(SmallestFrameInterval({SpanOfRecording(FrameClock(Rational(1, 2), 0), 0, 1)}), Rational(1));
    // A recording without a rate must not poison the common step.
    EXPECT_EQ(SmallestFrameInterval({SpanOfRecording(FrameClock(), 0, 1), span(100, 0, 0, 1)}), ms(10));
    EXPECT_EQ(SmallestFrameInterval({span(2997, 0, 0, 1)}), Rational(1, 2997));
}

TEST(TimeAxis, RangeCoversTheOpenDocumentsOnly)
{
    EXPECT_TRUE(RangeOfDocuments({}).IsEmpty());
    const DocumentTimeSpan brava = span(1000, 0, -500, 499);
    TimeRange range = RangeOfDocuments({brava});
    EXPECT_FALSE(range.IsEmpty());
    EXPECT_EQ(range.Start, ms(-500));
    EXPECT_EQ(range.End, ms(499));

    // An AVI exported from those frames (TimeZeroFrame 500) spans the same times.
    const DocumentTimeSpan avi = span(1000, 500, 0, 999);
    EXPECT_EQ(avi.FirstTime, ms(-500));
    EXPECT_EQ(avi.LastTime, ms(499));

    range = RangeOfDocuments({brava, span(100, 0, 0, 10), span(50, 0, 0, 100)});
    EXPECT_EQ(range.Start, ms(-500));
    EXPECT_EQ(range.End, Rational(2));
    // Without the longest one the range narrows again.
    range = RangeOfDocuments({brava, span(100, 0, 0, 10)});
    EXPECT_EQ(range.End, ms(499));
    EXPECT_EQ(range.Clamp(Rational(3)), ms(499));
    EXPECT_EQ(range.Clamp(Rational(-3)), ms(-500));
}

TEST(TimeAxis, SliderReachesTheLastFrame)
{
    const TimeRange range{ms(-500), ms(499), false};
    const SliderValues s = SliderFor(ms(1), range, ms(-100), ms(200), ms(0));
    EXPECT_EQ(s.BegFrame, -500);
    EXPECT_EQ(s.EndFrame, 499);
    EXPECT_EQ(s.SubBegFrame, -100);
    EXPECT_EQ(s.SubEndFrame, 200);
    EXPECT_EQ(s.CurrentFrame, 0);
    EXPECT_EQ(TickToTime(s.EndFrame, ms(1)), range.End);
}

TEST(TimeAxis, TicksRoundHalfToEvenAndSnap)
{
    EXPECT_EQ(TimeToTick(ms(100), ms(1)), 100);
    EXPECT_EQ(TimeToTick(Rational(25, 10000), ms(1)), 2); // exactly half: to even
    EXPECT_EQ(TimeToTick(Rational(35, 10000), ms(1)), 4);
    EXPECT_EQ(TimeToTick(Rational(-5, 2), Rational(1)), -2);
    EXPECT_EQ(TickToTime(100, ms(1)), Rational(1, 10));
    EXPECT_EQ(SnapToStep(Rational(25, 10000), ms(1)), ms(2));
    EXPECT_EQ(TimeToTick(Rational(1), Rational(0)), 0); // no step: a usable tick
}

TEST(TimeAxis, SecondsText)
{
    EXPECT_EQ(FormatSeconds(TickToTime(100, ms(1))), QStringLiteral("0.1000s"));
    EXPECT_EQ(FormatSeconds(ms(-500)), QStringLiteral("-0.5000s"));
    EXPECT_EQ(FormatSeconds(ms(499)), QStringLiteral("0.4990s"));
}
