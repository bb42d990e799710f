// End to end: qorplayer-cli make-sample writes a recording with moving
// targets whose true paths are known; qorplayer-cli track follows them from
// one click each and writes CSV files that are checked against the paths.

#include "sources/bvf/SampleScene.h"

#include "CliRunner.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cmath>
#include <functional>

namespace {

// Pixel X, Y of every data row; NAN for a missing position.
std::vector<QPointF> CsvPositions(const QString& path)
{
    QFile f(path);
    std::vector<QPointF> out;
    if (!f.open(QIODevice::ReadOnly))
        return out;
    const QList<QByteArray> lines = f.readAll().split('\n');
    for (int i = 12; i < lines.size(); ++i) {
        const QList<QByteArray> c = lines[i].split(',');
        if (c.size() < 4)
            continue;
        if (c[2].startsWith("VANISH"))
            out.emplace_back(NAN, NAN);
        else
            out.emplace_back(c[2].toDouble(), c[3].toDouble());
    }
    return out;
}

// The scene's paths count the top-left pixel's centre as (0, 0); image
// coordinates put it at (0.5, 0.5).
QPointF Truth(const std::function<QPointF(int, QSize)>& path, int frame)
{
    return path(frame, bvf::kDefaultSampleSize) + QPointF(0.5, 0.5);
}

} // namespace

TEST(TrackCli, FollowsTheSampleTargetsFromOneClickEach)
{
    if (!CliBuilt())
        GTEST_SKIP() << "qorplayer-cli not built";
    QTemporaryDir dir;
    const QString sample = dir.filePath(QStringLiteral("s.bvf"));
    ASSERT_EQ(RunCli({"make-sample", sample, "--frames", "60"}).exitCode, 0);

    const QPointF q0 = Truth(bvf::quadrantCentreAt, 0) + QPointF(1.2, -1.5);
    const QPointF l0 = Truth(bvf::lightSpotCentreAt, 0) + QPointF(-0.8, 1.0);
    const QPointF d0 = Truth(bvf::darkSpotCentreAt, 0) + QPointF(1.0, 0.6);
    const QString out = dir.filePath(QStringLiteral("track.csv"));
    const QString sheet = dir.filePath(QStringLiteral("track.xlsx"));
    // The dark spot moves up to 3.4 pixels a frame: a search area of three
    // template widths keeps it inside the correlation's reach.
    const CliRun r = RunCli({"track", sample, "--csv", out, "--xlsx", sheet, "--search", "300",
                                "--point", QStringLiteral("%1,%2,quadrant").arg(q0.x()).arg(q0.y()),
                                "--point", QStringLiteral("%1,%2,light").arg(l0.x()).arg(l0.y()),
                                "--point", QStringLiteral("%1,%2,dark").arg(d0.x()).arg(d0.y())});
    ASSERT_EQ(r.exitCode, 0) << r.errorText.toStdString();

    // Every target is followed over the whole range.
    const std::vector<QPointF> quad = CsvPositions(dir.filePath(QStringLiteral("track-Point 0.csv")));
    const std::vector<QPointF> light = CsvPositions(dir.filePath(QStringLiteral("track-Point 1.csv")));
    const std::vector<QPointF> dark = CsvPositions(dir.filePath(QStringLiteral("track-Point 2.csv")));
    ASSERT_EQ(quad.size(), 60u);
    ASSERT_EQ(light.size(), 60u);
    ASSERT_EQ(dark.size(), 60u);
    for (int i = 0; i < 60; ++i) {
        const QPointF tq = Truth(bvf::quadrantCentreAt, i);
        const QPointF tl = Truth(bvf::lightSpotCentreAt, i);
        const QPointF td = Truth(bvf::darkSpotCentreAt, i);
        EXPECT_LT(std::hypot(quad[size_t(i)].x() - tq.x(), quad[size_t(i)].y() - tq.y()), 0.5) << i;
        EXPECT_LT(std::hypot(light[size_t(i)].x() - tl.x(), light[size_t(i)].y() - tl.y()), 1.0) << i;
        EXPECT_LT(std::hypot(dark[size_t(i)].x() - td.x(), dark[size_t(i)].y() - td.y()), 3.0) << i;
    }

    // The spreadsheet beside each CSV is a real workbook (a zip container).
    for (int p = 0; p < 3; ++p) {
        QFile book(dir.filePath(QStringLiteral("track-Point %1.xlsx").arg(p)));
        ASSERT_TRUE(book.open(QIODevice::ReadOnly)) << p;
        EXPECT_EQ(book.read(2), QByteArray("PK"));
    }
}

