// The main window driven as a user would: opening files, the common time
// axis over several recordings, docking tool frames, closing documents.

#include "adjust/ui/FrameBriCon.h"
#include "adjust/ui/FrameContrast.h"
#include "app/shell/MainWindow.h"
#include "app/ui/ControlPanel.h"
#include "app/ui/RangeSlider.h"
#include "export/ui/SaveAsDialog.h"
#include "document/window/ErrorBox.h"
#include "document/window/VideoWindow.h"
#include "sources/avi/AviWriter.h"
#include "sources/bvf/SampleScene.h"

#include <QAbstractButton>
#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QDir>
#include <QMessageBox>
#include <QTimer>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetErrorBoxSink([this](const QString& m) { messages << m; });
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override { SetErrorBoxSink({}); }

    QString recording(const QString& name, int first, int frames, int fps)
    {
        bvf::SampleOptions options;
        options.size = QSize(64, 48);
        options.frames = frames;
        options.firstFrame = first;
        options.fps = fps;
        const QString path = dir.filePath(name);
        QString error;
        EXPECT_TRUE(bvf::WriteSampleRecording(path, options, &error)) << error.toStdString();
        return path;
    }

    QTemporaryDir dir;
    QStringList messages;
};

Rational ms(int64_t milliseconds) { return Rational(milliseconds, 1000); }

QString boxText(TQorMain& main, const char* name)
{
    auto* box = main.findChild<QLineEdit*>(QString::fromLatin1(name));
    return box ? box->text() : QStringLiteral("(missing)");
}

RangeSlider* slider(TQorMain& main) { return main.Controls().Slider(); }

// The slider's position as a time, the way the user reads it.
Rational sliderTime(TQorMain& main)
{
    return TickToTime(slider(main)->CurrentFrame(), main.Playback().TimeStep());
}

} // namespace

TEST_F(MainWindowTest, OpensChosenFilesInOrderAndReportsMissingOnesByName)
{
    TQorMain main;
    const QString a = recording(QStringLiteral("a.bvf"), 0, 5, 100);
    const QString missing = dir.filePath(QStringLiteral("gone.bvf"));
    const QString c = recording(QStringLiteral("c.bvf"), 0, 5, 100);
    main.OpenFiles({a, missing, c});

    ASSERT_EQ(main.VideoWindows.size(), 2);
    EXPECT_EQ(main.VideoWindows[0]->document()->Info.FileName, a);
    EXPECT_EQ(main.VideoWindows[1]->document()->Info.FileName, c);
    EXPECT_EQ(main.ActiveVideo, main.VideoWindows[1]);
    EXPECT_EQ(messages, QStringList{QStringLiteral("File does not exist : ") + missing});
}

TEST_F(MainWindowTest, UnsupportedAndDamagedFilesCloseTheirWindow)
{
    TQorMain main;
    const QString text = dir.filePath(QStringLiteral("notes.xyz"));
    QFile(text).open(QIODevice::WriteOnly);
    const QString damaged = dir.filePath(QStringLiteral("damaged.bvf"));
    QFile f(damaged);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("BVSC but nothing else");
    f.close();

    main.OpenFiles({text, damaged});
    EXPECT_TRUE(main.VideoWindows.isEmpty());
    EXPECT_EQ(main.ActiveVideo, nullptr);
    // One message each; a broken Brava file gets the reader's own reason, naming the file.
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0], QStringLiteral(".xyz files are not currently supported"));
    EXPECT_TRUE(messages[1].contains(QStringLiteral("damaged.bvf"))) << messages[1].toStdString();
    EXPECT_FALSE(messages[1].contains(QStringLiteral("AVI"))) << messages[1].toStdString();
}

