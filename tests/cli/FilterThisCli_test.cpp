// qorplayer-cli filter and this, run as a user would run them.

#include "graphs/CfcFilter.h"
#include "graphs/ThisFile.h"

#include "CliRunner.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

namespace {

class CliTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        if (!CliBuilt())
            GTEST_SKIP() << "qorplayer-cli is not built";
    }

    QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }

    void write(const char* name, const QByteArray& content) const
    {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QByteArray read(const char* name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    CliRun run(const QStringList& args) const { return RunCli(args); }

    QTemporaryDir dir_;
};

} // namespace

TEST_F(CliTest, FilterWritesTheFilteredSamples)
{
    std::vector<float> input(1000);
    QByteArray text;
    for (size_t i = 0; i < input.size(); ++i) {
        input[i] = float(std::sin(double(i) * 0.05) + (i % 7) * 0.1);
        text += QByteArray::number(input[i], 'g', 9) + "\r\n";
    }
    write("in.txt", text + "\n");
    const CliRun result = run({QStringLiteral("filter"), QStringLiteral("--cfc"), QStringLiteral("180"),
                               QStringLiteral("--rate"), QStringLiteral("10000"), path("in.txt"), path("out.txt")});
    ASSERT_EQ(result.exitCode, 0) << result.errorText.toStdString();

    const std::vector<float> expected = CfcFilter(input, 180, 10000.0f);
    const QList<QByteArray> lines = read("out.txt").split('\n');
    ASSERT_EQ(lines.size(), qsizetype(expected.size()) + 1); // the last line ends with a newline
    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(lines[qsizetype(i)].toFloat(), expected[i]) << i; // 9 digits read back exactly
}

TEST_F(CliTest, FilterRejectsBadInputWithOneLine)
{
    write("bad.txt", "1.0\n2.0\n3,5\n");
    const QStringList options{QStringLiteral("--cfc"), QStringLiteral("60"), QStringLiteral("--rate"),
                              QStringLiteral("10000")};
    CliRun result = run(QStringList{QStringLiteral("filter")} + options + QStringList{path("bad.txt"), path("out.txt")});
    EXPECT_NE(result.exitCode, 0);
    EXPECT_TRUE(result.errorText.contains("line 3: \"3,5\" is not a number")) << result.errorText.toStdString();
    EXPECT_EQ(result.toolLines().size(), 1);
    EXPECT_FALSE(QFile::exists(path("out.txt")));

    write("pairs.txt", "1 2\n");
    result = run(QStringList{QStringLiteral("filter")} + options + QStringList{path("pairs.txt"), path("out.txt")});
    EXPECT_NE(result.exitCode, 0);
    EXPECT_TRUE(result.errorText.contains("line 1:")) << result.errorText.toStdString();

    write("good.txt", "1\n");
    for (const QStringList& wrong : {QStringList{QStringLiteral("--cfc"), QStringLiteral("100"),
                                                 QStringLiteral("--rate"), QStringLiteral("10000")},
                                     QStringList{QStringLiteral("--cfc"), QStringLiteral("1000"),
                                                 QStringLiteral("--rate"), QStringLiteral("4000")},
                                     QStringList{QStringLiteral("--cfc"), QStringLiteral("60"),
                                                 QStringLiteral("--rate"), QStringLiteral("-5")}}) {
        result = run(QStringList{QStringLiteral("filter")} + wrong + QStringList{path("good.txt"), path("out.txt")});
        EXPECT_NE(result.exitCode, 0) << wrong.join(' ').toStdString();
        EXPECT_EQ(result.toolLines().size(), 1) << result.errorText.toStdString();
    }
    EXPECT_FALSE(QFile::exists(path("out.txt")));
}

TEST_F(CliTest, ThisWritesTheChannelFile)
{
    write("y.txt", "1.5\n-1\n2\n");
    const CliRun result = run({QStringLiteral("this"), path("y.txt"), path("y.dat"), QStringLiteral("--rate"),
                               QStringLiteral("1000"), QStringLiteral("--start"), QStringLiteral("-0.001"),
                               QStringLiteral("--title"), QStringLiteral("Sled"), QStringLiteral("--yunits"),
                               QStringLiteral("g"), QStringLiteral("--invert")});
    ASSERT_EQ(result.exitCode, 0) << result.errorText.toStdString();
    const QByteArray expected = "Qor Player Export\r\ns\r\ng\r\nSled\r\n$MULTIMEDIA_DATA\r\n$GRP_QP Data\r\n"
                                "$LOC_Sled\r\n$DIR_\r\n$TYP_\r\n$QAN_\r\n$CAC_\r\n$CFC_\r\n$MUN_g\r\n$DHS_\r\n"
                                "$NOS_3\r\n$SPS_1000\r\n$TOF_-0.001\r\n$ISO_\r\n$T/HIS_DATA\r\n"
                                "-0.00100 -1.50000\r\n"
                                "0.00000 0\r\n"
                                "0.00100 -2.00000\r\n";
    EXPECT_EQ(read("y.dat"), expected);
}

TEST_F(CliTest, ThisFiltersPairsAndNamesTheClass)
{
    QByteArray text;
    std::vector<float> x, y;
    for (int i = 0; i < 500; ++i) {
        x.push_back(float(i) * 0.5f);
        y.push_back(float((i % 10) - 5));
        text += QByteArray::number(x.back()) + ' ' + QByteArray::number(y.back()) + '\n';
    }
    write("xy.txt", text);
    const CliRun result = run({QStringLiteral("this"), path("xy.txt"), path("xy.dat"), QStringLiteral("--rate"),
                               QStringLiteral("5000"), QStringLiteral("--cfc"), QStringLiteral("600"),
                               QStringLiteral("--xunits"), QStringLiteral("mm")});
    ASSERT_EQ(result.exitCode, 0) << result.errorText.toStdString();

    TABChannel channel(x, y);
    channel.Title = QStringLiteral("xy: CFC600");
    channel.XUnits = QStringLiteral("mm");
    channel.SampleInterval = 1.0L / 5000;
    channel.PlotKind = kPlotXYTrack;
    ASSERT_TRUE(ApplyCfc(channel, 600));
    // An X/Y track has both axes filtered; a straight X stays straight.
    for (size_t i = 0; i < x.size(); ++i)
        ASSERT_NEAR(channel.XData[i], x[i], 1e-4f) << "sample " << i;
    EXPECT_EQ(read("xy.dat"), ThisFileBytes(channel));
}
