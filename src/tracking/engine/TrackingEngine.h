#pragma once
// The automatic tracking run and the point commands of the tracking frame,
// without any widget. The engine works on one document's TrackingPointList
// and asks its driver (the tracking frame in the program, a command-line
// loop, or a test) for frames, answers and screen updates:
//
//   driver.FrameAt(n)   load frame n everywhere and return the working bitmap
//                       (the displayed frame after adjustments)
//   driver.Ask/Tell     the message boxes
//   driver.Report       the run's message panel
//   driver.ScheduleTick start the 500 ms idle timer; when it fires the
//                       driver calls OnTimerTick()
//
// Frame numbers are the document's own numbers throughout. The marked range
// (MarkFirst ... MarkLast) is given in frame numbers too; a driver that
// works with slider positions converts them.

#include "tracking/engine/TrackingPointList.h"

#include <QString>
#include <cstdint>

class Frame;

// Status texts of the point list, by index (0 is empty).
QString PointStatusText(int index);
enum PointStatusIndex : int {
    StatusNone = 0, StatusReady = 1, StatusDisabled = 2, StatusAutoTracking = 3,
    StatusSearching = 4, StatusNeedToPlace = 5, StatusNeedToConfirm = 6, StatusTracked = 7,
    StatusVanished = 8, StatusThreshold = 9, StatusCentre = 10,
};

// Message panel kinds of the run.
enum RunMessageKind : int {
    MessageSearching = 0,   // "Searching"
    MessageTracking = 1,    // "Tracking"
    MessageLostThreshold = 2, // "%s is LOST (Below Threshold)"
    MessageLostCentre = 3,  // "%s is LOST (Can't Find Centre)"
    MessageNeedPlace = 4,   // "%s need to place"
    MessageNeedConfirm = 5, // "%s needs to be Confirmed"
};

// The run's message panel.
struct RunMessage {
    int kind = MessageTracking;
    int pointIndex = -1;         // the point spoken of, -1 none
    QString text;                // LabelMessage
    QString frameText;           // "Auto Tracking Frame # n"
    QString percentText;         // "p% (d / n)"
    int percent = 0;             // progress bar position 0 ... 100
    QString scoreText;           // the point's score, 3 decimals
    uint32_t colour = 0x008000;  // panel colour, 0x00BBGGRR
    bool waitingForUser = false; // kinds 2 ... 5 wait for the user
};
// The panel text of a message kind for a point name.
QString RunMessageText(int kind, const QString& pointName);

enum class BoxKind { Error, Confirmation, Information };

class TrackingDriver {
public:
    virtual ~TrackingDriver() = default;
    // Loads frame `frameNumber` into the document (and every document on the
    // common time axis) and returns the working bitmap, or nullptr when the
    // frame cannot be had. The pointer stays valid until the next call.
    virtual const Frame* FrameAt(int frameNumber) = 0;
    // A question: true for OK / Yes, false for Cancel.
    virtual bool Ask(BoxKind kind, const QString& text) = 0;
    // A message with an OK button.
    virtual void Tell(BoxKind kind, const QString& text) = 0;
    // Shows the run's message panel.
    virtual void Report(const RunMessage& message) = 0;
    // Sets the status text of a point's list row (index into PointStatusText).
    virtual void PointStatus(int /*pointIndex*/, int /*statusIndex*/) {}
    // The points' positions changed: place markers, update the zoom view.
    // A program driver also processes pending events here, which is where a
    // click on "Stop Tracking" reaches StopRun().
    virtual void PointsRefreshed() {}
    // Point selection changed (Selected flags).
    virtual void SelectionChanged() {}
    // Start the idle timer; when it fires, call OnTimerTick().
    virtual void ScheduleTick() {}
    // The run has stopped or finished: raise the button, hide the panel.
    virtual void RunStopped() {}
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

class TrackingEngine {
public:
    TrackingEngine(TrackingPointList& points, TrackingDriver& driver);

    // Set by the owner before use (and whenever the document changes).
    TrackingRecording Recording;
    int RangeFirst = 0;       // the document's RangeFirst / RangeLast: the run's frames
    int RangeLast = 0;
    int MarkFirst = 0;        // the marked range (slider selection) as frame numbers
    int MarkLast = 0;
    int ZoomViewWidth = 154;  // width of the zoom view, for new points' zoom factor

    // Frame state.
    int CurrentFrame = 0;
    TTrackingPoint* CurrentPoint = nullptr;

    // Run state.
    bool Running = false;
    int StopReason = 0;       // 0 running, 1 stop requested, 2 stopped on request, 4 range finished
    int ResumeFrame = -1;     // frame the next tick resumes at, -1 none
    bool RunBusy = false;     // a tick is being processed
    bool WaitingForUser = false;
    bool UnconfirmedExist = false;
    int AttentionIndex = -1;  // the point the message panel speaks of
    int FailedFrame = -1;     // a frame the driver could not load ended the run

    TrackingPointList& Points() { return m_points; }
    const Frame* Working() const { return m_working; }

    // --- Frames ----------------------------------------------------------
    // Loads frame n through the driver, then refreshes the points.
    bool GoToFrame(int frame);
    // The owner loaded frame n itself (the user moved the slider): take the
    // working bitmap and refresh the points.
    void FrameChanged(int frame, const Frame* working);
    // Every point follows the current frame: displayed and working position
    // from its record; outside a run the points count as confirmed.
    void RefreshPoints();

    // --- Point commands --------------------------------------------------
    // A pick while a placement button is down: a new point with `method`
    // at (x, y) on the current frame, centred by the wide search, its
    // template captured and confirmed. Returns nullptr when the document
    // already has the largest number of points.
    TTrackingPoint* AddPoint(uint8_t method, double x, double y);
    // "Delete Tracking Point": the selected points, after asking.
    int DeleteSelectedPoints();
    // "Delete Tracked Data": frames a <= f < b of the selected points.
    void DeleteTrackedData(int fromFrame, int endFrame);
    // "Confirm": accepts CurrentPoint's working position on this frame; in
    // a run, resumes the run from this frame.
    void ConfirmCurrent();
    // "Undo": CurrentPoint back to its stored position.
    void UndoCurrent();
    // Selects one point alone (nullptr: none).
    void SelectOnly(TTrackingPoint* point);

    // --- The run -----------------------------------------------------------
    // "Auto Track" pressed: prepares and starts the run (the first tick is
    // scheduled). Returns false when refused.
    bool StartRun();
    // "Stop Tracking" pressed.
    void StopRun() { StopTracking(); }
    // The idle timer fired.
    void OnTimerTick();

    // 0 ready, 1 ready after placing points on the current frame, 2 refused.
    int PrepareRun();
    void PlaceOnCurrentFrame();
    int FindResumeFrame() const;
    // Runs frames until the run has to wait for the user, ends or is stopped.
    void RunTick();
    bool NeedsWorkHere() const;
    void StepPoints();
    void RunStep(TTrackingPoint& point);
    // Index of the first point that needs the user, or -1.
    int EvaluatePoints();
    void StopTracking();
    void ShowMessagePanel(int kind);

private:
    void SetStatus(int index, int status);
    void ConfirmCurrentImpl(bool fromUser);

    TrackingPointList& m_points;
    TrackingDriver& m_driver;
    const Frame* m_working = nullptr;
    int64_t m_stepsLeft = 0;  // bounds one tick's loop (see RunTick)
};
