// qorplayer-cli track: places tracking points on a recording, runs the
// automatic tracking over a frame range and writes one CSV file per point.
//
//   track FILE --point X,Y[,METHOD[,FRAME]] [--point ...] --csv OUT
//         [--first A] [--last B] [--template N] [--search PERCENT]
//         [--threshold T] [--spot-percent P | --spot-range LOW,HIGH]
//         [--origin X,Y] [--y-up | --y-down] [--rpm-signed] [--accept-lost]
//         [--analysis FILE] [--save-analysis FILE] [adjustment options]
//
// --analysis starts from a saved analysis: its points (with what they
// tracked already) join the --point ones, and its origin, Y direction and
// marked range are used where the command line gives none.
// --save-analysis writes the points as tracked, with the origin, the Y
// direction and the run's range, into an analysis file.
//
// Positions are measured from the origin (sub-pixel, image pixels), or
// without one from the picture's bottom-left corner (--y-up, the default: Y
// grows upward) or top-left corner (--y-down: Y grows downward). Rotation
// speed is taken about the origin; without one it is written as missing and
// the command says so. --rpm-signed keeps the direction of turn in the RPM
// column (positive from +X toward +Y).
//
// METHOD is quadrant, light, dark or correlation (default correlation);
// FRAME is the frame the point is placed on (default A). The run goes over
// A ... B in Auto mode. Where the program would stop and ask the user (a
// point lost below the threshold, its centre not found, a point to place),
// the command stops with a one-line message naming the point and the frame,
// writes what was tracked so far and exits with 3 — unless --accept-lost,
// which accepts the searched position and goes on.

#include "cli/CliCommand.h"
#include "cli/CliSupport.h"
#include "document/AnalysisFile.h"
#include "document/VideoDocument.h"
#include "sources/SourceFactory.h"
#include "tracking/engine/TrackingEngine.h"
#include "tracking/engine/TrackingExport.h"
#include "tracking/engine/TrackingTexts.h"

#include "cli/AdjustmentOptions.h"
#include "cli/CalibrateOption.h"
#include "graphs/TrackingSpreadsheet.h"

#include <QFileInfo>
#include <optional>

namespace {

struct PointRequest {
    double x = 0;
    double y = 0;
    uint8_t method = tracking::MethodCorrelation;
    std::optional<int> frame;
};

// The document seen by the engine: frames are loaded and rendered with the
// command's adjustments.
class CliTrackingDriver : public TrackingDriver {
public:
    explicit CliTrackingDriver(VideoDocument& doc)
        : m_doc(doc)
    {
    }
    const Frame* FrameAt(int n) override
    {
        if (n < m_doc.Info.FirstFrame || n > m_doc.Info.LastFrame)
            return nullptr;
        m_doc.LoadFrame(n);
        return m_doc.FrameReadError.isEmpty() ? &m_doc.DisplayBitmap : nullptr;
    }

private:
    VideoDocument& m_doc;
};

std::optional<PointRequest> ParsePoint(const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() < 2 || parts.size() > 4) {
        CliError(QStringLiteral("--point \"%1\": expected X,Y[,METHOD[,FRAME]]").arg(text));
        return std::nullopt;
    }
    PointRequest p;
    const auto x = CliReal(parts[0], QStringLiteral("--point X"));
    const auto y = CliReal(parts[1], QStringLiteral("--point Y"));
    if (!x || !y)
        return std::nullopt;
    p.x = *x;
    p.y = *y;
    if (parts.size() >= 3) {
        const QString m = parts[2].trimmed().toLower();
        if (m == QLatin1String("quadrant"))
            p.method = tracking::MethodQuadrant;
        else if (m == QLatin1String("light"))
            p.method = tracking::MethodLightSpot;
        else if (m == QLatin1String("dark"))
            p.method = tracking::MethodDarkSpot;
        else if (m == QLatin1String("correlation"))
            p.method = tracking::MethodCorrelation;
        else {
            CliError(QStringLiteral("--point \"%1\": method must be quadrant, light, dark or correlation").arg(text));
            return std::nullopt;
        }
    }
    if (parts.size() == 4) {
        const auto frame = CliInt(parts[3], QStringLiteral("--point FRAME"));
        if (!frame)
            return std::nullopt;
        p.frame = *frame;
    }
    return p;
}

