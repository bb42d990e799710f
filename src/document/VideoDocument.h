#pragma once
// The document of one opened recording, without any widget: its recording
// information, the source reader, the frame as read (`FrameBitmap`), the
// processed frame that is shown, measured and exported (`DisplayBitmap`), the
// ordered display operations applied to every frame, and the histograms.
// The document window (TQORVideo) wraps one of these and shows DisplayBitmap.

#include "adjust/AdjustmentEntry.h"
#include "common/Frame.h"
#include "common/FrameClock.h"
#include "common/Rational.h"
#include "document/FrameSource.h"
#include "document/RecordingInfo.h"
#include "tracking/engine/Kinematics.h"
#include "tracking/engine/TrackingPointList.h"

#include <QObject>
#include <array>
#include <memory>

class VideoDocument : public QObject {
    Q_OBJECT
public:
    explicit VideoDocument(QObject* parent = nullptr);
    ~VideoDocument() override;

    // Takes over an opened source: the source fills the record, the range
    // covers the whole recording and the first frame is loaded (frame
    // `TimeZeroFrame` for AVI, frame 0 otherwise — or the first frame when 0
    // lies outside the recording).
    void AttachSource(std::unique_ptr<FrameSource> source, const QString& fileName);
    FrameSource* Source() const { return m_source.get(); }
    bool IsOpen() const { return m_source != nullptr; }

    // The recording's frames on the common time axis: an exact rate from
    // `FrameRate` (or from `FrameInterval` when no whole rate is stored) and
    // `TimeZeroFrame`.
    FrameClock Clock() const;
    Rational TimeOfFrame(int frameNumber) const;
    // The frame at a time, kept within the range of an int.
    int FrameAtTime(const Rational& seconds) const;

    // An AVI without our information chunk carries only a playback rate; its
    // time base is assumed (1000 fps, frame 0 at time 0) until the user says
    // at what rate it was recorded.
    bool CanSetRecordingRate() const;
    bool TimeBaseAssumed() const { return CanSetRecordingRate() && !m_recordingRateChosen; }
    // Re-times such a recording: `framesPerSecond` > 0, `timeZeroFrame`
    // within the recording. Returns false (and changes nothing) otherwise.
    // The caller moves the common axis; the current frame stays loaded.
    bool SetRecordingRate(int framesPerSecond, int timeZeroFrame);

    // Positions the document on frame n and renders DisplayBitmap. A frame
    // outside the recording puts the document "outside the recording": the
    // nearest frame is loaded (so tools keep a valid frame), the picture is
    // black and the frame read-out shows "—". Returns 1.
    int LoadFrame(int frameNumber);
    // Loads the frame at time t; CurrentTime is that frame's exact time.
    void GotoTime(const Rational& seconds);
    // GotoTime in two halves, so that several documents can read and render
    // at once: PrepareTime touches only this document (no signal, no
    // widget) and may run on a worker thread; PublishFrame then tells the
    // window on the user-interface thread.
    void PrepareTime(const Rational& seconds);
    void PublishFrame() { emit frameLoaded(); }
    bool IsOutsideRecording() const { return m_outside; }
    // Why the last LoadFrame() could not read its frame (a missing or damaged
    // record: FrameBitmap is then black); empty after a good read.
    QString FrameReadError;
    // Renders frame n into `out` for an exporter: the pixels LoadFrame would
    // put in DisplayBitmap, without histograms and without telling the
    // window (DisplayBitmap and the view stay as they are).
    void RenderFrameForExport(int frameNumber, Frame& out);
    // Loads the current frame again (after settings or operations changed).
    void Redisplay();
    // After the display operations changed: the owner of the common time
    // axis (listening to renderRequested) renders the frame at that time,
    // which may differ from the current frame after an export. A document
    // nobody listens to renders its current frame.
    void RequestRender();
    // Sets DisplayBitmap to FrameBitmap with every adjustment applied in list order.
    void RenderFrame();
    void ComputeHistograms();
    // Histograms cost a pass over every pixel: while nobody shows them they
    // are not computed. Asking for them again computes them for the frame
    // on show. On by default.
    void SetHistogramsWanted(bool wanted);
    bool HistogramsCurrent() const { return m_histogramsCurrent; }
    // The document's tracking points. The tracking frame and the analysis
    // files work on this list; the points live as long as the document.
    TrackingPointList& TrackingPoints() { return m_trackingPoints; }
    const TrackingPointList& TrackingPoints() const { return m_trackingPoints; }
    // Points every tracking point at the current frame and takes its shown
    // position from that frame's record (the markers follow). Runs on every
    // frame load; points whose records do not reach the frame are left alone.
    void UpdateTrackingPoints();

    // Rewrites the text of a time-stamp entry (kind 28) from the current frame.
    void UpdateTimeStampText(AdjustmentEntry& entry) const;

    // Status-bar texts: "12/200" ("— / 200" outside the recording) and "0.0120s".
    QString FrameReadout() const;
    QString TimeReadout() const;

    // Appends an entry, its fields clamped to what the tool frames can set,
    // and returns it (the list owns it).
    AdjustmentEntry* AppendEntry(std::unique_ptr<AdjustmentEntry> entry);
    // Removes and frees an entry; no-op when it is not in the list.
    void RemoveEntry(const AdjustmentEntry* entry);

    RecordingInfo Info;
    Frame FrameBitmap;
    Frame DisplayBitmap;
    AdjustmentList Adjustments;        // the document's `AdjustmentList`
    AdjustmentEntry* GridEntry = nullptr;
    // Where the tracking results measure from and which way Y grows.
    MeasurementOrigin Origin;
    Rational CurrentTime;
    bool HasInfoChunk = false;

    std::array<int, 256> RedHistogram{};
    std::array<int, 256> GreenHistogram{};
    std::array<int, 256> BlueHistogram{};
    std::array<int, 256> LumaHistogram{};

signals:
    // After every LoadFrame: DisplayBitmap holds the new frame. Tracking
    // copies it into its working bitmap, the window refreshes its view.
    void frameLoaded();
    // The display operations changed; render the frame at the common time.
    void renderRequested();

private:
    bool m_recordingRateChosen = false;
    // Positions on frame n and reads it from the source into FrameBitmap.
    void ReadSourceFrame(int frameNumber);
    void ReadSourceFrame(int frameNumber, Frame& target);
    // Time-stamp texts for the current frame; remembers the grid entry.
    void PrepareEntries();

    std::unique_ptr<FrameSource> m_source;
    TrackingPointList m_trackingPoints;
    int m_requestedFrame = 0; // the frame asked for, maybe outside the recording
    bool m_outside = false;
    bool m_histogramsWanted = true;
    bool m_histogramsCurrent = false;

    void loadFrame(int frameNumber); // LoadFrame without the signal
};
