#include "app/transport/TimeAxis.h"

#include "common/NumberFormat.h"
#include "common/Rounding.h"

#include <algorithm>

DocumentTimeSpan SpanOfRecording(const FrameClock& clock, int rangeFirst, int rangeLast)
{
    DocumentTimeSpan span;
    span.FrameInterval = clock.interval();
    span.FirstTime = clock.toTime(std::min(rangeFirst, rangeLast));
    span.LastTime = clock.toTime(std::max(rangeFirst, rangeLast));
    return span;
}

Rational SmallestFrameInterval(const std::vector<DocumentTimeSpan>& documents)
{
    Rational smallest(1);
    for (const DocumentTimeSpan& doc : documents) {
        if (doc.FrameInterval > Rational(0))
            smallest = std::min(smallest, doc.FrameInterval);
    }
    return smallest;
}

Rational TimeRange::Clamp(const Rational& t) const
{
    if (Empty)
        return t;
    return std::clamp(t, Start, End);
}

TimeRange RangeOfDocuments(const std::vector<DocumentTimeSpan>& documents)
{
    TimeRange range;
    for (const DocumentTimeSpan& doc : documents) {
        if (range.Empty) {
            range = {doc.FirstTime, doc.LastTime, false};
            continue;
        }
        range.Start = std::min(range.Start, doc.FirstTime);
        range.End = std::max(range.End, doc.LastTime);
    }
    return range;
}

int64_t TimeToTick(const Rational& time, const Rational& timeStep)
{
    if (!(timeStep > Rational(0)))
        return 0;
    return (time / timeStep).roundHalfEven();
}

Rational TickToTime(int64_t tick, const Rational& timeStep)
{
    return Rational(tick) * timeStep;
}

Rational SnapToStep(const Rational& time, const Rational& timeStep)
{
    if (!(timeStep > Rational(0)))
        return time;
    return TickToTime(TimeToTick(time, timeStep), timeStep);
}

SliderValues SliderFor(const Rational& timeStep, const TimeRange& range, const Rational& inTime,
                       const Rational& outTime, const Rational& current)
{
    SliderValues v;
    if (range.Empty)
        return v;
    v.BegFrame = TimeToTick(range.Start, timeStep);
    v.EndFrame = TimeToTick(range.End, timeStep);
    v.SubBegFrame = TimeToTick(inTime, timeStep);
    v.SubEndFrame = TimeToTick(outTime, timeStep);
    v.CurrentFrame = TimeToTick(current, timeStep);
    return v;
}

int PlayIntervalMs(int playSpeed)
{
    const int speed = std::clamp(playSpeed, 1, 1000);
    return int(Round(1000.0 / speed));
}

QString FormatSeconds(const Rational& seconds)
{
    return FormatFixed(seconds.toDouble(), 7, 4) + QLatin1Char('s');
}
