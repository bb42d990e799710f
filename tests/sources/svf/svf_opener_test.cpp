// The Stravo sample from qorplayer-cli, opened by extension into a document.

#include "CliRunner.h"

#include "document/VideoDocument.h"
#include "sources/SourceFactory.h"
#include "sources/svf/SvfSource.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(SvfOpener, SampleFromTheToolOpensInADocument)
{
    if (!CliBuilt())
        GTEST_SKIP() << "qorplayer-cli not built";
    QTemporaryDir dir;
    const QString sample = dir.filePath(QStringLiteral("s.svf"));
    const CliRun made = RunCli({"make-sample", sample, "--colour", "--frames", "6", "--size", "64x48", "--first", "3"});
    ASSERT_EQ(made.exitCode, 0) << made.errorText.toStdString();
    const CliRun info = RunCli({"info", sample});
    ASSERT_EQ(info.exitCode, 0) << info.errorText.toStdString();
    EXPECT_TRUE(info.outputText.contains("InfoText[4]: 1/2000")) << info.outputText.toStdString();
    EXPECT_TRUE(info.outputText.contains("InfoText[0]: Qor Stravo"));

    EXPECT_TRUE(IsSupportedRecording(QStringLiteral("X.SVF")));
    VideoDocument doc;
    QString error;
    ASSERT_TRUE(OpenRecordingFile(doc, sample, &error)) << error.toStdString();
    EXPECT_EQ(doc.Info.SourceKind, 1);
    EXPECT_EQ(doc.Info.FirstFrame, 3);
    EXPECT_EQ(doc.Info.LastFrame, 8);
    EXPECT_EQ(doc.FrameBitmap.width(), 64);
    doc.LoadFrame(7);
    EXPECT_TRUE(doc.FrameReadError.isEmpty());
    auto* source = dynamic_cast<SvfSource*>(doc.Source());
    ASSERT_TRUE(source);
    EXPECT_EQ(source->converter().CurrentFrameNumber(), 7);

    // Cut short after writing: a clear message, no document.
    QFile::resize(sample, 300);
    VideoDocument other;
    EXPECT_FALSE(OpenRecordingFile(other, sample, &error));
    EXPECT_TRUE(error.contains("cut short")) << error.toStdString();
}
