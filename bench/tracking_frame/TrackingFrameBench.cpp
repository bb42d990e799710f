// A tracking run through the real tracking frame: the main window docks the
// frame, the frame moves the common time one frame per timer tick, every
// frame is read, decoded, rendered and shown with its markers, and the
// points are searched. The same points are then tracked by the bare engine
// over the same recording (read, decode, render, search; no window), so
// the difference is what the window adds.
//
//   bench_tracking_frame [frames] [points]   (default 1000 frames, 20 points;
//   1280 x 1024 colour Brava; runs offscreen unless QT_QPA_PLATFORM is set)

#include "app/shell/MainWindow.h"
#include "document/VideoDocument.h"
#include "document/window/VideoWindow.h"
#include "sources/SourceFactory.h"
#include "sources/bvf/SampleScene.h"
#include "tracking/engine/TrackingEngine.h"
#include "tracking/ui/AutoTrackFrame.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

// Seconds of processor time of the whole program: unlike the wall clock it
// does not count the time other programs on the machine take.
double CpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

struct Seconds {
    double wall = 0;
    double cpu = 0;
};

class Stopwatch {
public:
    Stopwatch() { m_wall.start(); m_cpu = CpuSeconds(); }
    Seconds elapsed() const { return {double(m_wall.nsecsElapsed()) / 1e9, CpuSeconds() - m_cpu}; }

private:
    QElapsedTimer m_wall;
    double m_cpu = 0;
};

const QSize Size(1280, 1024);

// A grid of points on the still, textured background, followed by
// correlation.
std::vector<QPointF> PointsToTrack(int count)
{
    std::vector<QPointF> points;
    for (int i = 0; int(points.size()) < count; ++i)
        points.emplace_back(110.5 + (i % 6) * 210, 100.5 + (i / 6) * 230);
    return points;
}

// The moving targets cross some of the points; with the lowest threshold
// no point stops the run to ask.
void AcceptEveryMatch(TrackingPointList& list)
{
    for (const auto& p : list)
        p->Params.Threshold = 0.01;
}

class DocumentDriver : public TrackingDriver {
public:
    explicit DocumentDriver(VideoDocument& doc) : m_doc(doc) {}
    const Frame* FrameAt(int n) override
    {
        m_doc.LoadFrame(n);
        return m_doc.FrameReadError.isEmpty() ? &m_doc.DisplayBitmap : nullptr;
    }

private:
    VideoDocument& m_doc;
};

// The bare engine: the run, and reading the same frames alone.
std::pair<Seconds, Seconds> CoreRun(const QString& path, const std::vector<QPointF>& points)
{
    VideoDocument doc;
    QString error;
    if (!OpenRecordingFile(doc, path, &error))
        return {};
    doc.SetHistogramsWanted(false); // the tracking frame shows none
    DocumentDriver driver(doc);
    TrackingPointList list;
    TrackingEngine engine(list, driver);
    TrackingRecording rec;
    rec.FirstFrame = doc.Info.FirstFrame;
    rec.FrameCount = doc.Info.LastFrame - doc.Info.FirstFrame + 1;
    rec.FrameRate = doc.Info.FrameRate;
    rec.FrameWidth = Size.width();
    rec.FrameHeight = Size.height();
    engine.SetRecording(rec);
    engine.SetRange(doc.Info.FirstFrame, doc.Info.LastFrame, doc.Info.FirstFrame, doc.Info.LastFrame);
    engine.GoToFrame(doc.Info.FirstFrame);
    for (const QPointF& p : points)
        engine.AddPoint(tracking::MethodCorrelation, p.x(), p.y());
    AcceptEveryMatch(list);

    Stopwatch run;
    const StartOutcome start = engine.StartRun();
    if (start != StartOutcome::Started)
        std::fprintf(stderr, "bare engine: the run did not start (%d)\n", int(start));
    int questions = 0;
    for (;;) {
        const TickOutcome t = engine.OnTimerTick();
        if (t == TickOutcome::NextFrame)
            continue;
        if (t == TickOutcome::WaitingForUser) {
            ++questions;
            engine.SetCurrentPoint(engine.Question().point);
            engine.ConfirmCurrent();
            continue;
        }
        break;
    }
    const Seconds ran = run.elapsed();
    if (questions)
        std::fprintf(stderr, "bare engine: %d questions confirmed\n", questions);

    Stopwatch read;
    for (int n = doc.Info.FirstFrame; n <= doc.Info.LastFrame; ++n)
        doc.LoadFrame(n);
    return {ran, read.elapsed()};
}

