// The J211 channel filter: against an independent SciPy implementation of the
// same passes, against the J211 corner, and at its edges.

#include "PythonTools.h"
#include "graphs/CfcFilter.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>

namespace {

// The reference: SciPy's filtfilt with the same double coefficients, each
// run of valid samples on its own, extended by odd reflection over n - 1
// samples, each pass starting from lfilter_zi scaled by its first sample
// (filtfilt's own start). One case per input line: "rate cfc x0 x1 ...";
// one output line per case.
const char* kReferenceScript = R"PY(
import sys
import numpy as np
from scipy.signal import filtfilt

def coefficients(cfc, rate):
    T = 1.0 / rate
    wd = 2.0 * np.pi * cfc * 2.0775
    wa = np.sin(wd * T / 2.0) / np.cos(wd * T / 2.0)
    S = np.sqrt(2.0) * wa + wa * wa
    a0 = wa * wa / (1.0 + S)
    b1 = -2.0 * (wa * wa - 1.0) / (1.0 + S)
    b2 = (np.sqrt(2.0) * wa - 1.0 - wa * wa) / (1.0 + S)
    return [a0, 2.0 * a0, a0], [1.0, -b1, -b2]

missing = (float(np.float32(-1.0e7)), -1.0)
for line in open(sys.argv[1]):
    fields = line.split()
    rate, cfc = float(np.float32(float(fields[0]))), float(fields[1])
    x = np.array([float(v) for v in fields[2:]])
    b, a = coefficients(cfc, rate)
    y = x.copy()
    i = 0
    while i < len(x):
        if x[i] in missing:
            i += 1
            continue
        j = i
        while j < len(x) and x[j] not in missing:
            j += 1
        run = x[i:j]
        y[i:j] = run if len(run) == 1 else filtfilt(b, a, run, padtype='odd', padlen=len(run) - 1)
        i = j
    print(" ".join(repr(float(v)) for v in y))
)PY";

struct FilterCase {
    const char* name;
    float rate;
    int cfc;
    std::vector<float> input;
};

// Runs the reference over every case at once (one Python start).
std::optional<std::vector<std::vector<double>>> scipyReference(const std::vector<FilterCase>& cases, QString* why)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return std::nullopt;
    const QString inputPath = dir.filePath(QStringLiteral("cases.txt"));
    {
        QFile file(inputPath);
        if (!file.open(QIODevice::WriteOnly))
            return std::nullopt;
        for (const FilterCase& c : cases) {
            QByteArray line = QByteArray::number(c.rate, 'g', 9) + ' ' + QByteArray::number(c.cfc);
            for (float v : c.input)
                line += ' ' + QByteArray::number(v, 'g', 9);
            file.write(line + '\n');
        }
    }
    const PythonRun run = RunPythonScript({QStringLiteral("numpy"), QStringLiteral("scipy.signal")},
                                          QString::fromLatin1(kReferenceScript), {inputPath});
    if (run.outcome != PythonRun::Ok) {
        *why = run.outcome == PythonRun::Missing ? QStringLiteral("missing") : run.error;
        return std::nullopt;
    }
    std::vector<std::vector<double>> out;
    for (const QByteArray& line : run.output.trimmed().split('\n')) {
        std::vector<double> values;
        for (const QByteArray& v : line.split(' '))
            values.push_back(v.toDouble());
        out.push_back(std::move(values));
    }
    return out;
}

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

std::vector<float> ramp(int n)
{
    std::vector<float> x(n);
    for (int i = 0; i < n; ++i)
        x[i] = float(i);
    return x;
}

std::vector<float> scaled(std::vector<float> x, double factor)
{
    for (float& v : x)
        v = float(v * factor);
    return x;
}

// A velocity channel as the kinematics leave it: no value at its first and
// last sample, and a gap where the target was lost.
std::vector<float> velocityWithGap()
{
    std::vector<float> x(500, 5.0f);
    x.front() = kTrackingMissingSample;
    x.back() = kTrackingMissingSample;
    for (int i = 200; i < 203; ++i)
        x[i] = kChannelMissingSample;
    return x;
}