TEST_F(MainWindowTest, TimeAxisCoversNegativeFramesAndStepsStopAtTheEnds)
{
    TQorMain main;
    main.OpenFiles({recording(QStringLiteral("crash.bvf"), -500, 1000, 1000)});
    ASSERT_EQ(main.VideoWindows.size(), 1);
    const PlaybackController& p = main.Playback();
    EXPECT_EQ(p.Range().Start, ms(-500));
    EXPECT_EQ(p.Range().End, ms(499));
    EXPECT_EQ(p.TimeStep(), ms(1));
    EXPECT_EQ(p.InTime(), ms(-500));
    EXPECT_EQ(p.OutTime(), ms(499));
    EXPECT_EQ(slider(main)->BegFrame(), -500);
    EXPECT_EQ(slider(main)->EndFrame(), 499);

    VideoDocument* doc = main.VideoWindows[0]->document();
    main.SetTime(ms(-500));
    EXPECT_EQ(doc->Info.CurrentFrame, -500);
    main.Step(true);
    EXPECT_EQ(p.CommonTime(), ms(-500));
    main.SetTime(p.Range().End);
    main.Step(false);
    EXPECT_EQ(p.CommonTime(), ms(499));
    EXPECT_EQ(doc->Info.CurrentFrame, 499);
}

TEST_F(MainWindowTest, TransportIsIdleWithoutRecordings)
{
    TQorMain main;
    main.Step(false);
    main.Play(0);
    EXPECT_EQ(main.Playback().CommonTime(), Rational(0));
    EXPECT_FALSE(main.Playback().IsPlaying());
}

TEST_F(MainWindowTest, RecordingsOfDifferentRatesFollowOneTime)
{
    TQorMain main;
    main.OpenFiles({recording(QStringLiteral("slow.bvf"), 0, 20, 100),
                    recording(QStringLiteral("fast.bvf"), -50, 200, 1000)});
    ASSERT_EQ(main.VideoWindows.size(), 2);
    EXPECT_EQ(main.Playback().TimeStep(), ms(1));
    EXPECT_EQ(main.Playback().Range().Start, ms(-50));
    EXPECT_EQ(main.Playback().Range().End, ms(190));

    main.SetTime(ms(100));
    EXPECT_EQ(main.VideoWindows[0]->document()->Info.CurrentFrame, 10);
    EXPECT_EQ(main.VideoWindows[1]->document()->Info.CurrentFrame, 100);
}

TEST_F(MainWindowTest, AtMostOneToolFrameIsDocked)
{
    TQorMain main;
    // Without a document only the zoom tools dock.
    main.PressToolButton(TQorMain::BrightnessTool, true);
    EXPECT_EQ(main.DockedFrame(), nullptr);
    main.PressToolButton(TQorMain::ZoomTool, true);
    EXPECT_EQ(main.DockedKind(), TQorMain::ZoomTool);

    main.OpenFiles({recording(QStringLiteral("a.bvf"), 0, 5, 100)});
    main.PressToolButton(TQorMain::BrightnessTool, true);
    EXPECT_EQ(main.DockedKind(), TQorMain::BrightnessTool);
    EXPECT_NE(qobject_cast<TBFFrame*>(main.DockedFrame()), nullptr);

    main.PressToolButton(TQorMain::ContrastTool, true);
    EXPECT_EQ(main.DockedKind(), TQorMain::ContrastTool);
    EXPECT_NE(qobject_cast<TConFrame*>(main.DockedFrame()), nullptr);

    main.PressToolButton(TQorMain::ContrastTool, false);
    EXPECT_EQ(main.DockedFrame(), nullptr);
    EXPECT_EQ(main.DockedKind(), -1);
}

TEST_F(MainWindowTest, DockedFramesFollowTheActiveDocument)
{
    TQorMain main;
    main.OpenFiles({recording(QStringLiteral("a.bvf"), 0, 5, 100), recording(QStringLiteral("b.bvf"), 0, 5, 100)});
    ASSERT_EQ(main.VideoWindows.size(), 2);
    for (int kind : {int(TQorMain::BrightnessTool), int(TQorMain::HueSatTool)}) {
        main.ActivateVideo(main.VideoWindows[1]);
        main.PressToolButton(kind, true);
        auto* frame = qobject_cast<AdjustmentFrame*>(main.DockedFrame());
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->Document(), main.VideoWindows[1]->document());
        main.ActivateVideo(main.VideoWindows[0]);
        EXPECT_EQ(frame->Document(), main.VideoWindows[0]->document()) << kind;
        // Each document got its own entry, at the end of its own list.
        EXPECT_EQ(main.VideoWindows[0]->document()->Adjustments.size(), 1u);
        main.VideoWindows[0]->document()->Adjustments.clear();
        main.VideoWindows[1]->document()->Adjustments.clear();
        main.PressToolButton(kind, false);
    }
}

