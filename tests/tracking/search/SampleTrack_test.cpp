// The sample recording against its own truth: make-sample --truth writes
// the true centres in image coordinates, and qorplayer-cli track, started
// with one click each at the default settings, follows the three targets to
// a few hundredths of a pixel.

#include "sources/bvf/SampleScene.h"

#include "CliRunner.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <cmath>

namespace {

std::vector<QList<QByteArray>> CsvRows(const QString& path, int skip)
{
    QFile f(path);
    std::vector<QList<QByteArray>> rows;
    if (!f.open(QIODevice::ReadOnly))
        return rows;
    const QList<QByteArray> lines = f.readAll().split('\n');
    for (int i = skip; i < lines.size(); ++i)
        if (!lines[i].trimmed().isEmpty())
            rows.push_back(lines[i].split(','));
    return rows;
}

} // namespace

TEST(SampleTrack, TruthFileHoldsImageCoordinates)
{
    QTemporaryDir dir;
    const QString truth = dir.filePath(QStringLiteral("truth.csv"));
    bvf::SampleOptions options;
    options.frames = 12;
    options.firstFrame = 100;
    QString error;
    ASSERT_TRUE(bvf::WriteSampleTruth(truth, options, &error)) << error.toStdString();
    const auto rows = CsvRows(truth, 0);
    ASSERT_EQ(rows.size(), 13u);
    EXPECT_EQ(rows[0].join(','), QByteArray("frame,quadrant_x,quadrant_y,light_spot_x,light_spot_y,dark_spot_x,dark_spot_y"));
    for (int i = 0; i < 12; ++i) {
        const auto& r = rows[size_t(i) + 1];
        ASSERT_EQ(r.size(), 7);
        EXPECT_EQ(r[0].toInt(), 100 + i);
        EXPECT_NEAR(r[1].toDouble(), bvf::quadrantCentreAt(i).x() + 0.5, 1e-6);
        EXPECT_NEAR(r[4].toDouble(), bvf::lightSpotCentreAt(i).y() + 0.5, 1e-6);
        EXPECT_NEAR(r[6].toDouble(), bvf::darkSpotCentreAt(i).y() + 0.5, 1e-6);
    }
    EXPECT_FALSE(bvf::WriteSampleTruth(dir.filePath(QStringLiteral("missing/truth.csv")), options, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(SampleTrack, DefaultTrackingFollowsTheTruth)
{
    if (!CliBuilt())
        GTEST_SKIP() << "qorplayer-cli not built";
    QTemporaryDir dir;
    const QString sample = dir.filePath(QStringLiteral("s.bvf"));
    const QString truth = dir.filePath(QStringLiteral("truth.csv"));
    ASSERT_EQ(RunCli({"make-sample", sample, "--frames", "80", "--truth", truth}).exitCode, 0);
    const auto t = CsvRows(truth, 1);
    ASSERT_EQ(t.size(), 80u);

    // One click each on the pixel nearest the true centre of frame 0.
    const char* methods[] = {"quadrant", "light", "dark"};
    QStringList args{"track", sample, "--csv", dir.filePath(QStringLiteral("t.csv"))};
    for (int k = 0; k < 3; ++k)
        args << "--point" << QStringLiteral("%1,%2,%3").arg(std::floor(t[0][1 + 2 * k].toDouble()) + 0.5)
                                 .arg(std::floor(t[0][2 + 2 * k].toDouble()) + 0.5).arg(methods[k]);
    const CliRun run = RunCli(args);
    ASSERT_EQ(run.exitCode, 0) << run.errorText.toStdString();

    for (int k = 0; k < 3; ++k) {
        const auto rows = CsvRows(dir.filePath(QStringLiteral("t-Point %1.csv").arg(k)), 12);
        ASSERT_EQ(rows.size(), 80u) << methods[k];
        double sumSq = 0.0;
        for (size_t i = 1; i < rows.size(); ++i) {
            const double ex = rows[i][2].toDouble() - t[i][1 + 2 * k].toDouble();
            const double ey = rows[i][3].toDouble() - t[i][2 + 2 * k].toDouble();
            sumSq += ex * ex + ey * ey;
        }
        EXPECT_LT(std::sqrt(sumSq / double(rows.size() - 1)), 0.15) << methods[k];
    }
}
