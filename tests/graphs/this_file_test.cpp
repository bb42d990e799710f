// T/HIS files, byte for byte.

#include "graphs/ThisFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TABChannel smallChannel()
{
    TABChannel channel({-0.0125f, -0.012f, -0.0115f, -0.011f, -0.0105f},
                       {1.5f, -1.0f, 12345678.9f, 0.000001234f, -2.0f});
    channel.Title = QStringLiteral("crash.bvf : P1 Y Acceleration \u00B5");
    channel.YUnits = QStringLiteral("mm/sec\u00B2");
    channel.XUnits = QStringLiteral("s");
    channel.SampleInterval = 1.0L / 2000;
    channel.StartTime = -0.0125L;
    return channel;
}

QByteArray header(const QByteArray& nos, const QByteArray& sps, const QByteArray& tof)
{
    return "Qor Player Export\r\n"
           "s\r\n"
           "mm/sec\xB2\r\n"
           "crash.bvf : P1 Y Acceleration \xB5\r\n"
           "$MULTIMEDIA_DATA\r\n"
           "$GRP_QP Data\r\n"
           "$LOC_crash.bvf : P1 Y Acceleration \xB5\r\n"
           "$DIR_\r\n"
           "$TYP_\r\n"
           "$QAN_\r\n"
           "$CAC_\r\n"
           "$CFC_\r\n"
           "$MUN_mm/sec\xB2\r\n"
           "$DHS_\r\n"
           "$NOS_" + nos + "\r\n"
           "$SPS_" + sps + "\r\n"
           "$TOF_" + tof + "\r\n"
           "$ISO_\r\n"
           "$T/HIS_DATA\r\n";
}

} // namespace

TEST(ThisFile, SmallChannelByteForByte)
{
    const QByteArray expected = header("5", "2000", "-0.0125")
        + "-0.01250 1.50000\r\n"
          "-0.01200 0\r\n"
          "-0.01150 1.234568E+07\r\n"
          "-0.01100 0.00000\r\n"
          "-0.01050 -2.00000\r\n";
    EXPECT_EQ(ThisFileBytes(smallChannel()), expected);
}

TEST(ThisFile, InvertedChannelChangesSignButKeepsMissingSamples)
{
    TABChannel channel = smallChannel();
    channel.Inverted = 1;
    // The stored -1 stays missing ("0"), and the stored -2 becomes 2.
    const QByteArray expected = header("5", "2000", "-0.0125")
        + "-0.01250 -1.50000\r\n"
          "-0.01200 0\r\n"
          "-0.01150 -1.234568E+07\r\n"
          "-0.01100 0.00000\r\n"
          "-0.01050 2.00000\r\n";
    EXPECT_EQ(ThisFileBytes(channel), expected);
}

TEST(ThisFile, PointStepWritesEveryStepthSample)
{
    TABChannel channel = smallChannel();
    channel.PointStep = 2; // 5 / 2 = 2 samples: 0 and 2
    const QByteArray expected = header("2", "2000", "-0.0125")
        + "-0.01250 1.50000\r\n"
          "-0.01150 1.234568E+07\r\n";
    EXPECT_EQ(ThisFileBytes(channel), expected);
}

TEST(ThisFile, HeaderNumbers)
{
    struct Case {
        long double interval;
        long double start;
        const char* sps;
        const char* tof;
    };
    const Case cases[] = {
        {1.0L / 2000, 0, "2000", "0"},
        {0.4L, 1.23456L, "2", "1.235"},  // 2.5 rounds to even
        {1.0L / 3.5L, 100000, "4", "1E+05"}, // 3.5 rounds to even
        {1.0L / 1000, -1e-7L, "1000", "-1E-07"},
        {0, 0, "0", "0"},                // no interval, no rate
    };
    for (const Case& c : cases) {
        TABChannel channel = smallChannel();
        channel.SampleInterval = c.interval;
        channel.StartTime = c.start;
        const QList<QByteArray> lines = ThisFileBytes(channel).split('\n');
        EXPECT_EQ(lines[15], QByteArray("$SPS_") + c.sps + '\r');
        EXPECT_EQ(lines[16], QByteArray("$TOF_") + c.tof + '\r');
    }
}

TEST(ThisFile, ThousandSamplesGiveThousandNineteenLines)
{
    TABChannel channel(std::vector<float>(1000, 0.5f), std::vector<float>(1000, 2.0f));
    channel.SampleInterval = 0.001L;
    const QByteArray bytes = ThisFileBytes(channel);
    EXPECT_EQ(bytes.count("\r\n"), 1019);
    EXPECT_EQ(bytes.count('\n'), 1019);
    EXPECT_TRUE(bytes.contains("\r\n$NOS_1000\r\n"));
    EXPECT_TRUE(bytes.endsWith("0.50000 2.00000\r\n"));
}

TEST(ThisFile, WritesTheFileAndFailsCleanly)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("head.dat"));
    QString error;
    ASSERT_TRUE(WriteThisFile(smallChannel(), path, &error)) << error.toStdString();
    QFile written(path);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll(), ThisFileBytes(smallChannel()));

    const QString missing = dir.filePath(QStringLiteral("no such folder/head.dat"));
    EXPECT_FALSE(WriteThisFile(smallChannel(), missing, &error));
    EXPECT_TRUE(error.contains(missing)) << error.toStdString();
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("head.dat")});
}