TEST_F(MainWindowTest, ClosingTheFastestRecordingRescalesTheSliderAndNarrowsTheRange)
{
    TQorMain main;
    main.OpenFiles({recording(QStringLiteral("a.bvf"), 0, 10, 100),
                    recording(QStringLiteral("b.bvf"), 0, 100, 1000)});
    ASSERT_EQ(main.VideoWindows.size(), 2);
    main.PressToolButton(TQorMain::BrightnessTool, true);
    main.SetTime(ms(50));
    TQORVideo* fast = main.VideoWindows[1];
    fast->close();
    QCoreApplication::processEvents();

    ASSERT_EQ(main.VideoWindows.size(), 1);
    EXPECT_NE(main.ActiveVideo, fast);
    const PlaybackController& p = main.Playback();
    EXPECT_EQ(p.TimeStep(), ms(10));
    EXPECT_EQ(p.Range().End, ms(90)); // the last frame of what is left
    EXPECT_EQ(p.OutTime(), ms(90));
    // The slider's ticks are the new step's: its position and its end mean
    // the times they show, and its end is the last frame.
    EXPECT_EQ(sliderTime(main), p.CommonTime());
    EXPECT_EQ(slider(main)->EndFrame(), 9);
    emit slider(main)->changeFrame(7);
    EXPECT_EQ(p.CommonTime(), ms(70));
    EXPECT_EQ(main.VideoWindows[0]->document()->Info.CurrentFrame, 7);

    // Go to end and play stay within what is open.
    main.SetTime(ms(90));
    main.Step(false);
    EXPECT_EQ(p.CommonTime(), ms(90));
}

TEST_F(MainWindowTest, TheCommonTimeSnapsToTheNewStepAndShowsTheFrame)
{
    TQorMain main;
    main.OpenFiles({recording(QStringLiteral("slow.bvf"), 0, 10, 1000),
                    recording(QStringLiteral("fast.bvf"), 0, 40, 2000)});
    ASSERT_EQ(main.VideoWindows.size(), 2);
    main.SetTime(Rational(25, 10000)); // half-way between two 1000 fps frames
    main.VideoWindows[1]->close();
    QCoreApplication::processEvents();

    const VideoDocument* doc = main.VideoWindows[0]->document();
    EXPECT_EQ(main.Playback().CommonTime(), ms(2));
    EXPECT_EQ(doc->CurrentTime, main.Playback().CommonTime());
    EXPECT_EQ(boxText(main, "CURTimeEdit"), QStringLiteral("0.0020s"));
}

TEST_F(MainWindowTest, ARecordingRateRetimesAnAviWithoutTimeBaseOnTheCommonAxis)
{
    // A 40-frame AVI from another tool: its header's playback rate is no
    // capture rate, so the program assumes 1000 fps until told otherwise.
    const QString path = dir.filePath(QStringLiteral("other.avi"));
    {
        AviWriter writer;
        QString error;
        ASSERT_TRUE(writer.open(path, 16, 16, 25, AviCodec::Dib24, 100, QByteArray(), &error))
            << error.toStdString();
        Frame frame(16, 16);
        for (int i = 0; i < 40; ++i)
            ASSERT_TRUE(writer.writeFrame(frame));
        ASSERT_TRUE(writer.close());
    }
    TQorMain main;
    main.OpenFiles({path, recording(QStringLiteral("b.bvf"), 0, 100, 1000)});
    ASSERT_EQ(main.VideoWindows.size(), 2);
    TQORVideo* avi = main.VideoWindows[0];
    EXPECT_TRUE(avi->document()->TimeBaseAssumed());
    EXPECT_EQ(main.Playback().Range().End, ms(99));

    // Recorded at 250 fps with the trigger on frame 10.
    ASSERT_TRUE(main.SetRecordingRate(avi, 250, 10));
    EXPECT_FALSE(avi->document()->TimeBaseAssumed());
    const PlaybackController& p = main.Playback();
    EXPECT_EQ(p.Range().Start, Rational(-10, 250));
    EXPECT_EQ(p.Range().End, Rational(29, 250));
    main.SetTime(Rational(0));
    EXPECT_EQ(avi->document()->Info.CurrentFrame, 10);
    main.SetTime(Rational(20, 250));
    EXPECT_EQ(avi->document()->Info.CurrentFrame, 30);
    EXPECT_EQ(main.VideoWindows[1]->document()->Info.CurrentFrame, 80);

    // Refused: a frame outside the recording, a rate of 0, and a recording
    // that carries its own time base.
    EXPECT_FALSE(main.SetRecordingRate(avi, 250, 40));
    EXPECT_FALSE(main.SetRecordingRate(avi, 0, 10));
    EXPECT_FALSE(main.SetRecordingRate(main.VideoWindows[1], 250, 0));
    EXPECT_EQ(avi->document()->Info.FrameRate, 250);
}

