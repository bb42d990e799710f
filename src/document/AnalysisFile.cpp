// Analysis files on disk and their exchange with a document.

#include "document/AnalysisFile.h"

#include "document/VideoDocument.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// A file far larger than any analysis (a recording picked by mistake) is
// refused before it is read into memory.
constexpr qint64 kMaxFileSize = qint64(1) << 30;

QString Quoted(const QString& path)
{
    return QStringLiteral("\"%1\"").arg(QFileInfo(path).absoluteFilePath());
}

// The frames a document's tracking points keep records for.
int RecordCount(const RecordingInfo& info)
{
    return info.LastFrame - info.FirstFrame + 1;
}

bool IsFreshRecord(const TrackRecord& r, uint8_t method)
{
    return r.Status == 0 && r.X == -1.0 && r.Y == -1.0 && r.RecMethod == method;
}

} // namespace

QString AnalysisPathFor(const QString& recordingPath)
{
    return recordingPath + QStringLiteral(".qora");
}

AnalysisProblem ReadAnalysisFile(const QString& path, Analysis* analysis, QString* message)
{
    QFile file(path);
    if (!file.exists()) {
        *message = QStringLiteral("The analysis file %1 does not exist.").arg(Quoted(path));
        return AnalysisProblem::Missing;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        *message = QStringLiteral("The analysis file %1 cannot be read: %2.").arg(Quoted(path), file.errorString());
        return AnalysisProblem::Unreadable;
    }
    if (file.size() > kMaxFileSize) {
        *message = QStringLiteral("The analysis file %1 is damaged: it is far too large.").arg(Quoted(path));
        return AnalysisProblem::Damaged;
    }
    const QByteArray bytes = file.readAll();
    QString detail;
    const AnalysisProblem problem = AnalysisFromJson(bytes, analysis, &detail);
    if (problem == AnalysisProblem::NewerVersion)
        *message = QStringLiteral("The analysis file %1 was written by a newer version of Qor Player (%2).")
                       .arg(Quoted(path), detail);
    else if (problem != AnalysisProblem::None)
        *message = QStringLiteral("The analysis file %1 is damaged: %2.").arg(Quoted(path), detail);
    return problem;
}

bool WriteAnalysisFile(const QString& path, const Analysis& analysis, QString* error)
{
    const QByteArray bytes = AnalysisToJson(analysis);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = QStringLiteral("Cannot write the analysis file %1: %2.").arg(Quoted(path), file.errorString());
        return false;
    }
    if (file.write(bytes) != bytes.size()) {
        *error = QStringLiteral("Cannot write the analysis file %1: %2.").arg(Quoted(path), file.errorString());
        file.cancelWriting();
        return false;
    }
    // The previous file (perhaps one this program could not read) stays
    // beside the new one. Copied, not renamed: the old file keeps its name
    // until the new one has replaced it whole.
    const QString backup = path + QStringLiteral(".bak");
    if (QFile::exists(path)) {
        QFile::remove(backup);
        if (!QFile::copy(path, backup)) {
            *error = QStringLiteral("Cannot keep the previous analysis file as %1.").arg(Quoted(backup));
            file.cancelWriting();
            return false;
        }
    }
    if (!file.commit()) {
        *error = QStringLiteral("Cannot write the analysis file %1: %2.").arg(Quoted(path), file.errorString());
        return false;
    }
    return true;
}

AnalysisPoint StoredPoint(const TTrackingPoint& point)
{
    AnalysisPoint stored;
    stored.Point = point;
    stored.Point.Records.clear();
    stored.Point.Records.shrink_to_fit();
    for (const TrackRecord& r : point.Records)
        if (!IsFreshRecord(r, point.Params.Method))
            stored.Records.push_back(r);
    return stored;
}

std::unique_ptr<TTrackingPoint> MakeTrackingPoint(const AnalysisPoint& stored, int firstFrame, int frameCount,
                                                  int timeZeroFrame, int frameRate)
{
    auto point = std::make_unique<TTrackingPoint>(stored.Point);
    point->InitRecords(firstFrame, frameCount, timeZeroFrame, frameRate);
    for (const TrackRecord& r : stored.Records) {
        if (TrackRecord* record = point->RecordAt(r.FrameNo)) {
            record->Status = r.Status;
            record->X = r.X;
            record->Y = r.Y;
            record->RecMethod = r.RecMethod;
        }
    }
    point->FrameNo = firstFrame;
    return point;
}

