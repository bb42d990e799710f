#pragma once
// The common time axis shared by all open documents: the time step, the
// widened time range, slider ticks and the play-timer interval. Plain
// functions over the documents' spans so the main window and tests use the
// same arithmetic.

#include <QString>
#include <cstdint>
#include <vector>

// What the time axis needs to know about one open document.
struct DocumentTimeSpan {
    double FrameInterval = 1.0; // seconds per frame (1 / FrameRate)
    double FirstTime = 0.0;     // time of the first frame of its range, seconds
    double LastTime = 0.0;      // time of the last frame of its range, seconds
};

// The span of a recording: (RangeFirst − TimeZeroFrame) / FrameRate to
// (RangeLast − TimeZeroFrame) / FrameRate, in double precision.
DocumentTimeSpan SpanOfRecording(double frameRate, int timeZeroFrame, int rangeFirst, int rangeLast);

// Values before any recording is opened.
inline constexpr float InitialTimeStep = 0.005f;
inline constexpr float InitialRangeStartTime = 9999999.0f;
inline constexpr float InitialRangeEndTime = -9999999.0f;

// `SmallestFrameInterval`: the smallest frame interval of the documents, but
// never above 1.0; 1.0 without documents. Intervals that are not positive
// finite numbers (a broken frame rate) are skipped.
float SmallestFrameInterval(const std::vector<DocumentTimeSpan>& documents);

// `RangeStartTime` / `RangeEndTime`: they only ever widen.
struct TimeRange {
    float Start = InitialRangeStartTime;
    float End = InitialRangeEndTime;

    // Widens the range to include [first, last] (values compared in double,
    // stored in single precision as the main window keeps them).
    void Widen(double first, double last);
    bool IsEmpty() const { return Start > End; }
};

// The range widened by every document, starting from `range`.
TimeRange WidenedRange(TimeRange range, const std::vector<DocumentTimeSpan>& documents);

// Slider positions are ticks of the time step (Round is half to even).
int64_t TimeToTick(double time, float timeStep);
float TickToTime(int64_t tick, float timeStep);

// The slider's five values as the main window keeps them.
struct SliderValues {
    int64_t CurrentFrame = 0;
    int64_t BegFrame = 0;
    int64_t EndFrame = 0;
    int64_t SubBegFrame = 0;
    int64_t SubEndFrame = 0;
};

// `UpdateSliderRange`: new BegFrame = Round(RangeStartTime / TimeStep),
// EndFrame = Round(RangeEndTime / TimeStep) − 1. When the selection covered
// the whole old range it is moved to the whole new range and the function
// returns true: the caller then sets InTime/OutTime to the range and shows
// them.
bool ApplySliderRange(SliderValues& slider, float timeStep, float rangeStartTime, float rangeEndTime);

// Play speed in frames per second (1..1000, clamped) to the timer interval in
// milliseconds: Round(1000 / speed).
int PlayIntervalMs(int playSpeed);

// The time boxes' text: fixed notation, 7 significant digits, 4 decimals, "s".
QString FormatSeconds(double seconds);