TEST(MainWindowPlaces, NewDocumentsCascadeInsideThePictureArea)
{
    const QRect area(10, 40, 690, 600);
    for (int k = 0; k < 12; ++k) {
        const QRect place = TQorMain::CascadePlace(area, k, QSize(757, 520), QSize(160, 120));
        EXPECT_TRUE(area.contains(place)) << k;
        EXPECT_EQ(place.topLeft(), area.topLeft() + QPoint(24 * (k % 10), 24 * (k % 10))) << k;
    }
    // A small main window: the window shrinks to the area, down to its
    // minimum, and then moves left and up to stay inside.
    EXPECT_EQ(TQorMain::CascadePlace(QRect(0, 0, 600, 400), 2, QSize(757, 520), QSize(573, 120)),
              QRect(27, 48, 573, 352));
    EXPECT_EQ(TQorMain::CascadePlace(QRect(0, 0, 500, 300), 2, QSize(757, 520), QSize(160, 120)), QRect(48, 48, 452, 252));
    EXPECT_EQ(TQorMain::CascadePlace(QRect(0, 0, 100, 100), 3, QSize(757, 520), QSize(160, 120)), QRect(0, 0, 160, 120));
}

TEST_F(MainWindowTest, NewDocumentsStayClearOfTheControlPanel)
{
    TQorMain main;
    main.resize(900, 650);
    main.show();
    QCoreApplication::processEvents();
    main.OpenFiles({recording(QStringLiteral("a.bvf"), 0, 10, 100), recording(QStringLiteral("b.bvf"), 0, 10, 100),
                    recording(QStringLiteral("c.bvf"), 0, 10, 100)});
    ASSERT_EQ(main.VideoWindows.size(), 3);
    auto* panel = main.findChild<QWidget*>(QStringLiteral("Panel1"));
    ASSERT_NE(panel, nullptr);
    const QRect controls(panel->mapToGlobal(QPoint(0, 0)), panel->size());
    for (TQORVideo* v : main.VideoWindows)
        EXPECT_FALSE(v->geometry().intersects(controls))
            << v->geometry().x() << "," << v->geometry().y() << " " << v->width() << "x" << v->height() << " controls at "
            << controls.x() << "," << controls.y();
}

TEST_F(MainWindowTest, TheSliderEndShowsTheLastFrame)
{
    TQorMain main;
    main.OpenFiles({recording(QStringLiteral("a.bvf"), -5, 20, 100)});
    ASSERT_EQ(main.VideoWindows.size(), 1);
    emit slider(main)->changeFrame(slider(main)->EndFrame());
    EXPECT_EQ(main.VideoWindows[0]->document()->Info.CurrentFrame, 14);
    EXPECT_FALSE(main.VideoWindows[0]->document()->IsOutsideRecording());
}

