#pragma once
// A tracking point: one target that the user marks on a recording and that
// the tracking run follows from frame to frame. This is the widget-free core
// of the point: its search settings, its working and displayed positions, its
// run flags and one TrackRecord per frame of the recording. The marker, the
// name label, the list row and the combo item belong to the user interface,
// which keeps them beside the point (keyed by PointId or by pointer).
//
// Positions are image pixels (x right, y down); -1 means "no position".

#include "tracking/engine/TrackRecord.h"
#include "tracking/search/TargetSearch.h"

#include <QString>
#include <cstdint>
#include <vector>

class Frame;

// Marker states (`Mark`) and the marker shapes that show them.
enum PointMark : uint8_t { MarkConfirmed = 0, MarkUnconfirmed = 1, MarkLost = 2, MarkVanished = 3 };
enum MarkerShape : int { ShapeConfirm = 7, ShapeUnconfirm = 8, ShapeLost = 9, ShapeVanish = 10 };

// Tracking modes (`Mode`).
enum PointMode : uint8_t { ModeAuto = 0, ModeSemiAuto = 1, ModeManual = 2 };

// A point's state after a search step of the run.
enum class TrackState : int {
    Found = 0,                // score reaches the threshold and the centre was found
    BelowThreshold = 1,       // score below the threshold, centre not found
    CentreNotFound = 2,       // score reaches the threshold, centre not found
    FoundBelowThreshold = 3,  // centre found, but the score is below the threshold
    NotStarted = 7,           // the point has not had a position in this run yet
    SemiAuto = 8,             // every frame waits for the user's confirmation
    Manual = 9,               // every frame waits for the user to place the point
};

// Size of a marker in viewer pixels for a template at viewer scale s: the
// template scaled, never below 16 pixels on its shorter side.
struct MarkerSize {
    int width = 16;
    int height = 16;
};
MarkerSize SizeForMarker(double scale, int templateWidth, int templateHeight);

class TTrackingPoint {
public:
    TTrackingPoint() { SetDefaults(); }

    // Search settings and template (method, template and search sizes,
    // threshold, centring parameters) — edited by the parameter dialog.
    tracking::SearchParameters Params;
    tracking::TargetTemplate Template;   // holds TemplateFracX / TemplateFracY too

    QString Name;                 // "Point " + PointId
    int PointId = 0;              // unique among the document's points, 0 ... 127
    uint8_t Mark = MarkConfirmed; // PointMark
    bool Selected = true;
    uint8_t Mode = ModeAuto;      // PointMode
    bool Enabled = true;          // takes part in tracking
    bool ShowMarker = true;
    int ZoomFactor = 1;           // 1, 2, 4, 8, 16 or 32: zoom view magnification

    double SearchX = -1.0;        // centre of the next correlation search
    double SearchY = -1.0;
    bool Found = false;           // the last centring step found the target
    bool Confirmed = false;       // the position of the current frame is accepted
    bool Started = false;         // had a defined position during the current run
    int UpdateEvery = 0;          // template update interval in accepted frames
    int UpdateTemplate = 1;       // 1: recapture every UpdateEvery frames; 0: keep the first
    bool DynamicSearch = false;   // dialog setting, kept but not used by the search
    bool PredictiveSearch = false;// dialog setting, kept but not used by the search
    bool ForceSquare = true;      // dialog setting

    int DefinedFrame = 0;         // frame where the point was defined or last placed
    int FrameNo = 0;              // frame the point refers to (the document's current frame)
    int BaseFrame = 0;            // frame number of Records[0] (the document's FirstFrame)

    double PosX = -1.0;           // working position: placement, dragging, search
    double PosY = -1.0;
    double DisplayX = -1.0;       // stored position of the current frame as shown
    double DisplayY = -1.0;

    double Score = 0.0;           // maximum correlation of the last search
    bool NeedsPlacing = false;    // the user must place the point on the current frame
    bool DeleteMark = false;      // scratch flag of the delete command
    bool Searched = false;        // a correlation search ran in the current run step
    int FramesSinceUpdate = 0;    // accepted frames since the template was captured
    bool Busy = false;            // a search is running on the point
    bool Dragging = false;        // the user is dragging the marker (set by the UI)

    std::vector<TrackRecord> Records;  // one per frame of the recording

    uint8_t Method() const { return Params.Method; }

    // The defaults every new point gets (9 x 9 template, 180 % search area,
    // threshold 0.8, Auto mode, enabled, selected).
    void SetDefaults();

    // One record per frame: FrameNo = firstFrame + i, Time from the time
    // base, no position, RecMethod = the current Method.
    void InitRecords(int firstFrame, int frameCount, int timeZeroFrame, int frameRate);

    // The record of frame `frame`, or nullptr when it lies outside Records.
    TrackRecord* RecordAt(int frame);
    const TrackRecord* RecordAt(int frame) const;
    // The record of FrameNo, or nullptr.
    TrackRecord* CurrentRecord() { return RecordAt(FrameNo); }
    const TrackRecord* CurrentRecord() const { return RecordAt(FrameNo); }
    // True when frame `frame` has a stored position (a frame outside the
    // recording has none).
    bool HasPositionAt(int frame) const;

    // Accepts the working position: shown and searched from there.
    void Confirm();
    // Undo: back to the stored position of the current frame.
    void RevertToStored();
    // Takes the displayed position from the record of FrameNo (clamped to the
    // records); copyPosition also moves the working position there. Returns
    // whether the marker is to be shown.
    bool UpdateMarker(bool copyPosition);
    // The marker shape for Mark.
    int Shape() const;

    // State after a search step (the mode and the run's start override the
    // search's verdict).
    TrackState State() const;
    // Run before each step of a run; see the tracking run for its use.
    bool CheckReady();

    // True when some frame from ... to (inclusive) has no position.
    bool HasGap(int fromFrame, int toFrame) const;
    // First record index from `fromIndex` toward `toIndex` (both included,
    // either direction) that has a position.
    bool FindStoredFrame(int fromIndex, int toIndex, int* index) const;
    // Moves the working position to the stored position nearest to FrameNo
    // (ties: the earlier frame). Returns the distance in frames, or -1 (and
    // PosX = PosY = -1) when no record has a position.
    int LoadNearestStored();

    // Search steps on the working bitmap. Each writes its result into the
    // point and into the current record (when FrameNo lies inside Records).
    void CorrelationStep(const Frame& working);
    void CentreSearch(const Frame& working, bool wide);
    // Captures the template around (DisplayX, DisplayY).
    void CaptureTemplate(const Frame& working);
    // The template update of a run: captures it anew around (DisplayX,
    // DisplayY), keeping the first template for the drift correction.
    void RefreshTemplate(const Frame& working);

    // Clears the stored positions of frames a <= f < b.
    void ClearRecords(int fromFrame, int endFrame);

private:
    int IndexOf(int frame) const { return frame - BaseFrame; }
};
