#include "app/transport/PlaybackTransport.h"

#include <gtest/gtest.h>

namespace {

Rational ms(int64_t milliseconds) { return Rational(milliseconds, 1000); }

// One 1000 fps recording of frames −500..499.
PlaybackTransport makeTransport()
{
    PlaybackTransport t;
    t.TimeStep = ms(1);
    t.Range = {ms(-500), ms(499), false};
    t.InTime = ms(-500);
    t.OutTime = ms(499);
    t.TimerInterval = 67;
    return t;
}

} // namespace

TEST(PlaybackTransport, StepIsClampedToTheRange)
{
    PlaybackTransport t = makeTransport();
    t.CommonTime = t.Range.End;
    EXPECT_EQ(t.Step(PlaybackTransport::Forward), ms(499));
    t.CommonTime = t.Range.Start;
    EXPECT_EQ(t.Step(PlaybackTransport::Backward), ms(-500));
    t.CommonTime = Rational(0);
    t.SkipFactor = 4;
    EXPECT_EQ(t.Step(PlaybackTransport::Forward), ms(1));
    EXPECT_EQ(t.SkipFactor, 1);
}

TEST(PlaybackTransport, PlayForwardStopsAtTheRangeEnd)
{
    PlaybackTransport t = makeTransport();
    t.CommonTime = ms(497);
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
    EXPECT_EQ(step.Time, ms(499)); // last frame shown
    EXPECT_EQ(t.CommonTime, ms(499));
    EXPECT_FALSE(t.TimerRunning);
}

TEST(PlaybackTransport, PlayBackwardStopsAtTheRangeStart)
{
    PlaybackTransport t = makeTransport();
    t.CommonTime = Rational(-4985, 10000);
    t.Play(PlaybackTransport::Backward);
    TickStep step = t.BeginTick();
    t.EndTick(0);
    EXPECT_FALSE(step.Stop);
    step = t.BeginTick();
    t.EndTick(0);
    EXPECT_TRUE(step.Stop);
    EXPECT_EQ(step.Time, ms(-500));
}

TEST(PlaybackTransport, PlayingTwiceTurnsLoopOnAndWraps)
{
    PlaybackTransport t = makeTransport();
    t.InTime = ms(100);
    t.OutTime = Rational(1025, 10000); // between ticks
    t.CommonTime = ms(100);
    EXPECT_FALSE(t.Play(PlaybackTransport::Forward));
    EXPECT_TRUE(t.Play(PlaybackTransport::Forward)); // loop images
    EXPECT_TRUE(t.LoopPlay);

    Rational seen[8];
    for (Rational& time : seen) {
        const TickStep step = t.BeginTick();
        EXPECT_FALSE(step.Stop);
        time = step.Time;
        t.EndTick(1);
    }
    // 0.101, 0.102, then past the out point back to the in point, forever.
    EXPECT_EQ(seen[0], ms(101));
    EXPECT_EQ(seen[1], ms(102));
    EXPECT_EQ(seen[2], ms(100));
    EXPECT_EQ(seen[4], ms(102));
    EXPECT_EQ(seen[5], ms(100));
    EXPECT_TRUE(t.TimerRunning);

    // The other direction ends loop mode and reverses.
    EXPECT_FALSE(t.Play(PlaybackTransport::Backward));
    EXPECT_FALSE(t.LoopPlay);
    EXPECT_EQ(t.PlayDirection, PlaybackTransport::Backward);
}

TEST(PlaybackTransport, LoopBackwardWrapsToTheOutPointEvenAtTheRangeStart)
{
    PlaybackTransport t = makeTransport();
    t.InTime = ms(-500);
    t.OutTime = ms(-490);
    t.CommonTime = ms(-500);
    t.Play(PlaybackTransport::Backward);
    t.Play(PlaybackTransport::Backward);
    const TickStep step = t.BeginTick();
    EXPECT_FALSE(step.Stop);
    EXPECT_EQ(step.Time, ms(-490));
}

TEST(PlaybackTransport, SkipFactorFollowsTheDurationOfEachTick)
{
    PlaybackTransport t = makeTransport();
    t.CommonTime = ms(-500);
    t.Play(PlaybackTransport::Forward);
    struct Case { int elapsedMs; int factorAfter; bool lamp; };
    // 210 ms at 67 ms: factor 3; 15 ms is not above 67 div 3 = 22: stays;
    // 50 ms: back to 1; then 210 again and 30 ms after a factor of 3: 1;
    // a negative time (the minute changed) leaves the factor alone.
    const Case cases[] = {
        {210, 3, false}, {15, 3, false}, {50, 1, true}, {210, 3, false}, {30, 1, true},
        {67, 1, true}, {68, 1, true}, {101, 2, false}, {-900, 2, false}, {0, 2, false},
    };
    Rational before = t.CommonTime;
    for (const Case& c : cases) {
        const int factor = t.SkipFactor;
        const TickStep step = t.BeginTick();
        ASSERT_TRUE(step.Run);
        EXPECT_EQ(step.Time - before, ms(factor)) << "advance by the factor in force";
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
    const Rational time = t.CommonTime;
    const TickStep reentered = t.BeginTick(); // rendering processed messages
    EXPECT_FALSE(reentered.Run);
    EXPECT_EQ(t.CommonTime, time);
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

TEST(PlaybackTransport, MarksStayInOrder)
{
    PlaybackTransport t = makeTransport();
    t.SetOutTime(ms(100));
    t.SetInTime(ms(200)); // IN after OUT: OUT follows
    EXPECT_EQ(t.InTime, ms(200));
    EXPECT_EQ(t.OutTime, ms(200));
    t.SetOutTime(ms(-100)); // OUT before IN: IN follows
    EXPECT_EQ(t.InTime, ms(-100));
    EXPECT_EQ(t.OutTime, ms(-100));
}

TEST(PlaybackTransport, NothingMovesWithoutARange)
{
    PlaybackTransport t;
    EXPECT_EQ(t.Step(PlaybackTransport::Forward), Rational(0));
    t.Play(PlaybackTransport::Forward);
    const TickStep step = t.BeginTick();
    EXPECT_TRUE(step.Stop);
    EXPECT_FALSE(t.TimerRunning);
}

// Stepping frame by frame, as users measure, and playing one step a tick,
// visit every frame of a fast recording exactly once each way.
TEST(PlaybackTransport, SteppingAndPlayingVisitEveryFrameOnce)
{
    struct Case { int64_t rate; int frames; };
    for (const Case c : {Case{10000, 100000}, Case{1000000, 1000000}}) {
        const FrameClock clock(Rational(c.rate), 0);
        PlaybackTransport t;
        t.TimeStep = SmallestFrameInterval({SpanOfRecording(clock, 0, c.frames - 1)});
        t.Range = RangeOfDocuments({SpanOfRecording(clock, 0, c.frames - 1)});
        t.CommonTime = t.Range.Start;
        for (int frame = 1; frame < c.frames; ++frame)
            ASSERT_EQ(clock.toFrame(t.Step(PlaybackTransport::Forward)), frame) << c.rate;
        EXPECT_EQ(clock.toFrame(t.Step(PlaybackTransport::Forward)), c.frames - 1);
        t.Play(PlaybackTransport::Backward);
        for (int frame = c.frames - 2; frame >= 0; --frame) {
            const TickStep step = t.BeginTick();
            t.EndTick(0);
            ASSERT_EQ(clock.toFrame(step.Time), frame) << c.rate;
            ASSERT_FALSE(step.Stop);
        }
        EXPECT_TRUE(t.BeginTick().Stop);
    }
}
