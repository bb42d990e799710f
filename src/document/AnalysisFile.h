#pragma once
// The analysis file beside a recording ("NAME.EXT.qora"): everything a user
// builds on a recording, so that it survives closing the document. It holds
// the adjustment list (display operations, annotations, logos, the
// calibration grid), the calibration, the tracking points with their
// settings, templates and stored frames, the origin and Y direction of the
// measurements and the marked in/out frames. It is JSON (see
// docs/ANALYSIS-FILE.md) with a format version, and names the recording's
// size and frame count so that a file made for another recording is
// recognised and not applied.

#include "adjust/AdjustmentEntry.h"
#include "tracking/engine/Kinematics.h"
#include "tracking/engine/TrackingPoint.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <memory>
#include <vector>

class VideoDocument;

// The newest format this program writes and reads.
inline constexpr int AnalysisFormatVersion = 1;

// What the file knows of its recording.
struct AnalysisRecording {
    QString FileName;      // the recording's name without folder (for people reading the file)
    qint64 Size = 0;       // bytes
    int FrameCount = 0;
    int FirstFrame = 0;
    // The rate the user gave a recording that carries none (an AVI without
    // our information chunk), and its frame at time zero; 0 when none was
    // given. Without it, tracked times would come back at the assumed rate.
    int ChosenRate = 0;
    int ChosenTimeZeroFrame = 0;
};

struct AnalysisCalibration {
    int CalUnitIndex = 6;  // 0 µm, 1 mm, 2 cm, 3 m, 4 in, 5 ft, 6 pixels
    float PixelsPerUnit = 1.0f;
    std::array<float, 2> CalPoint1{};
    std::array<float, 2> CalPoint2{};
    bool operator==(const AnalysisCalibration&) const = default;
};

// The measurement origin (image pixels) and which way Y grows.
using AnalysisOrigin = MeasurementOrigin;

// The marked in/out range, as frames of this recording.
struct AnalysisMarks {
    bool Set = false;
    int InFrame = 0;
    int OutFrame = 0;
    bool operator==(const AnalysisMarks&) const = default;
};

// A tracking point as stored: its settings and template (Records empty) and
// the records worth keeping (every record that differs from a fresh one),
// in frame order.
struct AnalysisPoint {
    TTrackingPoint Point;
    std::vector<TrackRecord> Records;
};

struct Analysis {
    AnalysisRecording Recording;
    AdjustmentList Adjustments;
    AnalysisCalibration Calibration;
    std::vector<AnalysisPoint> Points;
    AnalysisOrigin Origin;
    AnalysisMarks Marks;
};

// Why an analysis file was not taken.
enum class AnalysisProblem {
    None,
    Missing,         // no file (not an error when opening a recording)
    Unreadable,      // it exists but cannot be read
    Damaged,         // not an analysis file of ours, or a field out of range
    NewerVersion,    // written by a newer version of the program
    OtherRecording,  // made for a recording of another size or frame count
};

// "NAME.EXT.qora" beside the recording.
QString AnalysisPathFor(const QString& recordingPath);

// The file's bytes (JSON on one line).
QByteArray AnalysisToJson(const Analysis& analysis);
// Parses the bytes of a file. On failure `analysis` is left as it was and
// `detail` says what is wrong (Damaged or NewerVersion).
AnalysisProblem AnalysisFromJson(const QByteArray& bytes, Analysis* analysis, QString* detail);

// Reads a file (Missing, Unreadable, Damaged, NewerVersion or None). The
// message names the file and the problem.
AnalysisProblem ReadAnalysisFile(const QString& path, Analysis* analysis, QString* message);
// Writes the file atomically: the whole file or nothing replaces the old
// one, and the old one is kept as "PATH.bak". False with the reason on failure
// (the old file is then untouched).
bool WriteAnalysisFile(const QString& path, const Analysis& analysis, QString* error);

// --- Documents ------------------------------------------------------------------
// The document's adjustments, calibration, tracking points, measurement
// origin and recording identity. The marks belong to the caller (they live
// on the common time axis).
Analysis CaptureAnalysis(const VideoDocument& doc);
// OtherRecording (with the message naming the file and the difference) when
// the analysis was made for another recording than the document's.
AnalysisProblem CheckAnalysisRecording(const Analysis& analysis, const VideoDocument& doc, const QString& path,
                                       QString* message);
// Replaces the document's adjustments, calibration, tracking points and
// measurement origin with the analysis's (entries clamped as any entry from outside). The caller
// renders the document again.
void ApplyAnalysis(const Analysis& analysis, VideoDocument& doc);
// Reads `path` and checks it against the document: None with `analysis`
// filled, or the problem and its message (the document is not touched).
AnalysisProblem LoadAnalysisFor(const VideoDocument& doc, const QString& path, Analysis* analysis, QString* message);

// A stored point as a tracking point of a recording (records for every frame
// firstFrame ... firstFrame + frameCount - 1, the stored ones filled in).
std::unique_ptr<TTrackingPoint> MakeTrackingPoint(const AnalysisPoint& stored, int firstFrame, int frameCount,
                                                  int timeZeroFrame, int frameRate);
// The stored form of a tracking point.
AnalysisPoint StoredPoint(const TTrackingPoint& point);
