// The block index behind big channels' lines: its spans and key searches
// against a plain walk, and the line it draws against QCustomPlot's own
// adaptive sampling, point for point and pixel for pixel, gaps included.

#include "graphs/ui/EnvelopeGraph.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cmath>
#include <random>

namespace {

// A noisy wave with the features that matter: gaps of one sample and long
// runs of them (one starting a pixel interval is a gap in the picture),
// repeated keys (where a missing time repeats the last one), a spike, a
// jump in time (sample 150000, 2 s) and a stretch of sparse samples
// (250000 to 250100, 0.05 s apart) between dense ones.
QVector<QCPGraphData> series(int n, double step)
{
    QVector<QCPGraphData> d(n);
    std::mt19937 rng(17);
    std::uniform_real_distribution<double> noise(-1, 1);
    double key = 0;
    for (int i = 0; i < n; ++i) {
        if (i > 0 && !(i % 997 >= 500 && i % 997 < 510)) // runs of a repeated time
            key += i >= 250000 && i < 250100 ? 0.05 : step;
        if (i == 150000)
            key += 2;
        double v = std::sin(i * 0.0007) * 50 + noise(rng);
        if (i % 4099 == 0 || (i >= 60000 && i < 63000) || (i % 7919 >= 10 && i % 7919 < 14))
            v = qQNaN();
        if (i == 123457)
            v = 400;
        d[i] = QCPGraphData(key, v);
    }
    return d;
}

bool same(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

TEST(ValuePyramid, SpansAndKeySearchesAgreeWithAPlainWalk)
{
    const QVector<QCPGraphData> d = series(100003, 0.001);
    const int n = int(d.size());
    ValuePyramid index;
    ASSERT_TRUE(index.Build(d.constData(), n));
    std::mt19937 rng(5);
    std::vector<std::pair<int, int>> ranges = {{0, n}, {0, 1},   {31, 33},    {32, 64}, {33, 97},
                                               {5, 5},        {64, 4096}, {99000, n}, {60100, 62900}};
    for (int k = 0; k < 300; ++k) {
        const int a = int(rng() % uint32_t(n));
        const int len = int(rng() % (k % 3 == 0 ? 70u : 40000u));
        ranges.push_back({a, std::min(n, a + len)});
    }
    const double nudges[] = {0, 0.00005, -0.0005, 1e9, -1e9};
    int round = 0;
    for (const auto& [from, to] : ranges) {
        ValueSpan expected;
        for (int i = from; i < to; ++i)
            expected.add(d[i].value);
        const ValueSpan got = index.Span(d.constData(), from, to);
        EXPECT_EQ(got.lo, expected.lo) << from << ".." << to;
        EXPECT_EQ(got.hi, expected.hi) << from << ".." << to;

        // Keys at a sample (repeated ones too), between samples and past
        // either end.
        const int at = std::min(n - 1, from + (to - from) * 3 / 4);
        const double key = d[at].key + nudges[round++ % 5];
        int first = from;
        while (first < to && d[first].key < key)
            ++first;
        EXPECT_EQ(index.FirstAtOrAfter(d.constData(), key, from, to), first) << from << ".." << to << " key " << key;
    }
    // An all-gap stretch has no values.
    const ValueSpan gap = index.Span(d.constData(), 60000, 63000);
    EXPECT_GT(gap.lo, gap.hi);

    QVector<QCPGraphData> unsorted = d;
    unsorted[500].key = qQNaN();
    EXPECT_FALSE(index.Build(unsorted.constData(), n));
}

class EnvelopeGraphTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        plot.resize(1100, 500);
        plot.setViewport(QRect(0, 0, 1100, 500));
        fast = new EnvelopeGraph(plot.xAxis, plot.yAxis);
        plain = new QCPGraph(plot.xAxis, plot.yAxis);
        for (QCPGraph* g : {static_cast<QCPGraph*>(fast), plain}) {
            g->data()->set(data, true);
            g->setAdaptiveSampling(true);
        }
        fast->IndexData();
        plain->setVisible(false);
        plot.yAxis->setRange(-60, 410);
    }
    QImage picture(QCPGraph* shown)
    {
        fast->setVisible(shown == fast);
        plain->setVisible(shown == plain);
        return plot.toPixmap(1100, 500).toImage();
    }

