#pragma once
// The line of a channel against time, fast for channels of millions of
// samples. With adaptive sampling, QCustomPlot draws each pixel column
// holding several samples as a cluster built from the column's first,
// lowest, highest and last value; finding those by walking every visible
// sample is what makes a replot of big channels slow. EnvelopeGraph keeps
// the lowest and highest value of blocks of 32, 64, 128, ... samples and
// answers each column from them and from the few samples at its edges, so a
// replot costs per column instead of per sample. The points it hands on to
// the drawing are the very points QCustomPlot's own sampling gives (gaps,
// the samples at cluster edges and all), so the picture does not change.
// The data stays the full channel: clicks, ranges and exports see every
// sample.

#include <qcustomplot.h>

#include <limits>
#include <vector>

// Lowest and highest value of a stretch of samples, NaN (gaps) left out;
// lo > hi when the stretch holds no value.
struct ValueSpan {
    double lo = std::numeric_limits<double>::infinity();
    double hi = -std::numeric_limits<double>::infinity();
    void add(double v)
    {
        if (v < lo)
            lo = v;
        if (v > hi)
            hi = v;
    }
    void add(const ValueSpan& s)
    {
        if (s.lo < lo)
            lo = s.lo;
        if (s.hi > hi)
            hi = s.hi;
    }
};

// The block index over one graph's data (sorted keys, none NaN).
class ValuePyramid {
public:
    static constexpr int kShift = 5; // the finest blocks hold 32 samples

    // False (and empty) when the keys are not usable (NaN or decreasing).
    bool Build(const QCPGraphData* data, int count);
    void Clear();
    int Count() const { return m_count; }

    // Lowest and highest value of samples [from, to).
    ValueSpan Span(const QCPGraphData* data, int from, int to) const;
    // The first sample in [from, to) whose key is at least `key`; `to` if none.
    int FirstAtOrAfter(const QCPGraphData* data, double key, int from, int to) const;

private:
    int m_count = 0;
    std::vector<double> m_blockKey;             // key of each finest block's first sample
    std::vector<std::vector<ValueSpan>> m_levels; // level l: blocks of 32 << l samples
};

class EnvelopeGraph : public QCPGraph {
    Q_OBJECT
public:
    // Channels up to this many samples are left to QCustomPlot alone.
    static constexpr int kIndexFrom = 20000;

    EnvelopeGraph(QCPAxis* keyAxis, QCPAxis* valueAxis);

    // Builds the index for the data now in the graph; call it after every
    // change of the data (the index is dropped, not trusted, when the data
    // container is replaced or resized).
    void IndexData();
    bool Indexed() const;
    // Whether the current axis ranges are drawn through the index.
    bool SamplesThroughIndex() const;
    // The line points for the current axis ranges, through the index (when
    // it applies) or through QCustomPlot's own sampling.
    QVector<QCPGraphData> SampledLine(bool throughIndex) const;

protected:
    void getOptimizedLineData(QVector<QCPGraphData>* lineData, const QCPGraphDataContainer::const_iterator& begin,
                              const QCPGraphDataContainer::const_iterator& end) const override;

private:
    bool indexApplies(const QCPGraphDataContainer::const_iterator& begin,
                      const QCPGraphDataContainer::const_iterator& end) const;

    ValuePyramid m_index;
    const QCPGraphDataContainer* m_indexedContainer = nullptr;
};