std::vector<FilterCase> referenceCases()
{
    std::vector<FilterCase> cases;
    for (int cfc : kCfcClasses)
        cases.push_back({"noisy signal", 10000.0f, cfc, testSignal(3000, 10000.0f)});
    cases.push_back({"constant of 20 samples", 10000.0f, 60, std::vector<float>(20, 100.0f)});
    cases.push_back({"constant of 50 samples", 10000.0f, 60, std::vector<float>(50, 100.0f)});
    cases.push_back({"ramp", 10000.0f, 60, ramp(500)});
    cases.push_back({"short ramp", 10000.0f, 60, ramp(20)});
    cases.push_back({"velocity with end markers and a gap", 10000.0f, 60, velocityWithGap()});
    std::vector<float> gap = testSignal(400, 10000.0f);
    gap[150] = kChannelMissingSample;
    cases.push_back({"signal with a one-sample gap", 10000.0f, 180, gap});
    cases.push_back({"1e-6 signal", 10000.0f, 60, scaled(testSignal(2000, 10000.0f), 1e-6)});
    cases.push_back({"constant at 100 kHz", 100000.0f, 60, std::vector<float>(3000, 100.0f)});
    cases.push_back({"constant at 1 MHz", 1.0e6f, 60, std::vector<float>(3000, 100.0f)});
    cases.push_back({"signal at 1 MHz", 1.0e6f, 1000, testSignal(5000, 1.0e6f)});
    cases.push_back({"two samples", 10000.0f, 60, {1.0f, 3.0f}});
    return cases;
}

} // namespace

TEST(CfcFilter, MatchesScipyFiltfiltSampleForSample)
{
    const std::vector<FilterCase> cases = referenceCases();
    QString why;
    const auto reference = scipyReference(cases, &why);
    if (!reference && why == QStringLiteral("missing"))
        GTEST_SKIP() << "python3 with numpy and scipy is not available";
    ASSERT_TRUE(reference) << why.toStdString();
    ASSERT_EQ(reference->size(), cases.size());

    for (size_t c = 0; c < cases.size(); ++c) {
        const FilterCase& fc = cases[c];
        SCOPED_TRACE(std::string(fc.name) + ", CFC " + std::to_string(fc.cfc));
        const std::vector<double>& expected = (*reference)[c];
        ASSERT_EQ(expected.size(), fc.input.size());
        QStringList faults;
        const std::vector<float> ours = CfcFilter(fc.input, fc.cfc, fc.rate, &faults);
        EXPECT_TRUE(faults.isEmpty()) << faults.join(QStringLiteral("; ")).toStdString();
        ASSERT_EQ(ours.size(), fc.input.size());
        double scale = 0;
        for (float v : fc.input)
            if (v != kTrackingMissingSample && v != kChannelMissingSample)
                scale = std::max(scale, std::fabs(double(v)));
        // Both compute in double; ours is then rounded to single. Ends
        // included, every sample agrees to 1e-9 of the signal's scale
        // beyond that rounding.
        for (size_t i = 0; i < ours.size(); ++i) {
            const double tolerance = 1e-9 * scale + std::fabs(expected[i]) * 6e-8;
            ASSERT_NEAR(double(ours[i]), expected[i], tolerance) << "sample " << i;
        }
    }
}

// The faults of the old filter, each as a number a user would have read.
TEST(CfcFilter, ConstantsStayConstantAtAnyLengthAndRate)
{
    struct Case {
        int n;
        float rate;
        int cfc;
    };
    for (const Case c : {Case{20, 10000.0f, 60}, Case{50, 10000.0f, 60}, Case{2, 10000.0f, 60},
                         Case{3000, 100000.0f, 60}, Case{3000, 500000.0f, 60}, Case{3000, 1.0e6f, 60},
                         Case{500, 10000.0f, 1000}}) {
        SCOPED_TRACE(testing::Message() << c.n << " samples at " << c.rate << " Hz, CFC " << c.cfc);
        for (float v : CfcFilter(std::vector<float>(size_t(c.n), 100.0f), c.cfc, c.rate))
            ASSERT_NEAR(v, 100.0f, 1e-5f);
    }
}

TEST(CfcFilter, RampsPassStraightThrough)
{
    const std::vector<float> x = ramp(500);
    const std::vector<float> y = CfcFilter(x, 60, 10000);
    for (size_t i = 0; i < x.size(); ++i)
        ASSERT_NEAR(y[i], x[i], 1e-4f) << "sample " << i;
}

