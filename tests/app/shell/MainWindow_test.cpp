// The main window driven as a user would: opening files, the common time
// axis over several recordings, docking tool frames, closing documents.

#include "adjust/ui/FrameBriCon.h"
#include "adjust/ui/FrameContrast.h"
#include "app/shell/MainWindow.h"
#include "document/window/ErrorBox.h"
#include "document/window/VideoWindow.h"
#include "sources/bvf/SampleScene.h"

#include <QApplication>
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
    ASSERT_EQ(messages.size(), 3);
    EXPECT_EQ(messages[0], QStringLiteral(".xyz files are not currently supported"));
    EXPECT_EQ(messages[1], QStringLiteral("Cannot Open AVI - Possible no compatible codec installed"));
    EXPECT_EQ(messages[2], QStringLiteral("Cannot Open AVI - Possible no compatible codec installed"));
}

TEST_F(MainWindowTest, TimeAxisCoversNegativeFramesAndStepsStopAtTheEnds)
{
    TQorMain main;
    main.OpenFiles({recording(QStringLiteral("crash.bvf"), -500, 1000, 1000)});
    ASSERT_EQ(main.VideoWindows.size(), 1);
    EXPECT_FLOAT_EQ(main.Range.Start, -0.5f);
    EXPECT_FLOAT_EQ(main.Range.End, 0.499f);
    EXPECT_FLOAT_EQ(main.Transport.TimeStep, 0.001f);
    EXPECT_FLOAT_EQ(main.Transport.InTime, -0.5f);
    EXPECT_FLOAT_EQ(main.Transport.OutTime, 0.499f);

    VideoDocument* doc = main.VideoWindows[0]->document();
    main.SetTime(-0.5f);
    EXPECT_EQ(doc->Info.CurrentFrame, -500);
    main.Step(true);
    EXPECT_FLOAT_EQ(main.Transport.CommonTime, -0.5f);
    main.SetTime(main.Range.End);
    main.Step(false);
    EXPECT_FLOAT_EQ(main.Transport.CommonTime, 0.499f);
    EXPECT_EQ(doc->Info.CurrentFrame, 499);
}

TEST_F(MainWindowTest, TransportIsIdleWithoutRecordings)
{
    TQorMain main;
    main.Step(false);
    main.Play(0);
    EXPECT_FLOAT_EQ(main.Transport.CommonTime, 0.0f);
    EXPECT_FALSE(main.Transport.TimerRunning);
}

TEST_F(MainWindowTest, RecordingsOfDifferentRatesFollowOneTime)
{
    TQorMain main;
    main.OpenFiles({recording(QStringLiteral("slow.bvf"), 0, 20, 100),
                    recording(QStringLiteral("fast.bvf"), -50, 200, 1000)});
    ASSERT_EQ(main.VideoWindows.size(), 2);
    EXPECT_FLOAT_EQ(main.Transport.TimeStep, 0.001f);
    EXPECT_FLOAT_EQ(main.Range.Start, -0.05f);
    EXPECT_FLOAT_EQ(main.Range.End, 0.19f);

    main.SetTime(0.1f);
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

TEST_F(MainWindowTest, ClosingADocumentClearsItAndKeepsTheRange)
{
    TQorMain main;
    main.OpenFiles({recording(QStringLiteral("a.bvf"), 0, 10, 100),
                    recording(QStringLiteral("b.bvf"), 0, 100, 1000)});
    ASSERT_EQ(main.VideoWindows.size(), 2);
    main.PressToolButton(TQorMain::BrightnessTool, true);
    TQORVideo* fast = main.VideoWindows[1];
    fast->close();
    QCoreApplication::processEvents();

    EXPECT_EQ(main.VideoWindows.size(), 1);
    // The closed document is no longer active (the window system may have
    // activated the remaining one).
    EXPECT_NE(main.ActiveVideo, fast);
    EXPECT_EQ(main.DockedFrame(), nullptr);
    EXPECT_FLOAT_EQ(main.Transport.TimeStep, 0.01f); // recomputed from what is left
    EXPECT_FLOAT_EQ(main.Range.End, 0.099f);         // the range never narrows
}

int main(int argc, char** argv)
{
    // Keep the user's own preferences and window places out of the tests.
    QStandardPaths::setTestModeEnabled(true);
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
