#pragma once
// The play clock's arithmetic without any timer or widget: play, stop, step,
// the marks, and the timer tick split in two halves around the (slow)
// rendering, so tests can feed it the elapsed times they want.
// PlaybackController runs it with a QTimer: BeginTick, then every document
// goes to the returned time, then EndTick with the milliseconds that took.
// All times are exact seconds on the common axis.

#include "app/transport/TimeAxis.h"
#include "common/Rational.h"

#include <cstdint>

// What one timer tick asks for.
struct TickStep {
    bool Run = false; // false: the tick was dropped (the previous one is still busy)
    Rational Time;    // the new CommonTime
    bool Stop = false; // the timer must stop after the documents moved
};

class PlaybackTransport {
public:
    enum Direction { Forward = 0, Backward = 1 };

    Rational CommonTime;
    int PlayDirection = Forward;
    Rational InTime;
    Rational OutTime;
    bool LoopPlay = false;
    bool StopRequest = false;
    bool TimerBusy = false;
    bool AutoSkip = true;
    int SkipFactor = 1;

    // The axis: the smallest frame interval and the documents' time range.
    Rational TimeStep = InitialTimeStep;
    TimeRange Range;

    // The play timer as this class sees it: whether it runs and its interval.
    bool TimerRunning = false;
    int TimerInterval = 67;

    // One step: no frames skipped; the time moves one TimeStep and is
    // clamped to the range. Returns the new CommonTime. Nothing moves without a range.
    Rational Step(Direction direction);

    // Play: clears a pending stop, no frames skipped. Playing again in the running
    // direction turns loop play on (returns true: show the loop images);
    // otherwise the direction is set, the timer runs and loop play is off
    // (returns false: show the normal images).
    bool Play(Direction direction);

    // Stops: no frames skipped, a stop requested, the timer off, not busy.
    void StopPlayback();

    // Stop button: no loop, StopPlayback.
    void StopButton();

    // Play-speed box change: the timer interval in ms, Round(1000 / speed).
    void SetPlaySpeed(int framesPerSecond);

    // The marks stay ordered: an IN after OUT moves OUT to it, an OUT before
    // IN moves IN to it.
    void SetInTime(const Rational& t);
    void SetOutTime(const Rational& t);

    // Advances (or wraps, or stops) the time for one tick; marks the
    // transport busy. When the returned Stop is set, TimerRunning is
    // already false.
    TickStep BeginTick();

    // Adapts SkipFactor from the tick's duration in milliseconds (negative
    // durations leave it alone) and clears TimerBusy.
    void EndTick(int64_t elapsedMs);

    // The speed lamp is lit while every step is shown.
    bool LampLit() const { return SkipFactor == 1; }
};
