#pragma once
// The automatic tracking run and the point commands of the tracking frame,
// without any widget and without any text: the engine returns outcomes and
// questions as enums, and the window or the command-line tool words them
// (see TrackingTexts.h). The engine works on one document's
// TrackingPointList and asks its driver for frames and screen updates:
//
//   driver.FrameAt(n)   load frame n everywhere and return the working bitmap
//                       (the displayed frame after adjustments)
//   driver.Report       the run's message panel
//   driver.ScheduleTick start the idle timer; when it fires the driver calls
//                       OnTimerTick()
//
// One tick works on one frame. Between ticks the run's state (CurrentFrame,
// ResumeFrame, StopReason) is kept here, so the event loop runs between
// frames and the window may stop the run, or answer the run's question,
// whenever a tick is not running. Commands that would change the frame or the
// points under a tick are refused while it runs.
//
// Frame numbers are the document's own numbers throughout. The marked range
// (MarkFirst ... MarkLast) is given in frame numbers too; a driver that works
// with slider positions converts them.

#include "tracking/engine/Kinematics.h"
#include "tracking/engine/TrackingPointList.h"

#include <cstdint>
#include <optional>
#include <vector>

class Frame;

// Status of a point's list row (the index into the status texts).
enum class PointStatus : int {
    None = 0, Ready = 1, Disabled = 2, AutoTracking = 3, Searching = 4, NeedToPlace = 5,
    NeedToConfirm = 6, Tracked = 7, Vanished = 8, BelowThreshold = 9, CentreNotFound = 10,
};

// What the run's message panel shows.
enum class PanelKind : int {
    Searching = 0,
    Tracking = 1,
    LostBelowThreshold = 2,
    LostCentre = 3,
    NeedToPlace = 4,
    NeedToConfirm = 5,
};

// The run's message panel: which point it speaks of and how far the run is.
struct RunPanel {
    PanelKind kind = PanelKind::Tracking;
    int pointIndex = -1;          // the point spoken of, -1 none
    double score = 0.0;           // that point's last score
    int frame = 0;                // CurrentFrame - TimeZeroFrame (the slider's frame)
    int done = 0;                 // frames from the start of the marked range
    int total = 0;                // frames in the marked range
    int percent = 0;              // done / total in percent, 0 ... 100
    bool waitingForUser = false;  // the run waits for an answer
};

// Why a run is not running (any more).
enum class StopReason : int {
    Running = 0,
    StopRequested = 1,   // Stop pressed; becomes Stopped when the tick ends
    Stopped = 2,
    Finished = 4,        // the range is done
    StepLimit = 5,       // the run kept coming back to frames it had done
    FrameNotLoaded = 6,  // the driver could not give a frame
};

// Result of "Auto Track".
enum class StartOutcome {
    Started,             // the first tick is scheduled
    Question,            // points have no data in the range: see PointsWithoutData()
                         // and answer with AnswerDefineOnCurrentFrame()
    AlreadyRunning,
    Unconfirmed,         // some point waits to be confirmed
    NoPoints,            // no enabled point
    NothingToDo,         // every enabled point is tracked over the whole range
    FrameNotLoaded,      // the range's first frame could not be loaded
    Cancelled,           // the question was answered No
};

// Result of one timer tick.
enum class TickOutcome {
    Ignored,             // no tick was due (stopped, or a tick from before Stop), or re-entered
    NextFrame,           // this frame is done; the next tick is scheduled
    WaitingForUser,      // the run asks: see Question()
    Finished,
    Stopped,
    StepLimit,
    FrameNotLoaded,
    NoPoints,
};

// What the run waits for while WaitingForUser.
enum class QuestionKind { None, LostBelowThreshold, LostCentre, Place, Confirm };
struct RunQuestion {
    QuestionKind kind = QuestionKind::None;
    TTrackingPoint* point = nullptr;
    int frame = -1;
};

enum class DeleteOutcome { NoneSelected, Refused, Deleted };

