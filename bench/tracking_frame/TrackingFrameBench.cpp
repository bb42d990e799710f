// A tracking run through the real tracking frame, docked in the main
// window, offscreen: a 1280 x 1024 colour Brava recording, 20 points (the
// sample's quadrant, light and dark targets and 17 correlation points on
// the background), every frame of the recording. The run moves the common
// time, so every frame is read, decoded and rendered by the document,
// shown in the view with the markers, and searched.
//
// Four passes over the same frames:
//   decode: a document without a window loads every frame (read,
//           demosaic, render; no histograms, as in the window while the
//           tracking frame is docked);
//   core:   the tracking engine alone runs the same points, loading the
//           frames through such a document (decode + search + the engine);
//   show:   the main window steps through the frames without tracking
//           (decode + the window showing each frame);
//   frame:  the tracking frame runs the points through the main window.
// The share of the frame's run spent outside decode and search is
// (frame - core) / frame. show - decode is what stepping through the frames
// in the window costs when every frame is shown; a run shows a frame only
// when it paints (a few times a second), so it spends far less than that.
//
//   bench_tracking_frame [frames]   (default 1000; runs offscreen unless
//                                    QT_QPA_PLATFORM is set)

#include "app/shell/MainWindow.h"
#include "document/VideoDocument.h"
#include "document/window/ErrorBox.h"
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
#include <QToolButton>
#include <cmath>
#include <ctime>
#include <cstdio>
#include <map>
#include <utility>
#include <vector>

namespace {

constexpr QSize kSize(1280, 1024);
constexpr int kPoints = 20;

struct PlacedPoint {
    uint8_t method;
    QPointF at;
};

// The three targets with their own methods, then correlation points on a
// grid over the still background, each at least 60 pixels from every
// target's path over the run so that no target crosses its search area.
std::vector<PlacedPoint> PointsToPlace(int frames)
{
    const QPointF half(0.5, 0.5);
    std::vector<PlacedPoint> points = {
        {tracking::MethodQuadrant, bvf::quadrantCentreAt(0, kSize) + half},
        {tracking::MethodLightSpot, bvf::lightSpotCentreAt(0, kSize) + half},
        {tracking::MethodDarkSpot, bvf::darkSpotCentreAt(0, kSize) + half},
    };
    auto clearOfTargets = [&](QPointF p) {
        for (int f = 0; f < frames; ++f)
            for (const QPointF& t : {bvf::quadrantCentreAt(f, kSize), bvf::lightSpotCentreAt(f, kSize),
                                     bvf::darkSpotCentreAt(f, kSize)})
                if (std::hypot(p.x() - t.x(), p.y() - t.y()) < 60.0)
                    return false;
        return true;
    };
    for (int y = 64; y < kSize.height() - 32 && int(points.size()) < kPoints; y += 128)
        for (int x = 64; x < kSize.width() - 32 && int(points.size()) < kPoints; x += 128) {
            const QPointF p(x + 0.5, y + 0.5);
            if (clearOfTargets(p))
                points.push_back({tracking::MethodCorrelation, p});
        }
    return points;
}

// The engine's frames, loaded by a document as the run loads them.
class DocumentDriver : public TrackingDriver {
public:
    explicit DocumentDriver(VideoDocument& doc) : m_doc(doc) {}
    const Frame* FrameAt(int n) override
    {
        m_doc.LoadFrame(n);
        return &m_doc.DisplayBitmap;
    }

private:
    VideoDocument& m_doc;
};

// The targets move up to about 7 pixels a frame at this size: every point
// gets a 15 x 15 template and a search area of 250 % (11 pixels each way),
// as the user sets them in the parameter dialog, whose OK captures the
// template again.
void WidenSearch(TTrackingPoint& point, const Frame* working)
{
    point.Params.setSize(15, 15, 250);
    if (working)
        point.CaptureTemplate(*working);
}

// Wall-clock and main-thread CPU seconds of a pass. Everything here runs
// on the one thread, so its CPU time is the work done, also on a busy
// machine where the wall clock includes waiting for a core.
struct Span {
    double wall = 0.0;
    double cpu = 0.0;
};

double ThreadCpuSeconds()
{
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return double(ts.tv_sec) + double(ts.tv_nsec) / 1e9;
}

class Stopwatch {
public:
    Stopwatch() : m_cpu(ThreadCpuSeconds()) { m_wall.start(); }
    Span elapsed() const { return {double(m_wall.nsecsElapsed()) / 1e9, ThreadCpuSeconds() - m_cpu}; }

private:
    QElapsedTimer m_wall;
    double m_cpu;
};

// The application, counting the paint events of each widget class and the
// main-thread CPU time they take, to show where the window's time goes.
class PaintCountingApp : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override
    {
        if (event->type() != QEvent::Paint || !counting)
            return QApplication::notify(receiver, event);
        const double start = ThreadCpuSeconds();
        const bool result = QApplication::notify(receiver, event);
        // A plain QWidget is named by its parent (the view's viewport, a page).
        QByteArray name = receiver->metaObject()->className();
        if (name == "QWidget" && receiver->parent())
            name += QByteArray(" in ") + receiver->parent()->metaObject()->className();
        PaintTally& tally = paints[name];
        ++tally.count;
        tally.seconds += ThreadCpuSeconds() - start;
        return result;
    }
    struct PaintTally {
        int count = 0;
        double seconds = 0.0;
    };
    using Tallies = std::map<QByteArray, PaintTally>;
    Tallies paints;
    bool counting = false;
};