TEST(CfcFilter, MissingSamplesStayMissingAndDoNotLeakIntoData)
{
    const std::vector<float> x = velocityWithGap();
    const std::vector<float> y = CfcFilter(x, 60, 10000);
    for (size_t i = 0; i < x.size(); ++i) {
        if (x[i] == kTrackingMissingSample || x[i] == kChannelMissingSample)
            EXPECT_EQ(y[i], x[i]) << "sample " << i;
        else
            EXPECT_NEAR(y[i], 5.0f, 1e-5f) << "sample " << i;
    }

    // A lone valid sample between markers is a constant run of its own.
    const std::vector<float> lone{-1.0f, 7.5f, -1.0f, 1000.0f, 1000.0f, 1000.0f};
    const std::vector<float> filtered = CfcFilter(lone, 60, 10000);
    EXPECT_EQ(filtered[0], -1.0f);
    EXPECT_FLOAT_EQ(filtered[1], 7.5f);
    EXPECT_EQ(filtered[2], -1.0f);
    for (int i = 3; i < 6; ++i)
        EXPECT_NEAR(filtered[size_t(i)], 1000.0f, 1e-3f);
}

TEST(CfcFilter, SmallSignalsKeepTheirShape)
{
    // The same signal at 1 and at 1e-6: the filter is linear, so the results
    // scale too (positions in metres are such signals).
    const std::vector<float> x = testSignal(2000, 10000);
    const std::vector<float> big = CfcFilter(x, 60, 10000);
    const std::vector<float> small = CfcFilter(scaled(x, 1e-6), 60, 10000);
    for (size_t i = 0; i < x.size(); ++i)
        ASSERT_NEAR(double(small[i]) * 1e6, double(big[i]), 1e-5 * 3) << "sample " << i;
}

TEST(CfcFilter, XYTracksFilterBothAxes)
{
    const std::vector<float> x = testSignal(1000, 5000);
    const std::vector<float> y = scaled(testSignal(1000, 5000), -2.0);
    TABChannel channel(x, y);
    channel.SampleInterval = 1.0L / 5000;
    channel.PlotKind = kPlotXYTrack;
    ASSERT_TRUE(ApplyCfc(channel, 180));
    EXPECT_EQ(channel.XData, CfcFilter(x, 180, 5000));
    EXPECT_EQ(channel.YData, CfcFilter(y, 180, 5000));
    EXPECT_NE(channel.XData, x);
}

TEST(CfcFilter, Cfc60IsThreeDecibelsDownAt100Hz)
{
    // J211: CFC 60 has its -3 dB point at 100 Hz. 10 kHz sampling, 2 s of a
    // unit sine; the amplitude is measured away from the ends. The phase
    // keeps the samples off -1, the missing-sample marker.
    const float rate = 10000.0f;
    std::vector<float> x(20000);
    for (size_t i = 0; i < x.size(); ++i)
        x[i] = float(std::sin(2 * std::numbers::pi * 100.0 * double(i) / rate + 0.1));
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
    // One sample is a constant record: it comes through as it is.
    EXPECT_EQ(CfcFilter({5.0f}, 60, 10000), std::vector<float>{5.0f});
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
    // The run is extended by 99 samples on each side; x[50] sits at 149 and
    // its reflections at 99 - 50 and 99 + 99 + 49. A faulty sample is stored
    // as 0, so the backward pass has nothing left to fault on.
    EXPECT_EQ(faults, (QStringList{QStringLiteral("Invalid floating point operation at 49"),
                                   QStringLiteral("Invalid floating point operation at 149"),
                                   QStringLiteral("Invalid floating point operation at 247")}));
    ASSERT_EQ(y.size(), x.size());
    for (float v : y)
        EXPECT_TRUE(std::isfinite(v));

    // Overflow has its own text: a full-scale step overshoots past the
    // largest single.
    faults.clear();
    std::vector<float> step(40, -3.4e38f);
    std::fill(step.begin() + 20, step.end(), 3.4e38f);
    CfcFilter(step, 60, 10000, &faults);
    ASSERT_FALSE(faults.isEmpty());
    EXPECT_TRUE(faults.first().startsWith(QStringLiteral("Floating point overflow at "))) << faults.first().toStdString();

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
