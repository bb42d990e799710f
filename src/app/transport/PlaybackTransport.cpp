#include "app/transport/PlaybackTransport.h"

#include "common/Rounding.h"

#include <algorithm>

Rational PlaybackTransport::Step(Direction direction)
{
    SkipFactor = 1;
    if (Range.IsEmpty())
        return CommonTime;
    if (direction == Backward)
        CommonTime -= TimeStep;
    else
        CommonTime += TimeStep;
    CommonTime = Range.Clamp(CommonTime);
    return CommonTime;
}

bool PlaybackTransport::Play(Direction direction)
{
    StopRequest = false;
    SkipFactor = 1;
    if (TimerRunning && PlayDirection == direction) {
        LoopPlay = true;
        return true;
    }
    PlayDirection = direction;
    TimerRunning = true;
    LoopPlay = false;
    return false;
}

void PlaybackTransport::StopPlayback()
{
    SkipFactor = 1;
    StopRequest = true;
    TimerRunning = false;
    TimerBusy = false;
}

void PlaybackTransport::StopButton()
{
    LoopPlay = false;
    StopPlayback();
}

void PlaybackTransport::SetPlaySpeed(int framesPerSecond)
{
    TimerInterval = PlayIntervalMs(framesPerSecond);
}

void PlaybackTransport::SetInTime(const Rational& t)
{
    InTime = t;
    if (OutTime < InTime)
        OutTime = InTime;
}

void PlaybackTransport::SetOutTime(const Rational& t)
{
    OutTime = t;
    if (InTime > OutTime)
        InTime = OutTime;
}

TickStep PlaybackTransport::BeginTick()
{
    TickStep step;
    if (TimerBusy)
        return step;
    TimerBusy = true;
    step.Run = true;

    const bool forward = PlayDirection != Backward;
    const Rational advance = Rational(SkipFactor) * TimeStep;
    CommonTime = forward ? CommonTime + advance : CommonTime - advance;

    if (Range.IsEmpty() || (forward && CommonTime > Range.End) || (!forward && CommonTime < Range.Start))
        StopRequest = true;

    if (LoopPlay && forward && CommonTime > OutTime) {
        CommonTime = InTime;
        StopRequest = false;
    }
    if (LoopPlay && !forward && CommonTime < InTime) {
        CommonTime = OutTime;
        StopRequest = false;
    }

    if (StopRequest && !Range.IsEmpty())
        CommonTime = forward ? Range.End : Range.Start;

    step.Time = CommonTime;
    step.Stop = StopRequest;
    if (step.Stop)
        TimerRunning = false;
    return step;
}

void PlaybackTransport::EndTick(int64_t elapsedMs)
{
    const int interval = std::max(1, TimerInterval);
    if (elapsedMs > interval / std::max(1, SkipFactor) && AutoSkip)
        SkipFactor = int(std::max<int64_t>(1, Round(double(elapsedMs) / interval)));
    TimerBusy = false;
}
