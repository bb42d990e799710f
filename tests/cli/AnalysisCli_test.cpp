// qorplayer-cli and analysis files: track saves one, info reports it, and
// frame and track start from it.

#include "CliRunner.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class AnalysisCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!CliBuilt())
            GTEST_SKIP() << "qorplayer-cli not built";
        sample = dir.filePath(QStringLiteral("Prüfung ø.bvf"));
        ASSERT_EQ(RunCli({"make-sample", sample, "--frames", "30"}).exitCode, 0);
        analysis = sample + QStringLiteral(".qora");
    }
    QTemporaryDir dir;
    QString sample, analysis;
};

} // namespace

TEST_F(AnalysisCli, TrackSavesInfoCountsAndTrackGoesOnFromIt)
{
    // Two points tracked over the first 16 frames, with the adjustments of the command.
    CliRun r = RunCli({"track", sample, "--point", "60,60", "--point", "200,100,correlation,4", "--last", "15",
                       "--origin", "10.5,20", "--y-down", "--brightness", "40", "--accept-lost",
                       "--save-analysis", analysis});
    ASSERT_EQ(r.exitCode, 0) << r.errorText.toStdString();
    EXPECT_TRUE(r.outputText.contains(QStringLiteral("analysis: 2 points ->"))) << r.outputText.toStdString();

    r = RunCli({"info", sample});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.outputText.contains(QStringLiteral("Analysis: ") + analysis)) << r.outputText.toStdString();
    EXPECT_TRUE(r.outputText.contains(QStringLiteral("AnalysisEntries: 1\n")));
    EXPECT_TRUE(r.outputText.contains(QStringLiteral("AnalysisPoints: 2\n")));

    // From the analysis: the points go on to the end, the origin and Y
    // direction come with it.
    const QString csv = dir.filePath(QStringLiteral("more.csv"));
    r = RunCli({"track", sample, "--analysis", analysis, "--first", "0", "--last", "29", "--csv", csv, "--accept-lost"});
    ASSERT_EQ(r.exitCode, 0) << r.errorText.toStdString();
    EXPECT_TRUE(r.outputText.contains(QStringLiteral("Point 0: 30 of 30 frames tracked"))) << r.outputText.toStdString();
    EXPECT_TRUE(r.outputText.contains(QStringLiteral("Point 1: 26 of 30 frames tracked"))) << r.outputText.toStdString();
    EXPECT_FALSE(r.errorText.contains(QStringLiteral("RPM needs a centre"))) << r.errorText.toStdString();

    // The frame as the command line's own brightness draws it.
    const QString viaAnalysis = dir.filePath(QStringLiteral("a.bmp"));
    const QString direct = dir.filePath(QStringLiteral("b.bmp"));
    ASSERT_EQ(RunCli({"frame", sample, "7", viaAnalysis, "--analysis", analysis}).exitCode, 0);
    ASSERT_EQ(RunCli({"frame", sample, "7", direct, "--brightness", "40"}).exitCode, 0);
    EXPECT_FALSE(Contents(viaAnalysis).isEmpty());
    EXPECT_EQ(Contents(viaAnalysis), Contents(direct));

    // Its adjustment cannot be given a second time.
    r = RunCli({"frame", sample, "7", direct, "--analysis", analysis, "--brightness", "10"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.errorText.contains(QStringLiteral("already holds"))) << r.errorText.toStdString();
}

TEST_F(AnalysisCli, UnusableFilesAreRefusedWithTheirName)
{
    const QString other = dir.filePath(QStringLiteral("other.bvf"));
    ASSERT_EQ(RunCli({"make-sample", other, "--frames", "20"}).exitCode, 0);
    const QString otherAnalysis = dir.filePath(QStringLiteral("other.qora"));
    ASSERT_EQ(RunCli({"track", other, "--point", "60,60", "--accept-lost", "--save-analysis", otherAnalysis}).exitCode, 0);

    QFile damaged(analysis);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("{\"format\": \"Qor Player analysis\", \"version\": 1, \"points\": 5");
    damaged.close();

    const QString out = dir.filePath(QStringLiteral("f.bmp"));
    struct Case {
        QString file;
        const char* words;
    };
    for (const Case& c : {Case{analysis, "is damaged"}, Case{otherAnalysis, "belongs to another recording"},
                          Case{dir.filePath(QStringLiteral("none.qora")), "does not exist"}}) {
        const CliRun r = RunCli({"frame", sample, "3", out, "--analysis", c.file});
        EXPECT_EQ(r.exitCode, 1) << c.words;
        EXPECT_TRUE(r.errorText.contains(QLatin1String(c.words))) << r.errorText.toStdString();
        EXPECT_TRUE(r.errorText.contains(QFileInfo(c.file).fileName())) << r.errorText.toStdString();
        EXPECT_FALSE(QFile::exists(out));
    }
    // info still describes the recording and says the file is not usable.
    const CliRun r = RunCli({"info", sample});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.outputText.contains(QStringLiteral("(not usable)"))) << r.outputText.toStdString();
    EXPECT_TRUE(r.errorText.contains(QStringLiteral("is damaged"))) << r.errorText.toStdString();
}
