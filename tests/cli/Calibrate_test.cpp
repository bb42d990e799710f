// qorplayer-cli --calibrate end to end: the calibration given to export
// travels in the AVI's information chunk and reads back with info.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct CliRun {
    int exitCode = -1;
    QString out;
    QString err;
};

CliRun RunCli(const QStringList& args)
{
    QProcess process;
    process.start(QStringLiteral(QOR_CLI), args);
    CliRun run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

class CliCalibrate : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        sample = dir.filePath(QStringLiteral("sample.bvf"));
        const CliRun made = RunCli({QStringLiteral("make-sample"), sample, QStringLiteral("--frames"), QStringLiteral("4"),
                                    QStringLiteral("--size"), QStringLiteral("64x48")});
        ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    }

    CliRun ExportAvi(const QString& out, const QString& calibrate)
    {
        return RunCli({QStringLiteral("export"), sample, QStringLiteral("--format"), QStringLiteral("avi"),
                       QStringLiteral("--out"), out, QStringLiteral("--calibrate"), calibrate});
    }

    QTemporaryDir dir;
    QString sample;
};

TEST_F(CliCalibrate, UncalibratedRecordingShowsPixels)
{
    const CliRun info = RunCli({QStringLiteral("info"), sample});
    ASSERT_EQ(info.exitCode, 0) << info.err.toStdString();
    EXPECT_TRUE(info.out.contains(QStringLiteral("\nPixelsPerUnit: 1\n"))) << info.out.toStdString();
    EXPECT_TRUE(info.out.contains(QStringLiteral("\nCalUnitIndex: 6\n"))) << info.out.toStdString();
}

TEST_F(CliCalibrate, ExportCarriesTheCalibrationIntoTheAvi)
{
    struct Case {
        const char* calibrate;
        const char* factor;
        const char* unit;
    };
    const Case cases[] = {
        {"10,20,40,60,25,mm", "2", "1"},       // 50 pixels over 25 mm
        {"100,8,4,8,3,in", "32", "4"},         // one horizontal line, picked right to left
        {"0,0,0,10,3", "3.333", "6"},          // no unit: pixels
        {"5,5,5,5,10,um", "1", "0"},           // equal points: factor 1, unit kept
        {"0,0,30,40,-10,ft", "1", "5"},        // negative distance: factor 1
        {"0,0,3000,4000,250,m", "20", "3"},    // above 100 is used in full
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString avi = dir.filePath(QStringLiteral("cal%1.avi").arg(n++));
        const CliRun exported = ExportAvi(avi, QString::fromLatin1(c.calibrate));
        ASSERT_EQ(exported.exitCode, 0) << c.calibrate << ": " << exported.err.toStdString();
        const CliRun info = RunCli({QStringLiteral("info"), avi});
        ASSERT_EQ(info.exitCode, 0) << info.err.toStdString();
        EXPECT_TRUE(info.out.contains(QStringLiteral("\nPixelsPerUnit: %1\n").arg(QLatin1String(c.factor))))
            << c.calibrate << "\n" << info.out.toStdString();
        EXPECT_TRUE(info.out.contains(QStringLiteral("\nCalUnitIndex: %1\n").arg(QLatin1String(c.unit))))
            << c.calibrate << "\n" << info.out.toStdString();
    }
}

TEST_F(CliCalibrate, RefusedValuesWriteNothing)
{
    struct Case {
        const char* calibrate;
        const char* message;
    };
    const Case cases[] = {
        {"0,0,10,0,0,mm", "must not be 0"},
        {"0,0,10,0,ten", "Invalid Distance"},
        {"0,0,10,0,", "Invalid Distance"},
        {"0,0,10,0,2.5e,mm", "Invalid Distance"},
        {"0,0,10,0,5,yd", "yd"},
        {"0,0,10,5", "X1,Y1,X2,Y2,DIST"},
        {"a,0,10,0,5", "coordinate"},
    };
    for (const Case& c : cases) {
        const QString avi = dir.filePath(QStringLiteral("refused.avi"));
        const CliRun exported = ExportAvi(avi, QString::fromLatin1(c.calibrate));
        EXPECT_EQ(exported.exitCode, 2) << c.calibrate;
        EXPECT_TRUE(exported.err.contains(QLatin1String(c.message))) << c.calibrate << ": " << exported.err.toStdString();
        EXPECT_FALSE(QFile::exists(avi)) << c.calibrate;
    }
}

TEST_F(CliCalibrate, FrameAcceptsTheOptionAndRefusesABadOne)
{
    const QString bmp = dir.filePath(QStringLiteral("f.bmp"));
    EXPECT_EQ(RunCli({QStringLiteral("frame"), sample, QStringLiteral("0"), bmp, QStringLiteral("--calibrate"),
                      QStringLiteral("0,0,10,0,5,cm")}).exitCode, 0);
    EXPECT_EQ(RunCli({QStringLiteral("frame"), sample, QStringLiteral("0"), bmp, QStringLiteral("--calibrate"),
                      QStringLiteral("0,0,10,0,0")}).exitCode, 2);
}

TEST_F(CliCalibrate, TrackWritesTheCalibratedCsv)
{
    const QString csv = dir.filePath(QStringLiteral("track.csv"));
    const CliRun run = RunCli({QStringLiteral("track"), sample, QStringLiteral("--point"), QStringLiteral("30,30"),
                               QStringLiteral("--csv"), csv, QStringLiteral("--accept-lost"), QStringLiteral("--calibrate"),
                               QStringLiteral("0,0,30,40,10,mm")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_GT(lines.size(), 13);
    EXPECT_EQ(lines[5].trimmed(), QByteArray("Calibration ,5.00"));
    EXPECT_EQ(lines[6].trimmed(), QByteArray("Calibration Units ,mm"));
    // Frame 0 at pixel (30, 30): 6 mm from the left edge.
    EXPECT_TRUE(lines[12].startsWith("0,0.000,30.00,30.00,6.000,")) << lines[12].toStdString();
}

} // namespace