    const QVector<QCPGraphData> data = series(400000, 0.0001); // 46.6 s
    QCustomPlot plot;
    EnvelopeGraph* fast = nullptr;
    QCPGraph* plain = nullptr;
};

TEST_F(EnvelopeGraphTest, DrawsTheSameLineAsAdaptiveSamplingAtEveryZoom)
{
    ASSERT_TRUE(fast->Indexed());
    struct Case {
        double lower, upper;
        bool reversed;
        bool throughIndex; // dense enough for the index to be used
    } cases[] = {
        {0, 46.6, false, true},      // the whole record
        {14, 18, false, true},       // the jump in time (14.85 to 16.85 s)
        {26, 33, false, true},       // sparse samples between dense ones (26.8 to 31.75 s)
        {26.9, 27.3, false, false},  // sparse only: QCustomPlot walks them
        {-5, 45, false, true},       // beyond both ends
        {4, 8, false, true},         // around the long gap
        {11, 14, false, true},       // the spike
        {1.23456, 2.34567, false, true},
        {0, 40, true, true},         // reversed axis
        {20, 20.2, false, false},    // ~2000 samples: QCustomPlot walks them
        {20, 20.01, false, false},   // fewer samples than pixels
        {46.58, 48, false, true},    // the last samples, crowded at the right end
        {50, 60, false, false},      // no data
        {-10, 0, false, false},      // only the first sample
    };
    for (const Case& c : cases) {
        plot.xAxis->setRange(c.lower, c.upper);
        plot.xAxis->setRangeReversed(c.reversed);
        plot.replot();
        EXPECT_EQ(fast->SamplesThroughIndex(), c.throughIndex) << c.lower << ".." << c.upper;
        const QVector<QCPGraphData> got = fast->SampledLine(true);
        const QVector<QCPGraphData> expected = fast->SampledLine(false);
        ASSERT_EQ(got.size(), expected.size()) << c.lower << ".." << c.upper;
        int gaps = 0;
        for (int i = 0; i < got.size(); ++i) {
            ASSERT_TRUE(same(got[i].key, expected[i].key) && same(got[i].value, expected[i].value))
                << c.lower << ".." << c.upper << " point " << i << ": " << got[i].key << ", " << got[i].value
                << " instead of " << expected[i].key << ", " << expected[i].value;
            gaps += std::isnan(got[i].value);
        }
        if (c.lower == 4)
            EXPECT_GT(gaps, 0) << "the long gap is drawn as a gap";
    }
    plot.xAxis->setRangeReversed(false);
    for (const auto& [lower, upper] : {std::pair{0.0, 46.6}, std::pair{26.0, 33.0}, std::pair{4.0, 8.0}, std::pair{11.0, 14.0}}) {
        plot.xAxis->setRange(lower, upper);
        EXPECT_TRUE(picture(fast) == picture(plain)) << lower << ".." << upper;
    }
}

TEST_F(EnvelopeGraphTest, SmallOrReplacedDataIsLeftToQCustomPlot)
{
    auto* small = new EnvelopeGraph(plot.xAxis, plot.yAxis); // the plot owns it
    small->data()->set(series(EnvelopeGraph::kIndexFrom - 1, 0.002), true);
    small->IndexData();
    EXPECT_FALSE(small->Indexed());

    plot.xAxis->setRange(0, 40);
    ASSERT_TRUE(fast->SamplesThroughIndex());
    // Data swapped in behind the index's back is not drawn from a stale index.
    auto other = QSharedPointer<QCPGraphDataContainer>::create();
    other->set(series(300000, 0.0001), true);
    fast->setData(other);
    EXPECT_FALSE(fast->Indexed());
    EXPECT_FALSE(fast->SamplesThroughIndex());
    fast->IndexData();
    EXPECT_TRUE(fast->SamplesThroughIndex());
}

} // namespace