Analysis CaptureAnalysis(const VideoDocument& doc)
{
    Analysis a;
    const RecordingInfo& info = doc.Info;
    a.Recording.FileName = QFileInfo(info.FileName).fileName();
    a.Recording.Size = QFileInfo(info.FileName).size();
    a.Recording.FrameCount = RecordCount(info);
    a.Recording.FirstFrame = info.FirstFrame;
    if (doc.CanSetRecordingRate() && !doc.TimeBaseAssumed()) {
        a.Recording.ChosenRate = info.FrameRate;
        a.Recording.ChosenTimeZeroFrame = info.TimeZeroFrame;
    }
    for (const auto& entry : doc.Adjustments)
        a.Adjustments.push_back(std::make_unique<AdjustmentEntry>(*entry));
    a.Calibration.CalUnitIndex = info.CalUnitIndex;
    a.Calibration.PixelsPerUnit = info.PixelsPerUnit;
    a.Calibration.CalPoint1 = info.CalPoint1;
    a.Calibration.CalPoint2 = info.CalPoint2;
    for (const auto& point : doc.TrackingPoints())
        a.Points.push_back(StoredPoint(*point));
    a.Origin = doc.Origin;
    return a;
}

AnalysisProblem CheckAnalysisRecording(const Analysis& analysis, const VideoDocument& doc, const QString& path,
                                       QString* message)
{
    const qint64 size = QFileInfo(doc.Info.FileName).size();
    const int frames = RecordCount(doc.Info);
    QString difference;
    if (analysis.Recording.Size != size)
        difference = QStringLiteral("it was made for a recording of %1 bytes, this one has %2")
                         .arg(analysis.Recording.Size)
                         .arg(size);
    else if (analysis.Recording.FrameCount != frames || analysis.Recording.FirstFrame != doc.Info.FirstFrame)
        difference = QStringLiteral("it was made for a recording of %1 frames from frame %2, this one has %3 from %4")
                         .arg(analysis.Recording.FrameCount)
                         .arg(analysis.Recording.FirstFrame)
                         .arg(frames)
                         .arg(doc.Info.FirstFrame);
    if (difference.isEmpty())
        return AnalysisProblem::None;
    *message = QStringLiteral("The analysis file %1 belongs to another recording: %2.").arg(Quoted(path), difference);
    return AnalysisProblem::OtherRecording;
}

void ApplyAnalysis(const Analysis& analysis, VideoDocument& doc)
{
    // The chosen rate first: the points' record times follow it. A rate the
    // caller has set already (the command line's --rate) stays.
    if (analysis.Recording.ChosenRate > 0 && doc.TimeBaseAssumed())
        doc.SetRecordingRate(analysis.Recording.ChosenRate, analysis.Recording.ChosenTimeZeroFrame);
    doc.GridEntry = nullptr;
    doc.Adjustments.clear();
    for (const auto& entry : analysis.Adjustments)
        doc.AppendEntry(std::make_unique<AdjustmentEntry>(*entry));
    RecordingInfo& info = doc.Info;
    info.CalUnitIndex = analysis.Calibration.CalUnitIndex;
    info.PixelsPerUnit = analysis.Calibration.PixelsPerUnit;
    info.CalPoint1 = analysis.Calibration.CalPoint1;
    info.CalPoint2 = analysis.Calibration.CalPoint2;
    TrackingPointList& points = doc.TrackingPoints();
    points.Clear();
    for (const AnalysisPoint& stored : analysis.Points)
        points.Append(MakeTrackingPoint(stored, info.FirstFrame, RecordCount(info), info.TimeZeroFrame, info.FrameRate));
    doc.Origin = analysis.Origin;
    doc.UpdateTrackingPoints();
}

AnalysisProblem LoadAnalysisFor(const VideoDocument& doc, const QString& path, Analysis* analysis, QString* message)
{
    Analysis read;
    const AnalysisProblem problem = ReadAnalysisFile(path, &read, message);
    if (problem != AnalysisProblem::None)
        return problem;
    if (CheckAnalysisRecording(read, doc, path, message) != AnalysisProblem::None)
        return AnalysisProblem::OtherRecording;
    *analysis = std::move(read);
    return AnalysisProblem::None;
}
