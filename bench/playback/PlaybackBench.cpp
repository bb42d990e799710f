// Playback of two 1280 × 1024 colour recordings in the real main window:
// how long one timer tick takes (every document loads, decodes, renders and
// its view paints), hence the play speed up to which every frame is shown.
//
//   bench_playback [ticks]   (runs offscreen unless QT_QPA_PLATFORM is set)

#include "app/shell/MainWindow.h"
#include "document/window/VideoWindow.h"
#include "sources/bvf/SampleScene.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <cstdio>

int main(int argc, char** argv)
{
    QStandardPaths::setTestModeEnabled(true);
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int ticks = argc > 1 ? std::atoi(argv[1]) : 200;

    QTemporaryDir dir;
    QStringList files;
    const int rates[2] = {1000, 500};
    for (int i = 0; i < 2; ++i) {
        bvf::SampleOptions options;
        options.size = QSize(1280, 1024);
        options.frames = 120;
        options.fps = rates[i];
        options.colour = true;
        const QString path = dir.filePath(QStringLiteral("rec%1.bvf").arg(i));
        QString error;
        if (!bvf::WriteSampleRecording(path, options, &error)) {
            std::fprintf(stderr, "cannot write sample: %s\n", qPrintable(error));
            return 1;
        }
        files << path;
    }

    TQorMain main;
    main.show();
    main.OpenFiles(files);
    QCoreApplication::processEvents();

    // Forward through the range as the play timer does, one time step per tick.
    QElapsedTimer clock;
    clock.start();
    const PlaybackController& playback = main.Playback();
    Rational t = playback.Range().Start;
    for (int i = 0; i < ticks; ++i) {
        t += playback.TimeStep();
        if (t > playback.Range().End)
            t = playback.Range().Start;
        main.SetTime(t);
        QCoreApplication::processEvents(); // the views paint
    }
    const double msPerTick = double(clock.nsecsElapsed()) / 1e6 / ticks;
    std::printf("two 1280x1024 colour recordings, %d ticks\n", ticks);
    std::printf("  %.2f ms per tick, %.1f ticks per second\n", msPerTick, 1000.0 / msPerTick);
    std::printf("  play speed 15 (interval 67 ms): skip factor stays 1: %s\n", msPerTick <= 67.0 ? "yes" : "no");
    std::printf("  highest play speed showing every frame: about %d\n", int(1000.0 / msPerTick));
    return 0;
}