TEST(TrackCli, StopsWhereThePointIsLostUnlessAccepted)
{
    if (!CliBuilt())
        GTEST_SKIP() << "qorplayer-cli not built";
    QTemporaryDir dir;
    const QString sample = dir.filePath(QStringLiteral("s.bvf"));
    ASSERT_EQ(RunCli({"make-sample", sample, "--frames", "20"}).exitCode, 0);
    const QString out = dir.filePath(QStringLiteral("lost.csv"));

    // A quadrant point on plain background: its centre is never found.
    CliRun r = RunCli({"track", sample, "--point", "400,250,quadrant", "--first", "5", "--csv", out});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_TRUE(r.errorText.contains(QStringLiteral("Point 0 is LOST"))) << r.errorText.toStdString();
    EXPECT_TRUE(r.errorText.contains(QStringLiteral("at frame 6"))) << r.errorText.toStdString();
    std::vector<QPointF> rows = CsvPositions(out);
    ASSERT_EQ(rows.size(), 20u);
    EXPECT_EQ(rows[5].x(), 400.0);   // the placement is kept
    EXPECT_TRUE(std::isnan(rows[6].x()));  // the lost frame is not

    r = RunCli({"track", sample, "--point", "400,250,quadrant", "--first", "5", "--accept-lost", "--csv", out});
    EXPECT_EQ(r.exitCode, 0) << r.errorText.toStdString();
    rows = CsvPositions(out);
    for (int i = 5; i < 20; ++i)
        EXPECT_FALSE(std::isnan(rows[size_t(i)].x())) << i;

    // Bad input is refused with a message.
    EXPECT_EQ(RunCli({"track", sample, "--point", "1,2,sideways", "--csv", out}).exitCode, 2);
    EXPECT_EQ(RunCli({"track", sample, "--point", "1,2", "--first", "10", "--last", "5", "--csv", out}).exitCode, 2);
    EXPECT_EQ(RunCli({"track", sample, "--point", "1,2"}).exitCode, 2);
    EXPECT_NE(RunCli({"track", dir.filePath("missing.bvf"), "--point", "1,2", "--csv", out}).exitCode, 0);
}

TEST(TrackCli, OriginYDirectionAndRotationCentre)
{
    if (!CliBuilt())
        GTEST_SKIP() << "qorplayer-cli not built";
    QTemporaryDir dir;
    const QString sample = dir.filePath(QStringLiteral("s.bvf"));
    ASSERT_EQ(RunCli({"make-sample", sample, "--frames", "10"}).exitCode, 0);
    const QString out = dir.filePath(QStringLiteral("o.csv"));
    const QPointF q0 = Truth(bvf::quadrantCentreAt, 0);
    const QString point = QStringLiteral("%1,%2,quadrant").arg(q0.x()).arg(q0.y());

    // Every data row as fields; the calibration from the header.
    const auto rows = [&out](double* pixelsPerUnit) {
        QFile f(out);
        std::vector<QList<QByteArray>> data;
        if (!f.open(QIODevice::ReadOnly))
            return data;
        const QList<QByteArray> lines = f.readAll().split('\n');
        *pixelsPerUnit = lines[5].split(',').value(1).toDouble();
        for (int i = 12; i < lines.size(); ++i)
            if (lines[i].count(',') == 13)
                data.push_back(lines[i].split(','));
        return data;
    };
    double p = 0;

    // Without an origin: no rotation speed, and the command says why.
    CliRun r = RunCli({"track", sample, "--point", point, "--csv", out});
    ASSERT_EQ(r.exitCode, 0) << r.errorText.toStdString();
    EXPECT_TRUE(r.errorText.contains(QStringLiteral("RPM needs a centre"))) << r.errorText.toStdString();
    for (const QList<QByteArray>& row : rows(&p))
        EXPECT_EQ(row[12], "VANISH ");

    // With one: positions from it, Y growing the chosen way, rotation speed.
    struct Case {
        const char* flag;
        double ySign;
    };
    for (const Case c : {Case{"--y-up", -1.0}, Case{"--y-down", 1.0}}) {
        r = RunCli({"track", sample, "--point", point, "--csv", out, "--origin", "80.5,60.25", c.flag});
        ASSERT_EQ(r.exitCode, 0) << r.errorText.toStdString();
        EXPECT_FALSE(r.errorText.contains(QStringLiteral("RPM needs a centre")));
        const std::vector<QList<QByteArray>> data = rows(&p);
        ASSERT_EQ(data.size(), 10u);
        ASSERT_GT(p, 0);
        for (size_t i = 0; i < data.size(); ++i) {
            const QList<QByteArray>& row = data[i];
            EXPECT_NEAR(row[4].toDouble(), (row[2].toDouble() - 80.5) / p, 1e-3) << c.flag << i;
            EXPECT_NEAR(row[5].toDouble(), c.ySign * (row[3].toDouble() - 60.25) / p, 1e-3) << c.flag << i;
            if (i > 0 && i < 9)
                EXPECT_NE(row[12], "VANISH ") << c.flag << i;
        }
    }
    // --rpm-signed keeps the direction; the default is its magnitude.
    r = RunCli({"track", sample, "--point", point, "--csv", out, "--origin", "80.5,60.25"});
    ASSERT_EQ(r.exitCode, 0) << r.errorText.toStdString();
    const std::vector<QList<QByteArray>> magnitude = rows(&p);
    r = RunCli({"track", sample, "--point", point, "--csv", out, "--origin", "80.5,60.25", "--rpm-signed"});
    ASSERT_EQ(r.exitCode, 0) << r.errorText.toStdString();
    const std::vector<QList<QByteArray>> signedRpm = rows(&p);
    ASSERT_EQ(signedRpm.size(), magnitude.size());
    for (size_t i = 1; i + 1 < signedRpm.size(); ++i) {
        EXPECT_GE(magnitude[i][12].toDouble(), 0.0) << i;
        EXPECT_EQ(std::fabs(signedRpm[i][12].toDouble()), magnitude[i][12].toDouble()) << i;
    }

    EXPECT_EQ(RunCli({"track", sample, "--point", point, "--csv", out, "--y-up", "--y-down"}).exitCode, 2);
}
