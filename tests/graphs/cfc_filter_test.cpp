// The J211 channel filter: against an independent SciPy implementation of the
// same passes, against the J211 corner, and at its edges.

#include "PythonTools.h"
#include "graphs/CfcFilter.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

// The same filter written with SciPy's lfilter: the ends extended to 3N, a
// forward pass continuing from its first two samples, a backward pass from a
// zero state, the middle third kept. Coefficients rounded to single like the
// program's; the arithmetic is double throughout.
const char* kReferenceScript = R"PY(
import sys
import numpy as np
from scipy.signal import lfilter, lfiltic

x = np.loadtxt(sys.argv[1], dtype=np.float64, ndmin=1)
rate = float(np.float32(float(sys.argv[2])))
n = len(x)
for cfc in (float(c) for c in sys.argv[3:]):
    T = 1.0 / rate
    wd = 2.0 * np.pi * cfc * 2.0775
    wa = np.sin(wd * T / 2.0) / np.cos(wd * T / 2.0)
    S = np.sqrt(2.0) * wa + wa * wa
    a0 = float(np.float32(wa * wa / (1.0 + S)))
    b1 = float(np.float32(-2.0 * (wa * wa - 1.0) / (1.0 + S)))
    b2 = float(np.float32((np.sqrt(2.0) * wa - 1.0 - wa * wa) / (1.0 + S)))
    b = [a0, 2.0 * a0, a0]
    a = [1.0, -b1, -b2]

    d = 2.0 * x - np.append(x[1:], x[-1])
    E = np.concatenate([d[::-1], x, d[::-1]])
    F = np.empty_like(E)
    F[:2] = E[:2]
    F[2:] = lfilter(b, a, E[2:], zi=lfiltic(b, a, [E[1], E[0]], [E[1], E[0]]))[0]
    R = F[::-1]
    H = np.zeros_like(R)
    H[2:] = lfilter(b, a, R[2:], zi=lfiltic(b, a, [0.0, 0.0], [R[1], R[0]]))[0]
    G = H[::-1]
    # One line of samples per class.
    print(" ".join(repr(float(v)) for v in G[n:2 * n]))
)PY";

std::vector<float> testSignal(int n, float rate)
{
    // Offset, a slow and a fast sine, and deterministic noise.
    std::vector<float> x(n);
    uint32_t state = 12345;
    for (int i = 0; i < n; ++i) {
        state = state * 1664525u + 1013904223u;
        const double noise = (double(state >> 8) / double(1u << 24)) - 0.5;
        const double t = i / double(rate);
        x[i] = float(2.0 + std::sin(2 * std::numbers::pi * 50 * t) + 0.5 * std::sin(2 * std::numbers::pi * 700 * t)
                     + 0.3 * noise);
    }
    return x;
}

} // namespace

