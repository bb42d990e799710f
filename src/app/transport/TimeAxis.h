#pragma once
// The common time axis shared by all open documents: the time step, the
// time range, slider ticks and the play-timer interval. Plain functions over
// the documents' spans so the main window and tests use the same arithmetic.
// Every time here is exact (Rational seconds); text is made only for display.

#include "common/FrameClock.h"
#include "common/Rational.h"

#include <QString>
#include <cstdint>
#include <vector>

// What the time axis needs to know about one open document.
struct DocumentTimeSpan {
    Rational FrameInterval{1}; // seconds per frame
    Rational FirstTime;        // time of the first frame of its range
    Rational LastTime;         // time of the last frame of its range
};

// The span of frames rangeFirst..rangeLast of a recording with this clock.
DocumentTimeSpan SpanOfRecording(const FrameClock& clock, int rangeFirst, int rangeLast);

// The time step before any recording is opened: 0.005 s.
inline const Rational InitialTimeStep{1, 200};

// `SmallestFrameInterval`: the smallest frame interval of the documents, but
// never above 1 s; 1 s without documents. Intervals that are not positive
// (a recording without a rate) are skipped.
Rational SmallestFrameInterval(const std::vector<DocumentTimeSpan>& documents);

// `RangeStartTime` .. `RangeEndTime`: from the first frame of the earliest
// document to the last frame of the latest. Empty without documents.
struct TimeRange {
    Rational Start;
    Rational End;
    bool Empty = true;

    bool IsEmpty() const { return Empty; }
    // The time moved into the range (unchanged when the range is empty).
    Rational Clamp(const Rational& t) const;
};

TimeRange RangeOfDocuments(const std::vector<DocumentTimeSpan>& documents);

// Slider positions are ticks of the time step: tick = Round(time / step)
// (half to even) and time = tick × step.
int64_t TimeToTick(const Rational& time, const Rational& timeStep);
Rational TickToTime(int64_t tick, const Rational& timeStep);
// The time on the nearest tick.
Rational SnapToStep(const Rational& time, const Rational& timeStep);

// The slider's five values.
struct SliderValues {
    int64_t CurrentFrame = 0;
    int64_t BegFrame = 0;
    int64_t EndFrame = 0;
    int64_t SubBegFrame = 0;
    int64_t SubEndFrame = 0;
};

// The slider for a range, marks and current time: BegFrame and EndFrame are
// the ticks of the range's first and last frames, so the slider reaches the
// last frame; the sub-range is the marks.
SliderValues SliderFor(const Rational& timeStep, const TimeRange& range, const Rational& inTime,
                       const Rational& outTime, const Rational& current);

// Play speed in frames per second (1..1000, clamped) to the timer interval in
// milliseconds: Round(1000 / speed).
int PlayIntervalMs(int playSpeed);

// The time boxes' text: fixed notation, 7 significant digits, 4 decimals, "s".
QString FormatSeconds(const Rational& seconds);
