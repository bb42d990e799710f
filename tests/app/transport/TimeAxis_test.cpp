#include "app/transport/TimeAxis.h"

#include <gtest/gtest.h>
#include <cmath>
#include <limits>

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
    EXPECT_FLOAT_EQ(SmallestFrameInterval({}), 1.0f);
    EXPECT_FLOAT_EQ(SmallestFrameInterval({{0.001, 0, 1}, {0.04, 0, 1}}), 0.001f);
    EXPECT_FLOAT_EQ(SmallestFrameInterval({{0.04, 0, 1}, {0.002, 0, 1}}), 0.002f);
    EXPECT_FLOAT_EQ(SmallestFrameInterval({{2.0, 0, 1}}), 1.0f); // 0.5 fps recording
    // A broken frame rate must not poison the common step.
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FLOAT_EQ(SmallestFrameInterval({{inf, 0, 1}, {0.0, 0, 1}, {-1.0, 0, 1}, {0.01, 0, 1}}), 0.01f);
}

TEST(TimeAxis, RangeOnlyWidens)
{
    TimeRange range;
    EXPECT_TRUE(range.IsEmpty());
    const DocumentTimeSpan brava = SpanOfRecording(1000.0, 0, -500, 499);
    range = WidenedRange(range, {brava});
    EXPECT_FLOAT_EQ(range.Start, -0.5f);
    EXPECT_FLOAT_EQ(range.End, 0.499f);

    // An AVI exported from those frames (TimeZeroFrame 500) spans the same times.
    const DocumentTimeSpan avi = SpanOfRecording(1000.0, 500, 0, 999);
    EXPECT_DOUBLE_EQ(avi.FirstTime, -0.5);
    EXPECT_DOUBLE_EQ(avi.LastTime, 0.499);

    // A shorter recording does not narrow; a longer one widens the end only.
    range = WidenedRange(range, {SpanOfRecording(100.0, 0, 0, 10), SpanOfRecording(50.0, 0, 0, 100)});
    EXPECT_FLOAT_EQ(range.Start, -0.5f);
    EXPECT_FLOAT_EQ(range.End, 2.0f);
}

TEST(TimeAxis, SliderRangeOfOneThousandFpsRecording)
{
    SliderValues slider; // all zero: the selection counts as full
    const bool full = ApplySliderRange(slider, 0.001f, -0.5f, 0.499f);
    EXPECT_TRUE(full);
    EXPECT_EQ(slider.BegFrame, -500);
    EXPECT_EQ(slider.EndFrame, 498);
    EXPECT_EQ(slider.SubBegFrame, -500);
    EXPECT_EQ(slider.SubEndFrame, 498);
}

TEST(TimeAxis, SliderRangeKeepsAMarkedSelection)
{
    SliderValues slider{0, -500, 498, -100, 200};
    EXPECT_FALSE(ApplySliderRange(slider, 0.001f, -1.0f, 1.0f));
    EXPECT_EQ(slider.BegFrame, -1000);
    EXPECT_EQ(slider.EndFrame, 999);
    EXPECT_EQ(slider.SubBegFrame, -100);
    EXPECT_EQ(slider.SubEndFrame, 200);
}

TEST(TimeAxis, TicksRoundHalfToEven)
{
    EXPECT_EQ(TimeToTick(0.1f, 0.001f), 100);
    EXPECT_EQ(TimeToTick(0.0025, 0.001f), 2);  // 2.4999... in single step
    EXPECT_EQ(TimeToTick(0.5, 1.0f), 0);       // half to even
    EXPECT_EQ(TimeToTick(1.5, 1.0f), 2);
    EXPECT_EQ(TimeToTick(-2.5, 1.0f), -2);
    EXPECT_FLOAT_EQ(TickToTime(100, 0.001f), 0.1f);
    // A zero step (never set) or an absurd time gives a usable tick, not UB.
    EXPECT_EQ(TimeToTick(1.0, 0.0f), 0);
    EXPECT_EQ(TimeToTick(std::numeric_limits<double>::quiet_NaN(), 0.001f), 0);
}

TEST(TimeAxis, SecondsText)
{
    EXPECT_EQ(FormatSeconds(TickToTime(100, 0.001f)), QStringLiteral("0.1000s"));
    EXPECT_EQ(FormatSeconds(-0.5), QStringLiteral("-0.5000s"));
    EXPECT_EQ(FormatSeconds(0.499f), QStringLiteral("0.4990s"));
}