// The run through the main window and the docked frame.
Seconds FrameRun(const QString& path, const std::vector<QPointF>& points, int* waits)
{
    TQorMain main;
    main.show();
    main.OpenFiles({path});
    QCoreApplication::processEvents();
    if (main.VideoWindows.isEmpty())
        return {};
    main.PressToolButton(TQorMain::TrackTool, true);
    auto* frame = qobject_cast<TAutoTRackFrame*>(main.DockedFrame());
    if (!frame)
        return {};
    frame->MessageBox = [](const QString&, bool) { return true; };
    for (const QPointF& p : points) {
        frame->PlaceArmed(tracking::MethodCorrelation, true);
        frame->PickReport(16, p);
    }
    frame->PlaceArmed(tracking::MethodCorrelation, false);
    AcceptEveryMatch(main.VideoWindows[0]->document()->TrackingPoints());
    QCoreApplication::processEvents();

    Stopwatch run;
    frame->AutoTrackClicked(true);
    frame->MakeIdleTimer->start(0); // not the half second before the first frame
    *waits = 0;
    while (frame->IsRunning()) {
        if (frame->WaitingForUser()) {
            ++*waits;
            frame->ConfirmClicked();
            frame->MakeIdleTimer->start(0);
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return run.elapsed();
}

} // namespace

int main(int argc, char** argv)
{
    QStandardPaths::setTestModeEnabled(true);
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int frames = argc > 1 ? std::atoi(argv[1]) : 1000;
    const int count = argc > 2 ? std::atoi(argv[2]) : 20;

    QTemporaryDir dir;
    bvf::SampleOptions options;
    options.size = Size;
    options.frames = frames;
    options.colour = true;
    const QString path = dir.filePath(QStringLiteral("run.bvf"));
    QString error;
    if (!bvf::WriteSampleRecording(path, options, &error)) {
        std::fprintf(stderr, "cannot write sample: %s\n", qPrintable(error));
        return 1;
    }
    const std::vector<QPointF> points = PointsToTrack(count);

    int waits = 0;
    const Seconds window = FrameRun(path, points, &waits);
    const auto [core, read] = CoreRun(path, points);
    if (window.wall <= 0 || core.wall <= 0) {
        std::fprintf(stderr, "the run did not start\n");
        return 1;
    }
    std::printf("1280x1024 colour Brava, %d frames, %d correlation points on the background\n", frames, count);
    if (waits)
        std::printf("  (%d questions confirmed)\n", waits);
    std::printf("                              wall s   frames/s   processor s\n");
    std::printf("  through the tracking frame %7.2f  %8.1f   %8.2f\n", window.wall, frames / window.wall, window.cpu);
    std::printf("  bare engine                %7.2f  %8.1f   %8.2f\n", core.wall, frames / core.wall, core.cpu);
    std::printf("    reading+decoding alone   %7.2f  %8.1f   %8.2f\n", read.wall, frames / read.wall, read.cpu);
    std::printf("  share outside decode + search: %.1f %% of the wall time, %.1f %% of the processor time\n",
                100.0 * (window.wall - core.wall) / window.wall, 100.0 * (window.cpu - core.cpu) / window.cpu);
    return 0;
}
