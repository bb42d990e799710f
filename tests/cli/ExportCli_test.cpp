// qorplayer-cli export and frame, run as a user would run them: existing
// files, file numbering, bad options, TIFF frames.

#include "CliRunner.h"
#include "TiffRead.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ExportCliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        if (!CliBuilt())
            GTEST_SKIP() << "qorplayer-cli is not built";
        // Frames -3 .. 6.
        const CliRun made = run({"make-sample", recording(), "--frames", "10", "--size", "32x24", "--first", "-3"});
        ASSERT_EQ(made.exitCode, 0) << made.errorText.toStdString();
    }

    QString recording() const { return m_dir.filePath(QStringLiteral("rec.bvf")); }
    QString path(const QString& name) const { return m_dir.filePath(name); }

    CliRun run(const QStringList& args) const { return RunCli(args); }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(ExportCliTest, ExistingFilesAreReplacedOnlyWithOverwrite)
{
    QFile old(path(QStringLiteral("clip.AVI")));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("keep me");
    old.close();
    const QStringList args{"export", recording(), "--format", "avi", "--out", path(QStringLiteral("clip"))};
    CliRun refused = run(args);
    EXPECT_EQ(refused.exitCode, 1);
    ASSERT_EQ(refused.toolLines().size(), 1) << refused.errorText.toStdString();
    EXPECT_TRUE(refused.toolLines()[0].contains(path(QStringLiteral("clip.AVI")))) << refused.errorText.toStdString();
    EXPECT_TRUE(refused.toolLines()[0].contains(QLatin1String("--overwrite")));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("keep me"));
    old.close();

    const CliRun replaced = run(args + QStringList{"--overwrite"});
    EXPECT_EQ(replaced.exitCode, 0) << replaced.errorText.toStdString();
    EXPECT_GT(QFileInfo(old).size(), 1000);

    // A sequence: the first existing frame file is named.
    QFile frame(path(QStringLiteral("s2.bmp")));
    ASSERT_TRUE(frame.open(QIODevice::WriteOnly));
    frame.close();
    refused = run({"export", recording(), "--format", "bmp", "--out", path(QStringLiteral("s.bmp")), "--numbering", "index"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(refused.errorText.contains(path(QStringLiteral("s2.bmp")))) << refused.errorText.toStdString();
}

TEST_F(ExportCliTest, RangeIndexNumberingSortsInFrameOrder)
{
    const CliRun byFrame = run({"export", recording(), "--format", "bmp", "--out", path(QStringLiteral("f.bmp"))});
    ASSERT_EQ(byFrame.exitCode, 0) << byFrame.errorText.toStdString();
    const CliRun byIndex = run({"export", recording(), "--format", "bmp", "--out", path(QStringLiteral("i.bmp")), "--numbering", "index"});
    ASSERT_EQ(byIndex.exitCode, 0) << byIndex.errorText.toStdString();

    const QStringList byName = QDir(m_dir.path()).entryList({QStringLiteral("i*.bmp")}, QDir::Files, QDir::Name);
    ASSERT_EQ(byName.size(), 10);
    EXPECT_EQ(byName.first(), QStringLiteral("i0.bmp"));
    EXPECT_EQ(byName.last(), QStringLiteral("i9.bmp"));
    // Place k holds frame k - 3, the same picture as the frame-numbered file.
    const QStringList frameNames{"f-3.bmp", "f-2.bmp", "f-1.bmp", "f0.bmp", "f1.bmp", "f2.bmp", "f3.bmp", "f4.bmp", "f5.bmp", "f6.bmp"};
    for (int k = 0; k < 10; ++k) {
        QFile a(path(byName[k])), b(path(frameNames[k]));
        ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly)) << k;
        EXPECT_EQ(a.readAll(), b.readAll()) << k;
    }
}

TEST_F(ExportCliTest, BadOptionsSayWhatIsWrong)
{
    CliRun result = run({"export", recording(), "--format", "avi", "--fps", "0", "--out", path(QStringLiteral("z.avi"))});
    EXPECT_EQ(result.exitCode, 2);
    ASSERT_EQ(result.toolLines().size(), 1) << result.errorText.toStdString();
    EXPECT_TRUE(result.toolLines()[0].contains(QLatin1String("--fps")));
    EXPECT_TRUE(result.toolLines()[0].contains(QLatin1String("frames per second")));
    EXPECT_FALSE(result.errorText.contains(QLatin1String("play speed")));

    const QString missing = path(QStringLiteral("no/such/folder"));
    result = run({"export", recording(), "--format", "tif", "--out", missing + QStringLiteral("/x.tif")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(result.errorText.contains(missing)) << result.errorText.toStdString();

    result = run({"export", recording(), "--format", "tif", "--numbering", "sideways", "--out", path(QStringLiteral("x.tif"))});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.errorText.contains(QLatin1String("--numbering"))) << result.errorText.toStdString();
}

TEST_F(ExportCliTest, FrameWritesTiff)
{
    const CliRun tif = run({"frame", recording(), "2", path(QStringLiteral("one.tif"))});
    ASSERT_EQ(tif.exitCode, 0) << tif.errorText.toStdString();
    const CliRun bmp = run({"frame", recording(), "2", path(QStringLiteral("one.bmp"))});
    ASSERT_EQ(bmp.exitCode, 0) << bmp.errorText.toStdString();
    const QImage fromTiff = ReadTiffPage(path(QStringLiteral("one.tif")), 0);
    const QImage fromBmp(path(QStringLiteral("one.bmp")));
    ASSERT_EQ(fromTiff.size(), QSize(32, 24));
    EXPECT_EQ(fromTiff.convertToFormat(QImage::Format_RGB32), fromBmp.convertToFormat(QImage::Format_RGB32));
}
