// libFuzzer target: the analysis file reader, and what opening a recording
// does with a file it took. The input is the whole .qora file. A file that
// is refused must say why; a file that is taken must write out as a file
// that reads back the same, and must apply to a (small, in-memory)
// recording: its adjustments rendered, its points made tracking points of
// that recording with their records in place, their results computed.

#include "document/AnalysisFile.h"
#include "document/VideoDocument.h"
#include "tracking/engine/Kinematics.h"

#include <QByteArray>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>

namespace {

// A recording of a few 16 x 12 frames, painted from the frame number.
class SmallRecording : public FrameSource {
public:
    SmallRecording(int first, int count) : m_first(first), m_last(first + count - 1) {}

    int sourceKind() const override { return 7; }
    void fillInfo(RecordingInfo& info) const override
    {
        info.FrameCount = m_last - m_first + 1;
        info.FirstFrame = m_first;
        info.LastFrame = m_last;
        info.FrameRate = 1000;
        info.TimeZeroFrame = m_first;
        info.ImageWidth = 16;
        info.ImageHeight = 12;
    }
    bool readFrame(int n, Frame& frame) override
    {
        if (n < m_first || n > m_last)
            return false;
        frame.resize(16, 12);
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 16; ++x) {
                uint8_t* p = frame.pixel(x, y);
                p[0] = uint8_t(x * 16 + n);
                p[1] = uint8_t(y * 20);
                p[2] = uint8_t((x ^ y) * 9 + n * 3);
            }
        return true;
    }

private:
    int m_first, m_last;
};

bool IsFresh(const TrackRecord& r, uint8_t method)
{
    return r.Status == 0 && r.X == -1.0 && r.Y == -1.0 && r.RecMethod == method;
}

bool SameRecord(const TrackRecord& a, const TrackRecord& b)
{
    return a.FrameNo == b.FrameNo && a.Status == b.Status && a.X == b.X && a.Y == b.Y && a.RecMethod == b.RecMethod;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    Analysis analysis;
    QString detail;
    const AnalysisProblem problem = AnalysisFromJson(bytes, &analysis, &detail);
    if (problem != AnalysisProblem::None) {
        if (detail.isEmpty() || (problem != AnalysisProblem::Damaged && problem != AnalysisProblem::NewerVersion))
            __builtin_trap();
        return 0;
    }

    // Written out, it reads back as the same analysis.
    const QByteArray written = AnalysisToJson(analysis);
    Analysis reread;
    if (AnalysisFromJson(written, &reread, &detail) != AnalysisProblem::None)
        __builtin_trap();
    if (AnalysisToJson(reread) != written)
        __builtin_trap();

    // Opened with a recording of (at most 64 of) the frames it names. Logos
    // are not read: the file may name any path.
    const int count = std::clamp(analysis.Recording.FrameCount, 1, 64);
    const int first = std::clamp(analysis.Recording.FirstFrame, -1000000000, 1000000000);
    for (auto& entry : analysis.Adjustments)
        if (auto* logo = entry->As<LogoEntry>())
            logo->LogoFile.clear();
    VideoDocument doc;
    doc.AttachSource(std::make_unique<SmallRecording>(first, count), QStringLiteral("/nonexistent/fuzz.bvf"));
    QString message;
    if (CheckAnalysisRecording(analysis, doc, QStringLiteral("fuzz.bvf.qora"), &message) != AnalysisProblem::None &&
        message.isEmpty())
        __builtin_trap();
    ApplyAnalysis(analysis, doc);
    doc.Redisplay();
    doc.LoadFrame(first + count - 1);
    if (doc.Adjustments.size() != analysis.Adjustments.size() ||
        doc.TrackingPoints().size() != int(analysis.Points.size()))
        __builtin_trap();

    KinematicsSettings settings;
    settings.PixelsPerUnit = analysis.Calibration.PixelsPerUnit;
    settings.HasOrigin = analysis.Origin.HasOrigin;
    settings.OriginX = analysis.Origin.X;
    settings.OriginY = analysis.Origin.Y;
    settings.YDir = analysis.Origin.YDir;
    settings.FrameWidth = doc.FrameBitmap.width();
    settings.FrameHeight = doc.FrameBitmap.height();
    settings.Clock = doc.Clock();
    for (size_t i = 0; i < analysis.Points.size(); ++i) {
        const AnalysisPoint& stored = analysis.Points[i];
        TTrackingPoint& point = *doc.TrackingPoints()[int(i)];
        if (point.Records.size() != size_t(count))
            __builtin_trap();
        // The records of the recording's frames are in place; the others are dropped.
        std::vector<TrackRecord> kept;
        for (const TrackRecord& r : stored.Records)
            if (r.FrameNo >= first && r.FrameNo - first < count && !IsFresh(r, point.Params.Method))
                kept.push_back(r);
        const AnalysisPoint again = StoredPoint(point);
        if (!std::equal(kept.begin(), kept.end(), again.Records.begin(), again.Records.end(), SameRecord))
            __builtin_trap();

        point.LoadNearestStored();
        point.HasGap(first, first + count - 1);
        for (KinematicsQuantity q : {KinematicsQuantity::Position, KinematicsQuantity::Displacement,
                                     KinematicsQuantity::Velocity, KinematicsQuantity::Acceleration,
                                     KinematicsQuantity::Rpm}) {
            if (q == KinematicsQuantity::Rpm && !CanComputeRpm(settings))
                continue;
            const KinematicsSeries series = ComputeSeries(point.Records, settings, q, true);
            if (series.Times.size() != point.Records.size())
                __builtin_trap();
        }
        // A run's step from the nearest stored position with the stored
        // template and search settings (templates beyond the frame would
        // only be slow).
        if (point.PosX == -1.0)
            continue;
        point.SearchX = point.PosX;
        point.SearchY = point.PosY;
        if (!point.Template.isEmpty() && point.Template.width <= 16 && point.Template.height <= 12)
            point.CorrelationStep(doc.FrameBitmap);
        point.CentreSearch(doc.FrameBitmap, (i & 1) != 0);
    }
    return 0;
}
