// qorplayer-cli plot: a graph window rendered offscreen into an image.

#include "graphs/ThisFile.h"

#include "CliRunner.h"

#include <QFile>
#include <QImage>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>

namespace {

class PlotCli : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        if (!CliBuilt())
            GTEST_SKIP() << "qorplayer-cli is not built";
    }
    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

TEST_F(PlotCli, WritesAPictureOfTheAskedSizeWithThePlotDrawn)
{
    // A T/HIS channel and a text channel with another unit.
    std::vector<float> x(500), y(500);
    for (int i = 0; i < 500; ++i) {
        x[size_t(i)] = i / 1000.0f;
        y[size_t(i)] = float(std::sin(i * 0.02) * 20.0);
    }
    TABChannel c(x, y);
    c.Title = QStringLiteral("sled : P1 X Velocity");
    c.XUnits = QStringLiteral("s");
    c.YUnits = QStringLiteral("mm/sec");
    c.SampleInterval = 0.001L;
    QString error;
    ASSERT_TRUE(WriteThisFile(c, path("v.dat"), &error)) << error.toStdString();
    QFile text(path("force.txt"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    for (int i = 0; i < 500; ++i)
        text.write(QByteArray::number(std::cos(i * 0.01) * 3.0) + "\n");
    text.close();

    const CliRun r = RunCli({"plot", path("v.dat"), path("force.txt"), "--rate", "1000", "--out", path("g.png"),
                             "--size", "640x360", "--cfc", "180", "--title", "Sled test"});
    ASSERT_EQ(r.exitCode, 0) << r.errorText.toStdString();
    const QImage image(path("g.png"));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), QSize(640, 360));
    // The plot area is not blank: the red and blue lines of the two channels
    // are drawn.
    int red = 0, blue = 0;
    for (int yy = 0; yy < image.height(); ++yy)
        for (int xx = 0; xx < image.width(); ++xx) {
            const QColor p = image.pixelColor(xx, yy);
            red += p.red() > 200 && p.green() < 80 && p.blue() < 80;
            blue += p.blue() > 200 && p.red() < 80 && p.green() < 80;
        }
    EXPECT_GT(red, 200);
    EXPECT_GT(blue, 200);

    for (const char* out : {"g.pdf", "g.svg"}) {
        const CliRun other = RunCli({"plot", path("v.dat"), "--out", path(out)});
        EXPECT_EQ(other.exitCode, 0) << other.errorText.toStdString();
        EXPECT_GT(QFile(path(out)).size(), 500) << out;
    }
}

TEST_F(PlotCli, RefusesBadInputWithOneLine)
{
    QFile bad(path("bad.dat"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a time history\r\n");
    bad.close();
    const QStringList cases[] = {
        {"plot", path("bad.dat"), "--out", path("a.png")},
        {"plot", path("missing.dat"), "--out", path("a.png")},
        {"plot", path("bad.dat"), "--out", path("a.bmp")},
        {"plot", path("bad.dat"), "--out", path("a.png"), "--size", "12"},
        {"plot", path("x.txt"), "--out", path("a.png")}, // text needs --rate
    };
    for (const QStringList& args : cases) {
        const CliRun r = RunCli(args);
        EXPECT_NE(r.exitCode, 0) << args.join(' ').toStdString();
        EXPECT_EQ(r.toolLines().size(), 1) << r.errorText.toStdString();
        EXPECT_FALSE(QFile::exists(path("a.png")));
    }
}

} // namespace
