// T/HIS files, byte for byte.

#include "graphs/ThisFile.h"

#include <QDir>
#include <QFile>
#include <QSet>
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
          "-0.01150 1.2345679E+07\r\n"
          "-0.01100 0.000001234\r\n"
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
          "-0.01150 -1.2345679E+07\r\n"
          "-0.01100 -0.000001234\r\n"
          "-0.01050 2.00000\r\n";
    EXPECT_EQ(ThisFileBytes(channel), expected);
}

TEST(ThisFile, PointStepWritesEveryStepthSample)
{
    TABChannel channel = smallChannel();
    channel.PointStep = 2; // 5 / 2 = 2 samples: 0 and 2
    const QByteArray expected = header("2", "2000", "-0.0125")
        + "-0.01250 1.50000\r\n"
          "-0.01150 1.2345679E+07\r\n";
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
        {0.4L, 1.23456L, "2.5", "1.23456"},
        {1.0L / 3.5L, 100000, "3.5", "100000"},
        {1.0L / 1000, -1e-7L, "1000", "-1E-07"},
        {1.0L / 10000, -1.2345L, "10000", "-1.2345"},    // one sample off with 4 digits
        {1.0L / 200000, 12.3456L, "200000", "12.3456"},  // 880 samples off with 4 digits
        {1.0L / 29.97L, 0.00005L, "29.97", "0.00005"},   // not 30
        {1.0L / 1000, 1.5e9L, "1000", "1.5E+09"},
        {0, 0, "0", "0"},                                // no interval, no rate
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

TEST(ThisFile, SamplesKeepEveryDigitOfTheirSingle)
{
    struct Case {
        float x;
        float y;
        const char* line;
    };
    const Case cases[] = {
        {0.0f, 0.001234f, "0.00000 0.001234"},     // not 0.00123
        {0.1f, 9.3586855f, "0.10000 9.3586855"},   // not 9.35868 (rounded twice)
        {1.0f, 0.00005f, "1.00000 0.00005"},
        {2.5f, 1234567.5f, "2.50000 1234567.50000"},
        {3.0f, 12345678.0f, "3.00000 1.2345678E+07"},
        {-0.0f, 1.0e-12f, "0.00000 0.000000000001"},
        {4.0f, kTrackingMissingSample, "4.00000 0"}, // tracking's missing value is missing
        {kTrackingMissingSample, 1.0f, "-1.00000 1.00000"},
    };
    for (const Case& c : cases) {
        TABChannel channel({c.x}, {c.y});
        const QList<QByteArray> lines = ThisFileBytes(channel).split('\n');
        ASSERT_EQ(lines.size(), 21);
        EXPECT_EQ(lines[19], QByteArray(c.line) + '\r');
        channel.Inverted = 1;
        if (c.y == kTrackingMissingSample)
            EXPECT_EQ(ThisFileBytes(channel).split('\n')[19], QByteArray(c.line) + '\r');
    }

    // At 200 kHz every time of the first thousand samples is written apart,
    // and every sample reads back as the single it was.
    std::vector<float> x(1000), y(1000);
    uint32_t state = 7;
    for (size_t i = 0; i < x.size(); ++i) {
        x[i] = float(double(i) / 200000.0);
        state = state * 1664525u + 1013904223u;
        y[i] = float(double(state) / 4294967296.0 - 0.5) * 1e-3f;
    }
    const QList<QByteArray> lines = ThisFileBytes(TABChannel(x, y)).split('\n');
    QSet<QByteArray> times;
    for (size_t i = 0; i < x.size(); ++i) {
        const QList<QByteArray> pair = lines[qsizetype(19 + i)].trimmed().split(' ');
        times.insert(pair[0]);
        ASSERT_EQ(pair[0].toFloat(), x[i]) << i;
        ASSERT_EQ(pair[1].toFloat(), y[i]) << i;
    }
    EXPECT_EQ(times.size(), 1000);
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
