// The main window keeps each recording's work in the analysis file beside
// it: saved on request, restored at open, asked about before closing.

#include "app/shell/MainWindow.h"
#include "document/VideoDocument.h"
#include "document/window/ErrorBox.h"
#include "document/window/VideoWindow.h"
#include "sources/bvf/SampleScene.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using Answer = AnalysisKeeper::Answer;

class AnalysisKeepingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetErrorBoxSink([this](const QString& m) { messages << m; });
        ASSERT_TRUE(dir.isValid());
        // Users' folders and names are not always ASCII.
        ASSERT_TRUE(QDir(dir.path()).mkpath(QStringLiteral("Prüfstand Ø")));
        recordingPath = dir.filePath(QStringLiteral("Prüfstand Ø/Aufprall ñ.bvf"));
        bvf::SampleOptions options;
        options.size = QSize(64, 48);
        options.frames = 20;
        options.fps = 1000;
        QString error;
        ASSERT_TRUE(bvf::WriteSampleRecording(recordingPath, options, &error)) << error.toStdString();
    }
    void TearDown() override { SetErrorBoxSink({}); }

    // A main window whose save question is answered from `answers` (and
    // counted).
    std::unique_ptr<TQorMain> window()
    {
        auto main = std::make_unique<TQorMain>();
        main->Analyses().AskSave = [this](const QString& question) {
            questions << question;
            return answers.isEmpty() ? Answer::Cancel : answers.takeFirst();
        };
        return main;
    }

    static TQORVideo* open(TQorMain& main, const QString& path)
    {
        EXPECT_TRUE(main.OpenInNewWindow(path));
        return main.ActiveVideo;
    }

    // Some work: a brightness entry, a calibration, a point tracked on two
    // frames, an origin with Y down.
    static void buildWork(VideoDocument& doc)
    {
        doc.AppendEntry(std::make_unique<AdjustmentEntry>(BrightnessEntry{.Offset = 40}));
        doc.Info.CalUnitIndex = 1;
        doc.Info.PixelsPerUnit = 2.5f;
        auto point = std::make_unique<TTrackingPoint>();
        point->PointId = 3;
        point->Name = QStringLiteral("Kopf");
        point->InitRecords(doc.Info.FirstFrame, doc.Info.LastFrame - doc.Info.FirstFrame + 1, doc.Info.TimeZeroFrame,
                           doc.Info.FrameRate);
        for (int frame : {4, 6}) {
            TrackRecord* r = point->RecordAt(frame);
            r->Status = 1;
            r->X = 10.25 + frame;
            r->Y = 20.5;
        }
        doc.TrackingPoints().Append(std::move(point));
        doc.Origin = {.HasOrigin = true, .X = 7.5, .Y = 8.25, .YDir = YDirection::Down};
    }

    QTemporaryDir dir;
    QString recordingPath;
    QStringList messages;
    QStringList questions;
    QList<Answer> answers;
};

TEST_F(AnalysisKeepingTest, SavedWorkComesBackWhenTheRecordingOpensAgain)
{
    const QString analysisPath = recordingPath + QStringLiteral(".qora");
    Frame renderedWithWork;
    {
        auto main = window();
        TQORVideo* video = open(*main, recordingPath);
        buildWork(*video->document());
        main->Playback().SetMarks(video->document()->TimeOfFrame(3), video->document()->TimeOfFrame(12));
        video->document()->Redisplay();
        renderedWithWork = video->document()->DisplayBitmap;
        EXPECT_TRUE(main->Analyses().HasUnsavedWork(video));
        ASSERT_TRUE(main->SaveAnalysis());
        EXPECT_FALSE(main->Analyses().HasUnsavedWork(video));
        main->close(); // nothing unsaved: no question
        EXPECT_TRUE(questions.isEmpty());
    }
    ASSERT_TRUE(QFile::exists(analysisPath));

    auto main = window();
    TQORVideo* video = open(*main, recordingPath);
    ASSERT_NE(video, nullptr);
    const VideoDocument& doc = *video->document();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
    ASSERT_EQ(doc.Adjustments.size(), 1u);
    EXPECT_EQ(doc.Adjustments.front()->As<BrightnessEntry>()->Offset, 40);
    EXPECT_EQ(doc.Info.CalUnitIndex, 1);
    EXPECT_EQ(doc.Info.PixelsPerUnit, 2.5f);
    EXPECT_EQ(doc.Origin, (MeasurementOrigin{.HasOrigin = true, .X = 7.5, .Y = 8.25, .YDir = YDirection::Down}));
    ASSERT_EQ(doc.TrackingPoints().size(), 1u);
    const TTrackingPoint& point = **doc.TrackingPoints().begin();
    EXPECT_EQ(point.Name, QStringLiteral("Kopf"));
    EXPECT_EQ(point.RecordAt(6)->X, 16.25);
    EXPECT_EQ(point.RecordAt(5)->Status, 0); // the gap stays a gap
    EXPECT_EQ(doc.FrameAtTime(main->Playback().InTime()), 3);
    EXPECT_EQ(doc.FrameAtTime(main->Playback().OutTime()), 12);
    // The picture shows the restored adjustments at once.
    EXPECT_TRUE(doc.DisplayBitmap == renderedWithWork);
    EXPECT_FALSE(main->Analyses().HasUnsavedWork(video));
}

