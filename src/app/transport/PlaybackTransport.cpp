#include "app/transport/PlaybackTransport.h"

#include "app/transport/TimeAxis.h"
#include "common/Rounding.h"

#include <algorithm>

float PlaybackTransport::Step(Direction direction)
{
    SkipFactor = 1;
    if (direction == Backward)
        CommonTime -= TimeStep;
    else
        CommonTime += TimeStep;
    if (CommonTime < RangeStartTime)
        CommonTime = RangeStartTime;
    if (CommonTime > RangeEndTime)
        CommonTime = RangeEndTime;
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

TickStep PlaybackTransport::BeginTick()
{
    TickStep step;
    if (TimerBusy)
        return step;
    TimerBusy = true;
    step.Run = true;

    const bool forward = PlayDirection != Backward;
    if (forward)
        CommonTime += float(SkipFactor) * TimeStep;
    else
        CommonTime -= float(SkipFactor) * TimeStep;

    if ((forward && CommonTime > RangeEndTime) || (!forward && CommonTime < RangeStartTime))
        StopRequest = true;

    if (LoopPlay && forward && CommonTime > OutTime) {
        CommonTime = InTime;
        StopRequest = false;
    }
    if (LoopPlay && !forward && CommonTime < InTime) {
        CommonTime = OutTime;
        StopRequest = false;
    }

    if (StopRequest)
        CommonTime = forward ? RangeEndTime : RangeStartTime;

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