class TrackingDriver {
public:
    virtual ~TrackingDriver() = default;
    // Loads frame `frameNumber` into the document (and every document on the
    // common time axis) and returns the working bitmap, or nullptr when the
    // frame cannot be had. The pointer stays valid until the next call.
    virtual const Frame* FrameAt(int frameNumber) = 0;
    // Shows the run's message panel.
    virtual void Report(const RunPanel& /*panel*/) {}
    // Sets the status of a point's list row.
    virtual void PointStatusChanged(int /*pointIndex*/, PointStatus /*status*/) {}
    // The points' positions changed: place markers, update the zoom view.
    virtual void PointsRefreshed() {}
    // Point selection or the current point changed.
    virtual void SelectionChanged() {}
    // Start the idle timer; when it fires, call OnTimerTick().
    virtual void ScheduleTick() {}
    // The run has stopped or finished: raise the button, hide the panel.
    virtual void RunStopped(StopReason /*reason*/) {}
};

// What the engine needs to know of the document.
struct TrackingRecording {
    int FirstFrame = 0;
    int FrameCount = 0;
    int TimeZeroFrame = 0;
    int FrameRate = 0;
    int FrameWidth = 0;   // FrameBitmap size
    int FrameHeight = 0;
};

// The zoom factor a new point gets: the power of two 1 ... 32 nearest to
// viewWidth / searchWidth (ties: the smaller).
int ZoomFactorFor(int viewWidth, int searchWidth);

// Progress through the marked range in percent, clamped to 0 ... 100 (an
// empty range counts as done once the run is on its frame).
int ProgressPercent(int done, int total);

class TrackingEngine {
public:
    TrackingEngine(TrackingPointList& points, TrackingDriver& driver);

    // --- Set-up (by the owner, whenever the document or the marks change) --
    void SetRecording(const TrackingRecording& recording) { m_recording = recording; }
    const TrackingRecording& Recording() const { return m_recording; }
    // The run's frames (the document's range) and the marked range.
    void SetRange(int rangeFirst, int rangeLast, int markFirst, int markLast);
    void SetZoomViewWidth(int width) { m_zoomViewWidth = width; }
    // The most ticks one run may take; 0 (the default) sizes the limit from
    // the range and the number of points. A run that reaches it ends with
    // StopReason::StepLimit.
    void SetTickLimit(int64_t ticks) { m_tickLimit = ticks; }

    TrackingPointList& Points() { return m_points; }
    const Frame* Working() const { return m_working; }

    // --- State ----------------------------------------------------------------
    int CurrentFrame() const { return m_currentFrame; }
    // The frame the run goes on from (frame numbers may be negative: none is
    // nullopt, never a number).
    std::optional<int> ResumeFrame() const { return m_resumeFrame; }
    StopReason LastStopReason() const { return m_stopReason; }
    bool Running() const { return m_running; }
    bool WaitingForUser() const { return m_waitingForUser; }
    bool InTick() const { return m_inTick; }
    bool UnconfirmedExist() const { return m_unconfirmedExist; }
    // The frame the driver could not load, -1 none.
    int FailedFrame() const { return m_failedFrame; }
    // The point shown in the zoom view and acted on by Confirm, Undo, the
    // settings and the results.
    TTrackingPoint* CurrentPoint() const { return m_currentPoint; }
    void SetCurrentPoint(TTrackingPoint* point);
    // The question the run waits on (kind None when it does not wait).
    const RunQuestion& Question() const { return m_question; }
    // The enabled points that have no data in the range, when StartRun()
    // gave Question.
    const std::vector<TTrackingPoint*>& PointsWithoutData() const { return m_withoutData; }
    // The panel as last reported.
    const RunPanel& Panel() const { return m_panel; }

    // --- Frames ---------------------------------------------------------------
    // Loads frame n through the driver and refreshes the points. Refused
    // (false) while a run is active: the run owns the frame then.
    bool GoToFrame(int frame);
    // The owner loaded frame n itself (the user moved the slider): take the
    // working bitmap and refresh the points. Refused while a run is active.
    bool FrameChanged(int frame, const Frame* working);