TEST_F(AnalysisKeepingTest, ClosingWithUnsavedWorkAsksToSaveDiscardOrCancel)
{
    const QString analysisPath = recordingPath + QStringLiteral(".qora");
    auto main = window();
    TQORVideo* video = open(*main, recordingPath);
    // Playing, looking and docking a tool frame are no changes.
    main->SetTime(video->document()->TimeOfFrame(9));
    main->PressToolButton(TQorMain::GammaTool, true);
    main->PressToolButton(TQorMain::CalibrateTool, true);
    EXPECT_FALSE(video->document()->Adjustments.empty());
    EXPECT_FALSE(main->Analyses().HasUnsavedWork(video));
    buildWork(*video->document());

    answers = {Answer::Cancel};
    video->close();
    EXPECT_EQ(questions.size(), 1);
    EXPECT_TRUE(questions.last().contains(QStringLiteral("Aufprall ñ.bvf")));
    EXPECT_TRUE(main->VideoWindows.contains(video)) << "Cancel keeps the document open";

    answers = {Answer::Cancel};
    main->close();
    EXPECT_EQ(questions.size(), 2);
    EXPECT_TRUE(main->VideoWindows.contains(video)) << "Cancel keeps the program open";

    answers = {Answer::Save};
    video->close();
    EXPECT_FALSE(main->VideoWindows.contains(video));
    EXPECT_TRUE(QFile::exists(analysisPath));

    // Discard closes without writing.
    video = open(*main, recordingPath);
    video->document()->AppendEntry(std::make_unique<AdjustmentEntry>(ContrastEntry{.Amount = 10}));
    const QByteArray saved = [&] {
        QFile f(analysisPath);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    answers = {Answer::Discard};
    main->close();
    EXPECT_EQ(questions.size(), 4);
    EXPECT_TRUE(main->VideoWindows.isEmpty());
    QFile f(analysisPath);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), saved);
}

TEST_F(AnalysisKeepingTest, AFileThatCannotBeTakenIsNamedOnceAndKeptUntilTheUserSaves)
{
    const QString analysisPath = recordingPath + QStringLiteral(".qora");
    const struct {
        const char* name;
        QByteArray contents;
        const char* says;
    } cases[] = {
        {"damaged", "{ this is not JSON", "is damaged"},
        {"newer", R"({"format":"Qor Player analysis","version":99})", "newer version"},
        {"other recording",
         R"({"format":"Qor Player analysis","version":1,"recording":{"size":5,"frameCount":20,"firstFrame":0}})",
         "another recording"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile file(analysisPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(c.contents);
        file.close();
        messages.clear();

        auto main = window();
        TQORVideo* video = open(*main, recordingPath);
        ASSERT_NE(video, nullptr) << "the recording opens without it";
        ASSERT_EQ(messages.size(), 1) << messages.join(u'\n').toStdString();
        EXPECT_TRUE(messages[0].contains(QStringLiteral("Aufprall ñ.bvf.qora"))) << messages[0].toStdString();
        EXPECT_TRUE(messages[0].contains(QLatin1String(c.says))) << messages[0].toStdString();
        EXPECT_TRUE(video->document()->Adjustments.empty());
        main->close();
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), c.contents) << "not overwritten without a save";
        file.close();

        // Saving replaces it and keeps the old one beside it.
        auto again = window();
        open(*again, recordingPath);
        ASSERT_TRUE(again->SaveAnalysis());
        QFile backup(analysisPath + QStringLiteral(".bak"));
        ASSERT_TRUE(backup.open(QIODevice::ReadOnly));
        EXPECT_EQ(backup.readAll(), c.contents);
        again->close();
        QFile::remove(analysisPath + QStringLiteral(".bak"));
    }
}

} // namespace