TEST_F(MainWindowTest, MarkingInAfterOutKeepsTheMarksInOrderAndLoopPlayMoves)
{
    TQorMain main;
    main.OpenFiles({recording(QStringLiteral("a.bvf"), 0, 100, 100)});
    ASSERT_EQ(main.VideoWindows.size(), 1);
    auto* markIn = main.findChild<QAbstractButton*>(QStringLiteral("MarkinBut"));
    auto* markOut = main.findChild<QAbstractButton*>(QStringLiteral("MarkoutBut"));
    ASSERT_TRUE(markIn && markOut);
    main.SetTime(ms(200));
    markOut->click();
    main.SetTime(ms(500));
    markIn->click();

    const PlaybackController& p = main.Playback();
    EXPECT_LE(p.InTime(), p.OutTime());
    EXPECT_EQ(p.InTime(), ms(500));
    EXPECT_LE(slider(main)->SubBegFrame(), slider(main)->SubEndFrame());
    EXPECT_EQ(boxText(main, "InEdit"), boxText(main, "OutEdit"));

    // Loop play over the marks keeps moving forward through the range.
    main.SetTime(ms(600));
    markOut->click();
    main.SetTime(ms(500));
    main.Play(0);
    main.Play(0);
    ASSERT_TRUE(p.IsLooping());
    std::vector<Rational> seen;
    for (int i = 0; i < 12; ++i) {
        main.Playback().Tick();
        seen.push_back(p.CommonTime());
    }
    main.StopPlayback();
    EXPECT_EQ(seen[0], ms(510));
    EXPECT_EQ(seen[9], ms(600));
    EXPECT_EQ(seen[10], ms(500)); // wrapped to IN
}

TEST_F(MainWindowTest, ClosingTheLastRecordingWhilePlayingStopsCleanlyAndClears)
{
    TQorMain main;
    main.OpenFiles({recording(QStringLiteral("a.bvf"), 0, 50, 100)});
    ASSERT_EQ(main.VideoWindows.size(), 1);
    main.SetTime(ms(200));
    main.Play(0);
    ASSERT_TRUE(main.Playback().IsPlaying());
    main.VideoWindows[0]->close();
    QCoreApplication::processEvents();

    EXPECT_FALSE(main.Playback().IsPlaying());
    EXPECT_TRUE(main.Playback().Range().IsEmpty());
    EXPECT_EQ(boxText(main, "InEdit"), QStringLiteral("0"));
    EXPECT_EQ(boxText(main, "CURTimeEdit"), QStringLiteral("0"));
    EXPECT_EQ(boxText(main, "OutEdit"), QStringLiteral("0"));

    // The next recording plays normally: no loop mode left over.
    main.OpenFiles({recording(QStringLiteral("b.bvf"), 0, 50, 100)});
    main.Play(0);
    EXPECT_TRUE(main.Playback().IsPlaying());
    EXPECT_FALSE(main.Playback().IsLooping());
    main.StopPlayback();
}

TEST_F(MainWindowTest, AShorterRecordingShowsOutsideItsSpan)
{
    TQorMain main;
    main.OpenFiles({recording(QStringLiteral("short.bvf"), 0, 20, 100),
                    recording(QStringLiteral("long.bvf"), 0, 200, 100)});
    ASSERT_EQ(main.VideoWindows.size(), 2);
    main.SetTime(ms(1500));
    const VideoDocument* shorter = main.VideoWindows[0]->document();
    EXPECT_TRUE(shorter->IsOutsideRecording());
    EXPECT_EQ(shorter->FrameReadout(), QStringLiteral("\u2014 / 20"));
    EXPECT_EQ(main.VideoWindows[1]->document()->Info.CurrentFrame, 150);
}

TEST_F(MainWindowTest, FileCloseClosesTheActiveRecording)
{
    TQorMain main;
    main.OpenFiles({recording(QStringLiteral("a.bvf"), 0, 5, 100), recording(QStringLiteral("b.bvf"), 0, 5, 100)});
    ASSERT_EQ(main.VideoWindows.size(), 2);
    main.ActivateVideo(main.VideoWindows[0]);
    QAction* close = nullptr;
    for (QAction* menu : main.menuBar()->actions())
        if (menu->text() == QStringLiteral("File"))
            for (QAction* item : menu->menu()->actions())
                if (item->text() == QStringLiteral("Close"))
                    close = item;
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_W));
    const QString remaining = main.VideoWindows[1]->document()->Info.FileName;
    close->trigger();
    QCoreApplication::processEvents();
    ASSERT_EQ(main.VideoWindows.size(), 1);
    EXPECT_EQ(main.VideoWindows[0]->document()->Info.FileName, remaining);
}

