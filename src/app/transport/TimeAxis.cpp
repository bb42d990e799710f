#include "app/transport/TimeAxis.h"

#include "common/NumberFormat.h"
#include "common/Rounding.h"

#include <algorithm>
#include <cmath>

DocumentTimeSpan SpanOfRecording(double frameRate, int timeZeroFrame, int rangeFirst, int rangeLast)
{
    DocumentTimeSpan span;
    span.FrameInterval = 1.0 / frameRate;
    span.FirstTime = (double(rangeFirst) - timeZeroFrame) / frameRate;
    span.LastTime = (double(rangeLast) - timeZeroFrame) / frameRate;
    return span;
}

float SmallestFrameInterval(const std::vector<DocumentTimeSpan>& documents)
{
    double smallest = 1.0;
    for (const DocumentTimeSpan& doc : documents) {
        if (std::isfinite(doc.FrameInterval) && doc.FrameInterval > 0.0)
            smallest = std::min(smallest, doc.FrameInterval);
    }
    return float(smallest);
}

void TimeRange::Widen(double first, double last)
{
    if (std::isfinite(first) && first < Start)
        Start = float(first);
    if (std::isfinite(last) && last > End)
        End = float(last);
}

TimeRange WidenedRange(TimeRange range, const std::vector<DocumentTimeSpan>& documents)
{
    for (const DocumentTimeSpan& doc : documents)
        range.Widen(doc.FirstTime, doc.LastTime);
    return range;
}

int64_t TimeToTick(double time, float timeStep)
{
    if (!(timeStep > 0.0f))
        return 0;
    const double tick = time / double(timeStep);
    if (!std::isfinite(tick))
        return 0;
    return Round(std::clamp(tick, -9.0e15, 9.0e15));
}

float TickToTime(int64_t tick, float timeStep)
{
    return float(double(tick) * double(timeStep));
}

bool ApplySliderRange(SliderValues& slider, float timeStep, float rangeStartTime, float rangeEndTime)
{
    const bool wasFull = slider.SubBegFrame == slider.BegFrame && slider.SubEndFrame == slider.EndFrame;
    slider.BegFrame = TimeToTick(rangeStartTime, timeStep);
    slider.EndFrame = TimeToTick(rangeEndTime, timeStep) - 1;
    if (wasFull) {
        slider.SubBegFrame = slider.BegFrame;
        slider.SubEndFrame = slider.EndFrame;
    }
    return wasFull;
}

int PlayIntervalMs(int playSpeed)
{
    const int speed = std::clamp(playSpeed, 1, 1000);
    return int(Round(1000.0 / speed));
}

QString FormatSeconds(double seconds)
{
    return FormatFixed(seconds, 7, 4) + QLatin1Char('s');
}