TEST(CfcFilter, MatchesAnIndependentScipyImplementation)
{
    const float rate = 10000.0f;
    const std::vector<float> input = testSignal(3000, rate);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString inputPath = dir.filePath(QStringLiteral("in.txt"));
    {
        QFile file(inputPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        for (float v : input)
            file.write(QByteArray::number(v, 'g', 9) + '\n');
    }

    QStringList args{inputPath, QString::number(rate)};
    for (int cfc : kCfcClasses)
        args << QString::number(cfc);
    const PythonRun run = RunPythonScript({QStringLiteral("numpy"), QStringLiteral("scipy.signal")},
                                          QString::fromLatin1(kReferenceScript), args);
    if (run.outcome == PythonRun::Missing)
        GTEST_SKIP() << "python3 with numpy and scipy is not available";
    ASSERT_EQ(run.outcome, PythonRun::Ok) << run.error.toStdString();
    const QList<QByteArray> classes = run.output.trimmed().split('\n');
    ASSERT_EQ(classes.size(), qsizetype(std::size(kCfcClasses)));

    for (size_t c = 0; c < std::size(kCfcClasses); ++c) {
        const int cfc = kCfcClasses[c];
        SCOPED_TRACE(cfc);
        const QList<QByteArray> lines = classes[qsizetype(c)].split(' ');
        ASSERT_EQ(lines.size(), qsizetype(input.size()));

        QStringList faults;
        const std::vector<float> ours = CfcFilter(input, cfc, rate, &faults);
        EXPECT_TRUE(faults.isEmpty());
        ASSERT_EQ(ours.size(), input.size());
        // Single-precision samples against double arithmetic leave differences
        // of a few 1e-6 on a signal of scale 3, ends included; a wrong end
        // extension or pass would show at the 1e-2 level.
        double worst = 0;
        for (size_t i = 0; i < ours.size(); ++i)
            worst = std::max(worst, std::fabs(double(ours[i]) - lines[qsizetype(i)].toDouble()));
        EXPECT_LT(worst, 5e-5);
    }
}

TEST(CfcFilter, Cfc60IsThreeDecibelsDownAt100Hz)
{
    // J211: CFC 60 has its -3 dB point at 100 Hz. 10 kHz sampling, 2 s of a
    // unit sine; the amplitude is measured away from the ends.
    const float rate = 10000.0f;
    std::vector<float> x(20000);
    for (size_t i = 0; i < x.size(); ++i)
        x[i] = float(std::sin(2 * std::numbers::pi * 100.0 * double(i) / rate));
    const std::vector<float> y = CfcFilter(x, 60, rate);
    float peak = 0;
    for (size_t i = 5000; i < 15000; ++i)
        peak = std::max(peak, std::fabs(y[i]));
    EXPECT_NEAR(20 * std::log10(peak), -3.0, 0.1);

    // Well inside the pass band nothing is lost.
    for (size_t i = 0; i < x.size(); ++i)
        x[i] = float(std::sin(2 * std::numbers::pi * 10.0 * double(i) / rate));
    const std::vector<float> low = CfcFilter(x, 60, rate);
    peak = 0;
    for (size_t i = 5000; i < 15000; ++i)
        peak = std::max(peak, std::fabs(low[i]));
    EXPECT_NEAR(peak, 1.0f, 1e-3);
}

TEST(CfcFilter, EdgeLengthsAndConstants)
{
    EXPECT_TRUE(CfcFilter({}, 60, 10000).empty());
    // One sample: its result would sit in the one sample the backward pass
    // never writes.
    EXPECT_EQ(CfcFilter({5.0f}, 60, 10000), std::vector<float>{0.0f});
    EXPECT_EQ(CfcFilter({5.0f, 5.0f}, 60, 10000).size(), 2u);

    // A constant passes unchanged: its end extension is constant too.
    const std::vector<float> constant(500, 7.25f);
    for (float v : CfcFilter(constant, 180, 10000))
        EXPECT_NEAR(v, 7.25f, 1e-4f);
}

TEST(CfcFilter, ApplyingTwiceFiltersTheFilteredData)
{
    TABChannel channel(std::vector<float>(2000, 0.0f), testSignal(2000, 10000));
    channel.SampleInterval = 1.0L / 10000;
    channel.PlotKind = kPlotAgainstTime;
    const std::vector<float> once = CfcFilter(channel.YData, 60, 10000);
    const std::vector<float> twice = CfcFilter(once, 60, 10000);
    ASSERT_TRUE(ApplyCfc(channel, 60));
    EXPECT_EQ(channel.YData, once);
    ASSERT_TRUE(ApplyCfc(channel, 60));
    EXPECT_EQ(channel.YData, twice);
    // X of a channel plotted against time is left alone.
    EXPECT_EQ(channel.XData, std::vector<float>(2000, 0.0f));
}

TEST(CfcFilter, CrossPlottedChannelsFilterXToo)
{
    const std::vector<float> x = testSignal(1000, 5000);
    TABChannel channel(x, x);
    channel.SampleInterval = 1.0L / 5000;
    channel.PlotKind = kPlotCrossPlot;
    ASSERT_TRUE(ApplyCfc(channel, 180));
    const std::vector<float> expected = CfcFilter(x, 180, 5000);
    EXPECT_EQ(channel.XData, expected);
    EXPECT_EQ(channel.YData, expected);
}

TEST(CfcFilter, ArithmeticFaultsAreReportedAndThePassGoesOn)
{
    std::vector<float> x(100, 1.0f);
    x[50] = std::numeric_limits<float>::quiet_NaN();
    QStringList faults;
    const std::vector<float> y = CfcFilter(x, 60, 10000, &faults);
    ASSERT_FALSE(faults.isEmpty());
    // x[50] spoils d(49) and d(50) too; the first of them in the extended
    // array is d(50) at 100 - 1 - 50.
    EXPECT_EQ(faults.first(), QStringLiteral("Invalid floating point operation at 49"));
    EXPECT_TRUE(faults.contains(QStringLiteral("Invalid floating point operation at 150")));
    // Each of the five bad extended samples (49, 50, 150, 249, 250) spoils
    // the sums that reach it in the forward pass; faulty samples are stored
    // as 0, so the backward pass has nothing left to fault on.
    EXPECT_EQ(faults.size(), 11) << faults.join(QStringLiteral("; ")).toStdString();
    ASSERT_EQ(y.size(), x.size());
    for (float v : y)
        EXPECT_TRUE(std::isfinite(v));

    // Overflow has its own text. Extended, these samples start
    // -3e38, 3e38, whose feedback sum passes the largest single.
    faults.clear();
    CfcFilter({0.0f, 0.0f, -3e38f}, 60, 10000, &faults);
    ASSERT_FALSE(faults.isEmpty());
    EXPECT_EQ(faults.first(), QStringLiteral("Floating point overflow at 2"));

    // A long bad run is spelled out for the first 20 samples, then counted.
    faults.clear();
    CfcFilter(std::vector<float>(10000, std::numeric_limits<float>::infinity()), 60, 10000, &faults);
    ASSERT_EQ(faults.size(), 21);
    EXPECT_TRUE(faults.last().endsWith(QStringLiteral(" more arithmetic faults")));
}

TEST(CfcFilter, ChannelsWithoutAUsableRateAreLeftAlone)
{
    TABChannel channel({0, 1, 2}, {4, 5, 6});
    QStringList faults;
    channel.SampleInterval = 0;
    EXPECT_FALSE(ApplyCfc(channel, 60, &faults));
    channel.SampleInterval = 1.0L / 200; // 200 Hz cannot carry CFC 60's pre-warped corner
    EXPECT_FALSE(ApplyCfc(channel, 60, &faults));
    EXPECT_EQ(faults.size(), 2);
    EXPECT_EQ(channel.YData, (std::vector<float>{4, 5, 6}));
}