TEST_F(MainWindowTest, HistogramsAreComputedOnlyWhileAFrameShowsThem)
{
    TQorMain main;
    main.OpenFiles({recording(QStringLiteral("a.bvf"), 0, 20, 100), recording(QStringLiteral("b.bvf"), 0, 20, 100)});
    ASSERT_EQ(main.VideoWindows.size(), 2);
    main.ActivateVideo(main.VideoWindows[1]);
    main.SetTime(ms(50));
    EXPECT_FALSE(main.VideoWindows[0]->document()->HistogramsCurrent());
    EXPECT_FALSE(main.VideoWindows[1]->document()->HistogramsCurrent());

    main.PressToolButton(TQorMain::BrightnessTool, true);
    EXPECT_TRUE(main.VideoWindows[1]->document()->HistogramsCurrent()); // at once, for the frame on show
    main.SetTime(ms(60));
    EXPECT_FALSE(main.VideoWindows[0]->document()->HistogramsCurrent());
    EXPECT_TRUE(main.VideoWindows[1]->document()->HistogramsCurrent());
    EXPECT_EQ(main.VideoWindows[1]->document()->Info.CurrentFrame, 6);
    EXPECT_EQ(main.VideoWindows[0]->document()->Info.CurrentFrame, 6);
    main.PressToolButton(TQorMain::BrightnessTool, false);
}

TEST(PlayerCommandLine, HelpAndVersionAnswerWithoutOpeningFiles)
{
    struct Case { const char* option; const char* expected; };
    for (const Case c : {Case{"--help", "Usage:"}, Case{"--version", "Qor Player"}}) {
        QProcess player;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        player.setProcessEnvironment(env);
        player.start(QStringLiteral(QOR_BINARY_DIR "/qorplayer"), {QString::fromLatin1(c.option)});
        ASSERT_TRUE(player.waitForFinished(30000)) << c.option;
        EXPECT_EQ(player.exitCode(), 0) << c.option;
        const QString out = QString::fromLocal8Bit(player.readAllStandardOutput());
        EXPECT_TRUE(out.contains(QString::fromLatin1(c.expected))) << c.option << ": " << out.toStdString();
        EXPECT_FALSE(out.contains(QStringLiteral("File does not exist")));
    }
}

TEST_F(MainWindowTest, AfterSaveAsTheDocumentShowsTheFrameAtTheCommonTimeAgain)
{
    TQorMain main;
    main.OpenFiles({recording(QStringLiteral("a.bvf"), 0, 20, 1000)});
    ASSERT_EQ(main.VideoWindows.size(), 1);
    main.SetTime(ms(3));
    main.Playback().MarkIn();
    main.SetTime(ms(8));

    // The user names a bitmap sequence in the file dialog and closes the
    // "Save Complete." box.
    const QString target = dir.filePath(QStringLiteral("cut.bmp"));
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&target] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (!w->isVisible())
                continue;
            if (auto* files = qobject_cast<QFileDialog*>(w)) {
                files->selectNameFilter(QStringLiteral("Windows Bitmap (*.bmp)"));
                // Typed into the name box: selectFile leaves the box alone
                // once it has the focus (on a busy machine the dialog may be
                // active before the first look at it).
                files->setDirectory(QFileInfo(target).absolutePath());
                if (auto* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
                    name->setText(QFileInfo(target).fileName());
                QMetaObject::invokeMethod(files, "accept");
            } else if (auto* box = qobject_cast<QMessageBox*>(w)) {
                box->accept();
            }
        }
    });
    user.start(10);
    main.findChild<QAbstractButton*>(QStringLiteral("BitBtn3"))->click();
    user.stop();

    const TQORVideo* window = main.VideoWindows[0];
    const VideoDocument* doc = window->document();
    EXPECT_EQ(doc->Info.RangeFirst, 3); // the export did run from the In mark
    EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral("cut*.bmp")}).size(), 17); // frames 3 to 19
    EXPECT_EQ(doc->Info.CurrentFrame, 8);
    EXPECT_EQ(doc->CurrentTime, ms(8));
    QStringList shown;
    for (const QLabel* panel : window->findChildren<QLabel*>())
        shown << panel->text();
    EXPECT_TRUE(shown.contains(QStringLiteral("8/20"))) << shown.join(QLatin1Char('|')).toStdString();
    EXPECT_TRUE(shown.contains(doc->TimeReadout()));
    EXPECT_EQ(boxText(main, "CURTimeEdit"), QStringLiteral("0.0080s"));
}
