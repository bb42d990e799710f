// qorplayer-cli --stamp and --logo end to end: a stamp draws exactly what
// --text draws for the same string, a logo lands in its corner, and an
// exported AVI carries both in its frames and the calibration in its chunk.

#include "CliRunner.h"

#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class StampLogoCliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        if (!CliBuilt())
            GTEST_SKIP() << "qorplayer-cli is not built";
        // 1000 frames per second from frame 0: frame 250 is at 0.25 s.
        const CliRun made = RunCli({"make-sample", recording(), "--frames", "260", "--size", "120x64", "--fps", "1000"});
        ASSERT_EQ(made.exitCode, 0) << made.errorText.toStdString();
        QImage logo(30, 16, QImage::Format_RGB888);
        logo.fill(Qt::red);
        ASSERT_TRUE(logo.save(logoFile()));
    }

    QString recording() const { return m_dir.filePath(QStringLiteral("rec.bvf")); }
    QString logoFile() const { return m_dir.filePath(QStringLiteral("logo, red.png")); }
    QString path(const QString& name) const { return m_dir.filePath(name); }

    QImage frame(const QString& file, int n, const QStringList& options)
    {
        const QString out = path(QStringLiteral("f%1.png").arg(m_shots++));
        const CliRun run = RunCli(QStringList{"frame", file, QString::number(n), out} + options);
        EXPECT_EQ(run.exitCode, 0) << run.errorText.toStdString();
        return QImage(out).convertToFormat(QImage::Format_RGB888);
    }

    QTemporaryDir m_dir;
    int m_shots = 0;
};

} // namespace

TEST_F(StampLogoCliTest, StampsDrawLikeTextOfTheSameString)
{
    struct Case {
        const char* stamp;
        const char* text;
    };
    const Case cases[] = {
        {"time-s,4,6", "4,6,0,0.250 s"},
        {"time-ms,4,6,3", "4,6,0,250.000 ms"},
        {"time-s,10,20,1", "10,20,0,0.2 s"},
        {"frame,4,6", "4,6,0,250"},
    };
    const QImage plain = frame(recording(), 250, {});
    for (const Case& c : cases) {
        const QImage stamped = frame(recording(), 250, {"--stamp", QString::fromLatin1(c.stamp)});
        const QImage text = frame(recording(), 250, {"--text", QString::fromLatin1(c.text)});
        EXPECT_FALSE(stamped.isNull()) << c.stamp;
        EXPECT_EQ(stamped, text) << c.stamp;
        EXPECT_NE(stamped, plain) << c.stamp;
    }
}

TEST_F(StampLogoCliTest, LogoGoesToItsCornerAtItsSize)
{
    // 50 % of 30 × 16: 15 × 8 in the bottom-right corner, solid.
    const QImage img = frame(recording(), 3, {"--logo", logoFile() + QStringLiteral(",br,solid,50")});
    ASSERT_FALSE(img.isNull());
    EXPECT_EQ(img.pixelColor(119, 63), QColor(Qt::red));
    EXPECT_EQ(img.pixelColor(105, 56), QColor(Qt::red));
    EXPECT_NE(img.pixelColor(104, 63), QColor(Qt::red));
    EXPECT_NE(img.pixelColor(119, 55), QColor(Qt::red));
}

TEST_F(StampLogoCliTest, BadStampsAndLogosAreRefusedGoodOnesMayRepeat)
{
    const CliRun repeated = RunCli({"frame", recording(), "0", path(QStringLiteral("two.png")), "--stamp", "frame,1,1",
                                    "--stamp", "time-s,1,20", "--logo", logoFile() + QStringLiteral(",tl,and,10"),
                                    "--logo", logoFile() + QStringLiteral(",br,or,100")});
    EXPECT_EQ(repeated.exitCode, 0) << repeated.errorText.toStdString();

    const QStringList bad[] = {
        {"--stamp", "time,1,2"},
        {"--stamp", "time-s,1"},
        {"--stamp", "frame,1,2,3,4"},
        {"--stamp", "time-s,1,2,16"},
        {"--logo", "x.png,tl,solid"},
        {"--logo", "LOGO,middle,solid,50"},
        {"--logo", "LOGO,tl,blend,50"},
        {"--logo", "LOGO,tl,solid,50.5"},
        {"--logo", "LOGO,tl,solid,0"},
        {"--logo", "/nonexistent/logo.bmp,tl,solid,50"},
    };
    for (QStringList options : bad) {
        options[1].replace(QStringLiteral("LOGO"), logoFile());
        const CliRun run = RunCli(QStringList{"frame", recording(), "0", path(QStringLiteral("bad.png"))} + options);
        EXPECT_EQ(run.exitCode, 2) << options.join(' ').toStdString();
        EXPECT_FALSE(run.toolLines().isEmpty()) << options.join(' ').toStdString();
    }
}

TEST_F(StampLogoCliTest, ExportedAviCarriesStampLogoAndCalibration)
{
    const QStringList options{"--stamp", "time-ms,2,2,1", "--logo", logoFile() + QStringLiteral(",tl,solid,100")};
    const QString avi = path(QStringLiteral("out.avi"));
    const CliRun exported = RunCli(QStringList{"export", recording(), "--format", "avi", "--out", avi, "--first", "100",
                                               "--last", "103", "--calibrate", "0,0,30,40,10,mm"} + options);
    ASSERT_EQ(exported.exitCode, 0) << exported.errorText.toStdString();
    const CliRun info = RunCli({"info", avi});
    ASSERT_EQ(info.exitCode, 0) << info.errorText.toStdString();
    EXPECT_TRUE(info.outputText.contains(QStringLiteral("\nPixelsPerUnit: 5\n"))) << info.outputText.toStdString();
    EXPECT_TRUE(info.outputText.contains(QStringLiteral("\nCalUnitIndex: 1\n"))) << info.outputText.toStdString();
    // Each exported frame is the source frame as rendered with its own time.
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(frame(avi, k, {}), frame(recording(), 100 + k, options)) << k;
}