std::optional<std::pair<double, double>> ParsePair(const QString& option, const QString& text)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2) {
        CliError(QStringLiteral("%1 \"%2\": expected two numbers A,B").arg(option, text));
        return std::nullopt;
    }
    const auto a = CliReal(parts[0], option);
    const auto b = CliReal(parts[1], option);
    if (!a || !b)
        return std::nullopt;
    return std::make_pair(*a, *b);
}

// OUT itself for one point; OUT with "-<point name>" before the extension
// for several.
QString OutputPathFor(const QString& out, const QString& pointName, bool several)
{
    if (!several)
        return out;
    const QFileInfo info(out);
    const QString suffix = info.suffix();
    const QString base = suffix.isEmpty() ? out : out.left(out.size() - suffix.size() - 1);
    return base + QLatin1Char('-') + pointName + (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
}

// How the run of the command ended.
struct RunEnd {
    bool refused = false;  // the run did not start; the reason is reported
    bool stopped = false;  // stopped before the end of the range (exit code 3)
    QString message;       // to report after the files are written
};

// Runs the engine tick by tick to the end of the range. Where the window
// would ask the user, the command stops, or with acceptLost takes the
// searched position and goes on.
RunEnd RunToTheEnd(TrackingEngine& engine, bool acceptLost)
{
    RunEnd end;
    StartOutcome start = engine.StartRun();
    if (start == StartOutcome::Question)
        start = engine.AnswerDefineOnCurrentFrame(true);
    if (start == StartOutcome::NothingToDo)
        return end;
    if (start != StartOutcome::Started) {
        CliError(QStringLiteral("track: %1").arg(start == StartOutcome::FrameNotLoaded
                                                     ? QStringLiteral("cannot load frame %1").arg(engine.FailedFrame())
                                                     : StartRefusalText(start)));
        end.refused = true;
        return end;
    }
    for (;;) {
        const TickOutcome tick = engine.OnTimerTick();
        if (tick == TickOutcome::NextFrame)
            continue;
        if (tick == TickOutcome::WaitingForUser) {
            const RunQuestion q = engine.Question();
            if (acceptLost) {
                engine.SetCurrentPoint(q.point);
                engine.ConfirmCurrent();
                continue;
            }
            end.message = QStringLiteral("%1 at frame %2")
                              .arg(PanelMessageText(engine.Panel().kind, q.point ? q.point->Name : QString()))
                              .arg(q.frame);
            end.stopped = true;
        } else if (tick == TickOutcome::FrameNotLoaded) {
            CliError(QStringLiteral("track: cannot load frame %1").arg(engine.FailedFrame()));
            end.stopped = true;
        } else if (tick == TickOutcome::StepLimit || tick == TickOutcome::NoPoints) {
            end.message = RunEndText(tick, engine.FailedFrame());
            end.stopped = true;
        }
        break;  // finished, stopped, or nothing more to run
    }
    if (engine.Running())
        engine.StopRun();
    return end;
}

int runTrack(const CliArgs& args)
{
    const QStringList& positional = args.positional();
    if (positional.size() != 1) {
        CliError(QStringLiteral("usage: qorplayer-cli track FILE --point X,Y[,METHOD[,FRAME]] ... --csv OUT"));
        return 2;
    }

    std::vector<PointRequest> requests;
    for (const QString& text : args.values("--point")) {
        const auto p = ParsePoint(text);
        if (!p)
            return 2;
        requests.push_back(*p);
    }
    if (requests.empty() && !args.has("--analysis")) {
        CliError(QStringLiteral("track: give at least one --point X,Y"));
        return 2;
    }
    // The tracking CSV, the spreadsheet, or both.
    const auto csv = args.value("--csv");
    const auto xlsx = args.value("--xlsx");
    if ((!csv || csv->isEmpty()) && (!xlsx || xlsx->isEmpty()) && !args.has("--save-analysis")) {
        CliError(QStringLiteral("track: --csv OUT, --xlsx OUT.xlsx or --save-analysis FILE is required"));
        return 2;
    }

    // Search settings for every point.
    std::optional<int> templateSize, searchPercent, spotPercent;
    std::optional<double> threshold;
    std::optional<std::pair<double, double>> spotRange, origin;
    if (auto v = args.value("--template")) {
        if (!(templateSize = CliInt(*v, QStringLiteral("--template"))))
            return 2;
        if (*templateSize < 3 || *templateSize > 255) {
            CliError(QStringLiteral("--template must lie between 3 and 255 pixels"));
            return 2;
        }
    }
    if (auto v = args.value("--search")) {
        if (!(searchPercent = CliInt(*v, QStringLiteral("--search"))))
            return 2;
        if (*searchPercent < 110 || *searchPercent > 1000) {
            CliError(QStringLiteral("--search must lie between 110 and 1000 percent"));
            return 2;
        }
    }
    if (auto v = args.value("--threshold")) {
        if (!(threshold = CliReal(*v, QStringLiteral("--threshold"))))
            return 2;
        if (!(*threshold >= 0.01 && *threshold <= 1.0)) {
            CliError(QStringLiteral("--threshold must lie between 0.01 and 1.00"));
            return 2;
        }
    }
    if (auto v = args.value("--spot-percent")) {
        if (!(spotPercent = CliInt(*v, QStringLiteral("--spot-percent"))))
            return 2;
        if (*spotPercent < 0 || *spotPercent > 100) {
            CliError(QStringLiteral("--spot-percent must lie between 0 and 100"));
            return 2;
        }
    }
    if (auto v = args.value("--spot-range")) {
        if (!(spotRange = ParsePair(QStringLiteral("--spot-range"), *v)))
            return 2;
        if (spotRange->first < 0 || spotRange->second > 255 || spotRange->first > spotRange->second) {
            CliError(QStringLiteral("--spot-range must be LOW,HIGH with 0 <= LOW <= HIGH <= 255"));
            return 2;
        }
        if (spotPercent) {
            CliError(QStringLiteral("track: give either --spot-percent or --spot-range"));
            return 2;
        }
    }
    if (auto v = args.value("--origin")) {
        if (!(origin = ParsePair(QStringLiteral("--origin"), *v)))
            return 2;
    }
    const bool yDown = args.has("--y-down");
    if (yDown && args.has("--y-up")) {
        CliError(QStringLiteral("track: give either --y-up or --y-down"));
        return 2;
    }

    VideoDocument doc;
    Analysis analysis;
    if (const int failed = CliOpenDocument(doc, positional[0], args, &analysis))
        return failed;
    if (requests.empty() && doc.TrackingPoints().isEmpty()) {
        CliError(QStringLiteral("track: the analysis holds no points: give at least one --point X,Y"));
        return 2;
    }
    if (!origin && analysis.Origin.HasOrigin)
        origin = std::make_pair(analysis.Origin.X, analysis.Origin.Y);
    const bool yDownGiven = yDown || args.has("--y-up");
    const YDirection yDirection =
        yDownGiven ? (yDown ? YDirection::Down : YDirection::Up) : analysis.Origin.YDir;
    const RecordingInfo& info = doc.Info;
    int first = analysis.Marks.Set ? std::max(info.FirstFrame, analysis.Marks.InFrame) : info.FirstFrame;
    int last = analysis.Marks.Set ? std::min(info.LastFrame, analysis.Marks.OutFrame) : info.LastFrame;
    if (auto v = args.value("--first")) {
        const auto n = CliInt(*v, QStringLiteral("--first"));
        if (!n)
            return 2;
        first = *n;
    }
    if (auto v = args.value("--last")) {
        const auto n = CliInt(*v, QStringLiteral("--last"));
        if (!n)
            return 2;
        last = *n;
    }
    if (first < info.FirstFrame || last > info.LastFrame || first > last) {
        CliError(QStringLiteral("track: frames %1 .. %2 do not lie within the recording (%3 .. %4)")
                     .arg(first).arg(last).arg(info.FirstFrame).arg(info.LastFrame));
        return 2;
    }
    for (PointRequest& r : requests) {
        if (!r.frame)
            r.frame = first;
        if (*r.frame < info.FirstFrame || *r.frame > info.LastFrame) {
            CliError(QStringLiteral("track: point frame %1 is outside the recording").arg(*r.frame));
            return 2;
        }
        if (!(r.x >= 0 && r.y >= 0 && r.x <= doc.FrameBitmap.width() && r.y <= doc.FrameBitmap.height())) {
            CliError(QStringLiteral("track: point %1,%2 lies outside the %3 x %4 frame")
                         .arg(r.x).arg(r.y).arg(doc.FrameBitmap.width()).arg(doc.FrameBitmap.height()));
            return 2;
        }
    }
    if (templateSize && (*templateSize > doc.FrameBitmap.width() || *templateSize > doc.FrameBitmap.height())) {
        CliError(QStringLiteral("--template is larger than the frame"));
        return 2;
    }

    CliTrackingDriver driver(doc);
    TrackingPointList& points = doc.TrackingPoints();
    TrackingEngine engine(points, driver);
    TrackingRecording recording;
    recording.FirstFrame = info.FirstFrame;
    recording.FrameCount = info.LastFrame - info.FirstFrame + 1;
    recording.TimeZeroFrame = info.TimeZeroFrame;
    recording.FrameRate = info.FrameRate;
    recording.FrameWidth = doc.FrameBitmap.width();
    recording.FrameHeight = doc.FrameBitmap.height();
    engine.SetRecording(recording);
    engine.SetRange(first, last, first, last);

    // Place every point as a click on its frame would, with the settings
    // of the command line applied as the settings dialog would apply them.
    for (const PointRequest& r : requests) {
        if (!engine.GoToFrame(*r.frame)) {
            CliError(QStringLiteral("track: cannot load frame %1").arg(*r.frame));
            return 1;
        }
        tracking::SearchParameters params = TrackingEngine::DefaultParameters(r.method);
        params.setSize(templateSize.value_or(params.TemplateWidth), templateSize.value_or(params.TemplateHeight),
                       searchPercent.value_or(params.SearchPercent));
        if (threshold)
            params.Threshold = *threshold;
        if (spotRange) {
            params.FixedRange = 1;
            params.RangeMin = int(spotRange->first);
            params.RangeMax = int(spotRange->second);
        } else if (spotPercent) {
            params.FixedRange = 0;
            params.ThresholdPercent = *spotPercent;
        }
        if (!engine.AddPoint(r.x, r.y, params)) {
            CliError(QStringLiteral("track: too many points"));
            return 2;
        }
    }

    const RunEnd end = RunToTheEnd(engine, args.has("--accept-lost"));
    if (end.refused)
        return 1;
    const bool stoppedForUser = end.stopped;
    const QString stopMessage = end.message;

    TrackingExportInfo exportInfo;
    exportInfo.FirstFrame = info.FirstFrame;
    exportInfo.TimeZeroFrame = info.TimeZeroFrame;
    exportInfo.FrameRate = info.FrameRate;
    exportInfo.CalUnitIndex = info.CalUnitIndex;
    exportInfo.Kinematics.PixelsPerUnit = info.PixelsPerUnit;
    exportInfo.Kinematics.FrameWidth = doc.FrameBitmap.width();
    exportInfo.Kinematics.FrameHeight = doc.FrameBitmap.height();
    exportInfo.Kinematics.YDir = yDirection;
    exportInfo.Kinematics.SignedRpm = args.has("--rpm-signed");
    if (origin) {
        exportInfo.Kinematics.HasOrigin = true;
        exportInfo.Kinematics.OriginX = origin->first;
        exportInfo.Kinematics.OriginY = origin->second;
    }
    if (!CanComputeRpm(exportInfo.Kinematics))
        CliError(QStringLiteral("track: RPM needs a centre: give --origin X,Y (RPM written as missing)"));
    const bool several = points.size() > 1;
    for (const auto& p : points) {
        QStringList written;
        QString error;
        if (csv && !csv->isEmpty()) {
            const QString path = OutputPathFor(*csv, p->Name, several);
            if (!WriteTrackingCsv(path, *p, exportInfo, &error)) {
                CliError(QStringLiteral("cannot write %1").arg(error));
                return 1;
            }
            written << path;
        }
        if (xlsx && !xlsx->isEmpty()) {
            const QString path = OutputPathFor(*xlsx, p->Name, several);
            if (!WriteTrackingSpreadsheet(path, TrackingSheetFor(*p, exportInfo), &error)) {
                CliError(error);
                return 1;
            }
            written << path;
        }
        int tracked = 0;
        for (int f = first; f <= last; ++f)
            tracked += p->HasPositionAt(f) ? 1 : 0;
        const QString line = QStringLiteral("%1: %2 of %3 frames tracked").arg(p->Name).arg(tracked).arg(last - first + 1);
        CliPrint(written.isEmpty() ? line : line + QStringLiteral(" -> ") + written.join(QStringLiteral(", ")));
    }
    if (const auto path = args.value("--save-analysis")) {
        Analysis tracked = CaptureAnalysis(doc);
        tracked.Origin.HasOrigin = origin.has_value();
        tracked.Origin.X = origin ? origin->first : 0.0;
        tracked.Origin.Y = origin ? origin->second : 0.0;
        tracked.Origin.YDir = yDirection;
        tracked.Marks = {.Set = true, .InFrame = first, .OutFrame = last};
        QString error;
        if (!WriteAnalysisFile(*path, tracked, &error)) {
            CliError(error);
            return 1;
        }
        CliPrint(QStringLiteral("analysis: %1 points -> %2").arg(points.size()).arg(*path));
    }
    if (!stopMessage.isEmpty())
        CliError(QStringLiteral("track: %1").arg(stopMessage));
    return stoppedForUser ? 3 : 0;
}

const CliCommand reg{
    "track", "FILE --point X,Y[,METHOD[,FRAME]] [--point ...] --csv OUT|--xlsx OUT.xlsx",
    "places tracking points, tracks them over a frame range and writes one CSV/spreadsheet per point",
    CliOptions(
        {
            {"--point", "X,Y[,M[,F]]", "a point at X,Y; method quadrant, light, dark or correlation; placed on frame F", true},
            {"--csv", "OUT", "write the tracking CSV (OUT-<point>.csv for several points)"},
            {"--xlsx", "OUT.xlsx", "write the tracking spreadsheet"},
            RateOption(),
            {"--first", "A", "first frame of the run (default: the recording's first)"},
            {"--last", "B", "last frame of the run (default: the recording's last)"},
            {"--template", "N", "template size 3..255 pixels"},
            {"--search", "PERCENT", "search area 110..1000 percent of the template"},
            {"--threshold", "T", "correlation threshold 0.01..1.00"},
            {"--spot-percent", "P", "spot threshold 0..100 percent"},
            {"--spot-range", "LOW,HIGH", "fixed spot grey range within 0..255"},
            {"--origin", "X,Y", "origin of positions and centre of rotation speed"},
            {"--y-up", nullptr, "Y grows upward from the bottom-left corner (default)"},
            {"--y-down", nullptr, "Y grows downward from the top-left corner"},
            {"--rpm-signed", nullptr, "keep the direction of turn in the RPM column"},
            {"--accept-lost", nullptr, "accept the searched position where the run would ask"},
            AnalysisOption(),
            {"--save-analysis", "FILE", "write the tracked points, origin and range into an analysis file"},
            CalibrateOption(),
        },
        AdjustmentOptionTable()),
    &runTrack};

} // namespace
