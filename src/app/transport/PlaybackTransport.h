#pragma once
// The play clock's arithmetic without any timer or widget: play, stop, step,
// and the timer tick split in two halves around the (slow) rendering, so
// tests can feed it the elapsed times they want.
//
// The main window owns one of these and a QTimer:
//
//   void TQorMain::TImerplayrateTimer() {
//       QElapsedTimer clock; clock.start();
//       const TickStep step = Transport.BeginTick();
//       if (!step.Run) return;                        // previous tick still busy
//       SetTime(step.Time);                           // every document renders
//       if (step.Stop) TImerplayrate->stop();
//       Transport.EndTick(clock.elapsed());
//       JvLED1->setLit(Transport.LampLit());
//   }

#include <cstdint>

// What one timer tick asks the main window to do.
struct TickStep {
    bool Run = false;   // false: the tick was dropped (TimerBusy)
    float Time = 0.0f;  // the new CommonTime, to pass to SetTime
    bool Stop = false;  // the timer must stop after SetTime
};

class PlaybackTransport {
public:
    enum Direction { Forward = 0, Backward = 1 };

    // Main-window state, named as the main window names it.
    float CommonTime = 0.0f;
    int PlayDirection = Forward;
    float InTime = 0.0f;
    float OutTime = 0.0f;
    bool LoopPlay = false;
    bool StopRequest = false;
    bool TimerBusy = false;
    bool AutoSkip = true;
    int SkipFactor = 1;

    // Program-wide time axis (see TimeAxis.h for how they are computed).
    float TimeStep = 0.005f;
    float RangeStartTime = 9999999.0f;
    float RangeEndTime = -9999999.0f;

    // The play timer as this class sees it: whether it runs and its interval.
    bool TimerRunning = false;
    int TimerInterval = 67;

    // `Step`: SkipFactor := 1, the time moves one TimeStep and is clamped to
    // the range. Returns the time to pass to SetTime.
    float Step(Direction direction);

    // `Play`: StopRequest := 0, SkipFactor := 1. Playing again in the running
    // direction turns loop play on (returns true: show the loop images);
    // otherwise the direction is set, the timer runs and loop play is off
    // (returns false: show the normal images). Start the QTimer with
    // TimerInterval whenever TimerRunning is true afterwards.
    bool Play(Direction direction);

    // `StopPlayback`: SkipFactor := 1, StopRequest := 1, timer off, not busy.
    void StopPlayback();

    // Stop button: normal images, no loop, StopPlayback.
    void StopButton();

    // Play-speed box change: the timer interval in ms, Round(1000 / speed).
    void SetPlaySpeed(int framesPerSecond);

    // Steps 1 and 3-6 of the tick; marks the transport busy. When the
    // returned Stop is set, TimerRunning is already false.
    TickStep BeginTick();

    // Steps 9-11: adapts SkipFactor from the tick's duration in milliseconds
    // (negative durations leave it alone) and clears TimerBusy.
    void EndTick(int64_t elapsedMs);

    // The speed lamp is lit while every step is shown.
    bool LampLit() const { return SkipFactor == 1; }
};
