#include "app/transport/PlaybackTransport.h"

#include <gtest/gtest.h>

namespace {

// One 1000 fps recording of frames −500..499.
PlaybackTransport makeTransport()
{
    PlaybackTransport t;
    t.TimeStep = 0.001f;
    t.RangeStartTime = -0.5f;
    t.RangeEndTime = 0.499f;
    t.InTime = -0.5f;
    t.OutTime = 0.499f;
    t.TimerInterval = 67;
    return t;
}

} // namespace

TEST(PlaybackTransport, StepIsClampedToTheRange)
{
    PlaybackTransport t = makeTransport();
    t.CommonTime = t.RangeEndTime;
    EXPECT_FLOAT_EQ(t.Step(PlaybackTransport::Forward), 0.499f);
    t.CommonTime = t.RangeStartTime;
    EXPECT_FLOAT_EQ(t.Step(PlaybackTransport::Backward), -0.5f);
    t.CommonTime = 0.0f;
    t.SkipFactor = 4;
    EXPECT_FLOAT_EQ(t.Step(PlaybackTransport::Forward), 0.001f);
    EXPECT_EQ(t.SkipFactor, 1);
}

TEST(PlaybackTransport, PlayForwardStopsAtTheRangeEnd)
{
    PlaybackTransport t = makeTransport();
    t.CommonTime = 0.497f;
    EXPECT_FALSE(t.Play(PlaybackTransport::Forward));
    EXPECT_TRUE(t.TimerRunning);

    int ticks = 0;
    TickStep step;
    do {
        step = t.BeginTick();
        ASSERT_TRUE(step.Run);
        t.EndTick(5);
        ASSERT_LT(++ticks, 10);
    } while (!step.Stop);
    EXPECT_FLOAT_EQ(step.Time, 0.499f); // last frame shown
    EXPECT_FLOAT_EQ(t.CommonTime, 0.499f);
    EXPECT_FALSE(t.TimerRunning);
}

TEST(PlaybackTransport, PlayBackwardStopsAtTheRangeStart)
{
    PlaybackTransport t = makeTransport();
    t.CommonTime = -0.4985f;
    t.Play(PlaybackTransport::Backward);
    TickStep step = t.BeginTick();
    t.EndTick(0);
    EXPECT_FALSE(step.Stop);
    step = t.BeginTick();
    t.EndTick(0);
    EXPECT_TRUE(step.Stop);
    EXPECT_FLOAT_EQ(step.Time, -0.5f);
}

TEST(PlaybackTransport, PlayingTwiceTurnsLoopOnAndWraps)
{
    PlaybackTransport t = makeTransport();
    t.InTime = 0.1f;
    t.OutTime = 0.1025f; // between ticks, so float sums cannot blur the wrap
    t.CommonTime = 0.1f;
    EXPECT_FALSE(t.Play(PlaybackTransport::Forward));
    EXPECT_TRUE(t.Play(PlaybackTransport::Forward)); // loop images
    EXPECT_TRUE(t.LoopPlay);

    float seen[8];
    for (float& time : seen) {
        const TickStep step = t.BeginTick();
        EXPECT_FALSE(step.Stop);
        time = step.Time;
        t.EndTick(1);
    }
    // 0.101, 0.102, then past the out point back to the in point, forever.
    EXPECT_NEAR(seen[0], 0.101f, 1e-6);
    EXPECT_NEAR(seen[1], 0.102f, 1e-6);
    EXPECT_FLOAT_EQ(seen[2], 0.1f);
    EXPECT_NEAR(seen[4], 0.102f, 1e-6);
    EXPECT_FLOAT_EQ(seen[5], 0.1f);
    EXPECT_TRUE(t.TimerRunning);

    // The other direction ends loop mode and reverses.
    EXPECT_FALSE(t.Play(PlaybackTransport::Backward));
    EXPECT_FALSE(t.LoopPlay);
    EXPECT_EQ(t.PlayDirection, PlaybackTransport::Backward);
}

TEST(PlaybackTransport, LoopBackwardWrapsToTheOutPointEvenAtTheRangeStart)
{
    PlaybackTransport t = makeTransport();
    t.InTime = -0.5f;
    t.OutTime = -0.49f;
    t.CommonTime = -0.5f;
    t.Play(PlaybackTransport::Backward);
    t.Play(PlaybackTransport::Backward);
    const TickStep step = t.BeginTick();
    EXPECT_FALSE(step.Stop);
    EXPECT_FLOAT_EQ(step.Time, -0.49f);
}

TEST(PlaybackTransport, SkipFactorFollowsTheDurationOfEachTick)
{
    PlaybackTransport t = makeTransport();
    t.CommonTime = -0.5f;
    t.Play(PlaybackTransport::Forward);
    struct Case { int elapsedMs; int factorAfter; bool lamp; };
    // 210 ms at 67 ms: factor 3; 15 ms is not above 67 div 3 = 22: stays;
    // 50 ms: back to 1; then 210 again and 30 ms after a factor of 3: 1;
    // a negative time (the minute changed) leaves the factor alone.
    const Case cases[] = {
        {210, 3, false}, {15, 3, false}, {50, 1, true}, {210, 3, false}, {30, 1, true},
        {67, 1, true}, {68, 1, true}, {101, 2, false}, {-900, 2, false}, {0, 2, false},
    };
    float before = t.CommonTime;
    for (const Case& c : cases) {
        const int factor = t.SkipFactor;
        const TickStep step = t.BeginTick();
        ASSERT_TRUE(step.Run);
        EXPECT_NEAR(step.Time - before, factor * 0.001f, 1e-5) << "advance by the factor in force";
        before = step.Time;
        t.EndTick(c.elapsedMs);
        EXPECT_EQ(t.SkipFactor, c.factorAfter) << "elapsed " << c.elapsedMs;
        EXPECT_EQ(t.LampLit(), c.lamp);
        EXPECT_FALSE(t.TimerBusy);
    }
}

TEST(PlaybackTransport, BusyTickIsDroppedAndAutoSkipOffKeepsFactor)
{
    PlaybackTransport t = makeTransport();
    t.Play(PlaybackTransport::Forward);
    const TickStep first = t.BeginTick();
    ASSERT_TRUE(first.Run);
    const float time = t.CommonTime;
    const TickStep reentered = t.BeginTick(); // rendering processed messages
    EXPECT_FALSE(reentered.Run);
    EXPECT_FLOAT_EQ(t.CommonTime, time);
    t.AutoSkip = false;
    t.EndTick(500);
    EXPECT_EQ(t.SkipFactor, 1);
}

TEST(PlaybackTransport, StopResetsStateAndSpeedSetsInterval)
{
    PlaybackTransport t = makeTransport();
    t.Play(PlaybackTransport::Forward);
    t.Play(PlaybackTransport::Forward);
    t.SkipFactor = 5;
    t.TimerBusy = true;
    t.StopButton();
    EXPECT_FALSE(t.TimerRunning);
    EXPECT_FALSE(t.LoopPlay);
    EXPECT_FALSE(t.TimerBusy);
    EXPECT_TRUE(t.StopRequest);
    EXPECT_EQ(t.SkipFactor, 1);
    t.SetPlaySpeed(3);
    EXPECT_EQ(t.TimerInterval, 333);
    // Play after a stop clears the request and starts fresh (no loop).
    EXPECT_FALSE(t.Play(PlaybackTransport::Forward));
    EXPECT_FALSE(t.StopRequest);
}