void PrintPaints(const char* pass, const PaintCountingApp::Tallies& paints, int steps)
{
    std::printf("  paints in the %s pass (ms per frame, paints per frame):\n", pass);
    for (const auto& [name, tally] : paints)
        if (1000.0 * tally.seconds / steps >= 0.01)
            std::printf("    %-36s %6.2f  %5.2f\n", name.constData(), 1000.0 * tally.seconds / steps,
                        double(tally.count) / steps);
}

int TrackedRecords(const TrackingPointList& points)
{
    int n = 0;
    for (const auto& p : points)
        for (const TrackRecord& r : p->Records)
            n += r.Status;
    return n;
}

} // namespace

int main(int argc, char** argv)
{
    QStandardPaths::setTestModeEnabled(true);
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    PaintCountingApp app(argc, argv);
    const int frames = argc > 1 ? std::max(2, std::atoi(argv[1])) : 1000;
    SetErrorBoxSink([](const QString& m) { std::fprintf(stderr, "message: %s\n", qPrintable(m)); });

    QTemporaryDir dir;
    bvf::SampleOptions options;
    options.size = kSize;
    options.frames = frames;
    options.colour = true;
    const QString path = dir.filePath(QStringLiteral("track.bvf"));
    QString error;
    if (!bvf::WriteSampleRecording(path, options, &error)) {
        std::fprintf(stderr, "cannot write sample: %s\n", qPrintable(error));
        return 1;
    }
    const std::vector<PlacedPoint> placed = PointsToPlace(frames);

    // Decode: the frames the run loads (all but the first, which is shown
    // when the points are placed).
    auto decodePass = [&]() -> Span {
        VideoDocument doc;
        if (!OpenRecordingFile(doc, path, &error))
            return {};
        // As in the window while the tracking frame is docked: no histograms.
        doc.SetHistogramsWanted(false);
        const Stopwatch t;
        for (int n = 1; n < frames; ++n)
            doc.LoadFrame(n);
        return t.elapsed();
    };
    Span decode = decodePass();

    // Core: the engine alone.
    Span core;
    int coreRecords = 0;
    {
        VideoDocument doc;
        if (!OpenRecordingFile(doc, path, &error))
            return 1;
        doc.SetHistogramsWanted(false);
        DocumentDriver driver(doc);
        TrackingPointList points;
        TrackingEngine engine(points, driver);
        const RecordingInfo& info = doc.Info;
        engine.SetRecording({info.FirstFrame, info.LastFrame - info.FirstFrame + 1, info.TimeZeroFrame,
                             int(info.FrameRate), doc.FrameBitmap.width(), doc.FrameBitmap.height()});
        engine.SetRange(0, frames - 1, 0, frames - 1);
        engine.GoToFrame(0);
        for (const PlacedPoint& p : placed)
            if (TTrackingPoint* point = engine.AddPoint(p.method, p.at.x(), p.at.y()))
                WidenSearch(*point, engine.Working());
        const Stopwatch t;
        if (engine.StartRun() != StartOutcome::Started) {
            std::fprintf(stderr, "core run refused\n");
            return 1;
        }
        while (engine.OnTimerTick() == TickOutcome::NextFrame) {
        }
        core = t.elapsed();
        coreRecords = TrackedRecords(points);
        if (engine.WaitingForUser()) {
            const RunQuestion& q = engine.Question();
            std::fprintf(stderr, "core run stopped at frame %d: question %d on %s (method %d, score %.3f, at %.1f, %.1f)\n",
                         engine.CurrentFrame(), int(q.kind), q.point ? qPrintable(q.point->Name) : "-",
                         q.point ? q.point->Method() : -1, q.point ? q.point->Score : 0.0,
                         q.point ? q.point->PosX : 0.0, q.point ? q.point->PosY : 0.0);
        }
    }

    // The main window on screen with the recording open in it.
    const auto openShown = [&path](TQorMain& main) {
        main.show();
        main.OpenFiles({path});
        QCoreApplication::processEvents();
        return main.VideoWindows.size() == 1;
    };

    // Show: the main window moves the common time over the same frames
    // without tracking (the document loads, the view paints).
    Span show;
    PaintCountingApp::Tallies showPaints;
    {
        TQorMain main;
        if (!openShown(main))
            return 1;
        VideoDocument& doc = *main.VideoWindows[0]->document();
        app.counting = true;
        const Stopwatch t;
        for (int n = 1; n < frames; ++n) {
            main.SetTime(doc.TimeOfFrame(n));
            QCoreApplication::processEvents();
        }
        show = t.elapsed();
        app.counting = false;
        showPaints = std::exchange(app.paints, {});
    }

    // Frame: the tracking frame in the main window.
    Span run;
    int frameRecords = 0;
    PaintCountingApp::Tallies runPaints;
    {
        TQorMain main;
        if (!openShown(main))
            return 1;
        TQORVideo* video = main.VideoWindows[0];
        main.PressToolButton(TQorMain::TrackTool, true);
        auto* frame = qobject_cast<TAutoTRackFrame*>(main.DockedFrame());
        if (!frame) {
            std::fprintf(stderr, "no tracking frame\n");
            return 1;
        }
        frame->MessageBox = [](const QString& text, bool) {
            std::fprintf(stderr, "frame: %s\n", qPrintable(text));
            return true;
        };
        for (const PlacedPoint& p : placed) {
            frame->PlaceArmed(p.method, true);
            frame->PickReport(16, p.at);
        }
        frame->PlaceArmed(0, false);
        for (const auto& point : video->document()->TrackingPoints())
            WidenSearch(*point, frame->Engine()->Working());
        QCoreApplication::processEvents();

        app.counting = true;
        const Stopwatch t;
        frame->btnTrackPoints->click();
        // The run's first frame follows after a deliberate half second; the
        // benchmark does not wait for it.
        frame->MakeIdleTimer->start(0);
        while (frame->IsRunning() && !frame->WaitingForUser())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        run = t.elapsed();
        app.counting = false;
        runPaints = std::exchange(app.paints, {});
        if (frame->WaitingForUser())
            std::fprintf(stderr, "frame run stopped with a question\n");
        frameRecords = TrackedRecords(video->document()->TrackingPoints());
    }

    // Once more at the end; the faster of the two counts (a busy machine
    // only ever makes a pass slower).
    const Span decodeAgain = decodePass();
    std::printf("decode passes: %.2f and %.2f ms per frame\n", 1000.0 * decode.cpu / (frames - 1),
                1000.0 * decodeAgain.cpu / (frames - 1));
    decode.cpu = std::min(decode.cpu, decodeAgain.cpu);
    decode.wall = std::min(decode.wall, decodeAgain.wall);

    const int steps = frames - 1;
    auto ms = [steps](double seconds) { return 1000.0 * seconds / steps; };
    std::printf("tracking run, 1280x1024 colour Brava, %d points, %d frames (%d run steps)\n",
                int(placed.size()), frames, steps);
    std::printf("ms per frame, CPU of the one thread (wall clock)\n");
    std::printf("  decode (load, demosaic, render):   %7.2f (%7.2f)\n", ms(decode.cpu), ms(decode.wall));
    std::printf("  core run (decode + search):        %7.2f (%7.2f)   search %.2f\n", ms(core.cpu), ms(core.wall),
                ms(core.cpu - decode.cpu));
    std::printf("  window steps, no tracking:         %7.2f (%7.2f)   window %.2f\n", ms(show.cpu), ms(show.wall),
                ms(show.cpu - decode.cpu));
    std::printf("  tracking frame run:                %7.2f (%7.2f)   %.1f frames/s (%.1f by the wall clock)\n",
                ms(run.cpu), ms(run.wall), steps / run.cpu, steps / run.wall);
    std::printf("  outside decode + search:           %7.2f           %.1f %% of the run (target < 10 %%)\n",
                ms(run.cpu - core.cpu), 100.0 * (run.cpu - core.cpu) / run.cpu);
    std::printf("  for comparison, showing every frame: %5.2f ms per frame over decode\n", ms(show.cpu - decode.cpu));
    PrintPaints("window steps", showPaints, steps);
    PrintPaints("tracking frame", runPaints, steps);
    std::printf("  tracked records: core %d, frame %d (of %d)\n", coreRecords, frameRecords,
                int(placed.size()) * frames);
    return 0;
}