    // --- Point commands ---------------------------------------------------------
    // A new point with `method` at (x, y) on the current frame, centred by the
    // wide search, its template captured and confirmed; it becomes the
    // current point. nullptr when refused (a run is active, no frame is
    // loaded) or the document already has the largest number of points.
    TTrackingPoint* AddPoint(uint8_t method, double x, double y);
    // The same with the search settings given (as the settings dialog or the
    // command line set them) before the point is centred.
    TTrackingPoint* AddPoint(double x, double y, const tracking::SearchParameters& params);
    // The settings a new point of `method` gets.
    static tracking::SearchParameters DefaultParameters(uint8_t method);
    // Deletes the selected points; the window asks the user first.
    DeleteOutcome DeleteSelectedPoints(int* deleted = nullptr);
    // "Delete Tracked Data": frames a <= f < b of the selected points.
    bool DeleteTrackedData(int fromFrame, int endFrame);
    // "Confirm": accepts the current point's working position on this frame;
    // while the run waits, the run goes on from this frame.
    void ConfirmCurrent();
    // "Undo": the current point back to its stored position.
    void UndoCurrent();
    // Selects one point alone and makes it current (nullptr: none).
    void SelectOnly(TTrackingPoint* point);
    // The selection was changed by the window (Selected flags): exactly one
    // selected point becomes current, otherwise there is none.
    void SyncSelection();
    // Enables or disables the selected points (the list's toggle button):
    // all enabled -> all disabled, otherwise all enabled. While a run is
    // active a disabled point loses the current frame's record, and the run
    // goes on from the current frame.
    void ToggleSelectedEnabled();
    void SetSelectedMode(PointMode mode);
    void SetSelectedMethod(uint8_t method);
    // A marker drag begins: the point becomes current and unconfirmed.
    void BeginDrag(TTrackingPoint* point);
    // The marker was dropped at (x, y): centred by the wide search and left
    // for the user to confirm. Ignored while a run is busy on a frame and
    // does not wait for the user.
    void EndDrag(TTrackingPoint* point, double x, double y);
    // The current point was moved by hand to (x, y) (the zoom view): it waits
    // to be confirmed.
    void MoveCurrentTo(double x, double y);
    // A point's position was changed and waits to be confirmed.
    void MarkUnconfirmed(TTrackingPoint* point);

    // --- Results ------------------------------------------------------------------
    // The series behind a result button (Position ... RPM), raw or with the
    // graphs' smoothing, for the current point; nothing without one. RPM
    // needs a centre (CanComputeRpm).
    std::optional<KinematicsSeries> CurrentPointSeries(const KinematicsSettings& settings,
                                                       KinematicsQuantity quantity, bool smoothed) const;

    // --- The run ------------------------------------------------------------------
    // "Auto Track" pressed.
    StartOutcome StartRun();
    // Answer to StartOutcome::Question: Yes places the points without data
    // on the current frame and starts the run; No cancels it.
    StartOutcome AnswerDefineOnCurrentFrame(bool define);
    // "Stop Tracking" pressed. A tick that is running finishes its frame
    // first; a tick scheduled before the stop does nothing.
    void StopRun();
    // The idle timer fired: one frame of the run.
    TickOutcome OnTimerTick();

    // The frame the run resumes at: the last frame with a position before the
    // first gap of any enabled point in the range, or -1 when there is none.
    std::optional<int> FindResumeFrame() const;

private:
    void SetStatus(int index, PointStatus status);
    void RefreshPoints();
    void RecomputeUnconfirmed();
    void Confirm(TTrackingPoint& point);
    void ScheduleTick();
    bool LoadRunFrame(int frame);
    void PlaceOnCurrentFrame();
    bool NeedsWorkHere() const;
    void StepPoints();
    void RunStep(TTrackingPoint& point);
    int EvaluatePoints();
    void ShowMessagePanel(PanelKind kind);
    void Wait(int pointIndex, PanelKind kind);
    TickOutcome Tick();
    TickOutcome EndRun(StopReason reason);
    void StopTracking();

    TrackingPointList& m_points;
    TrackingDriver& m_driver;
    TrackingRecording m_recording;
    int m_rangeFirst = 0;
    int m_rangeLast = 0;
    int m_markFirst = 0;
    int m_markLast = 0;
    int m_zoomViewWidth = 154;

    const Frame* m_working = nullptr;
    int m_currentFrame = 0;
    TTrackingPoint* m_currentPoint = nullptr;

    bool m_running = false;
    bool m_tickDue = false;          // a tick was scheduled and not yet run or cancelled
    bool m_inTick = false;
    bool m_waitingForUser = false;
    bool m_askingToDefine = false;   // StartRun() asked; waiting for the answer
    bool m_unconfirmedExist = false;
    StopReason m_stopReason = StopReason::Stopped;
    std::optional<int> m_resumeFrame;
    int m_failedFrame = -1;
    int64_t m_tickLimit = 0;
    int64_t m_stepsLeft = 0;         // bounds the number of ticks of one run
    RunQuestion m_question;
    RunPanel m_panel;
    std::vector<TTrackingPoint*> m_withoutData;
};
