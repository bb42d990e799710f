#include "graphs/ui/EnvelopeGraph.h"

#include <algorithm>
#include <cmath>

// ---------------------------------------------------------------- ValuePyramid

bool ValuePyramid::Build(const QCPGraphData* data, int count)
{
    Clear();
    if (count <= 0)
        return false;
    for (int i = 0; i < count; ++i)
        if (std::isnan(data[i].key) || (i > 0 && data[i].key < data[i - 1].key))
            return false;
    const int blocks = ((count - 1) >> kShift) + 1;
    m_blockKey.resize(size_t(blocks));
    std::vector<ValueSpan> level(static_cast<size_t>(blocks));
    for (int b = 0; b < blocks; ++b) {
        const int from = b << kShift;
        const int to = std::min(count, from + (1 << kShift));
        m_blockKey[size_t(b)] = data[from].key;
        ValueSpan& s = level[size_t(b)];
        for (int i = from; i < to; ++i)
            s.add(data[i].value);
    }
    m_levels.push_back(std::move(level));
    while (m_levels.back().size() > 1) {
        const std::vector<ValueSpan>& below = m_levels.back();
        std::vector<ValueSpan> above((below.size() + 1) / 2);
        for (size_t k = 0; k < above.size(); ++k) {
            above[k] = below[2 * k];
            if (2 * k + 1 < below.size())
                above[k].add(below[2 * k + 1]);
        }
        m_levels.push_back(std::move(above));
    }
    m_count = count;
    return true;
}

void ValuePyramid::Clear()
{
    m_count = 0;
    m_blockKey.clear();
    m_levels.clear();
}

ValueSpan ValuePyramid::Span(const QCPGraphData* data, int from, int to) const
{
    ValueSpan s;
    const int blockSize = 1 << kShift;
    int first = (from + blockSize - 1) >> kShift; // whole blocks [first, last)
    int last = to >> kShift;
    if (first >= last) {
        for (int i = from; i < to; ++i)
            s.add(data[i].value);
        return s;
    }
    for (int i = from; i < first << kShift; ++i)
        s.add(data[i].value);
    for (int i = last << kShift; i < to; ++i)
        s.add(data[i].value);
    // Whole blocks: climb the levels, taking the odd block at either end.
    for (size_t l = 0; first < last; ++l) {
        const std::vector<ValueSpan>& level = m_levels[l];
        if (first & 1)
            s.add(level[size_t(first++)]);
        if (last & 1)
            s.add(level[size_t(--last)]);
        first >>= 1;
        last >>= 1;
    }
    return s;
}

int ValuePyramid::FirstAtOrAfter(const QCPGraphData* data, double key, int from, int to) const
{
    // Most answers lie in the block of `from`.
    int j = from;
    const int blockEnd = std::min(to, ((from >> kShift) + 1) << kShift);
    while (j < blockEnd && data[j].key < key)
        ++j;
    if (j < blockEnd || j >= to)
        return j;
    // j starts block kb: find the first block from kb on that starts at
    // `key` or later, galloping, then look inside the block before it.
    const int kb = j >> kShift;
    const int kEnd = ((to - 1) >> kShift) + 1;
    int lo = kb;
    int hi = kb;
    for (int step = 1; hi < kEnd && m_blockKey[size_t(hi)] < key; step <<= 1) {
        lo = hi + 1;
        hi += step;
    }
    hi = std::min(hi, kEnd);
    const int k = int(std::partition_point(m_blockKey.begin() + lo, m_blockKey.begin() + hi,
                                           [key](double v) { return v < key; })
                      - m_blockKey.begin());
    if (k == kb)
        return j;
    int i = ((k - 1) << kShift) + 1;
    const int e = std::min(to, k << kShift);
    while (i < e && data[i].key < key)
        ++i;
    return i;
}

// ---------------------------------------------------------------- EnvelopeGraph

EnvelopeGraph::EnvelopeGraph(QCPAxis* keyAxis, QCPAxis* valueAxis)
    : QCPGraph(keyAxis, valueAxis)
{
}

void EnvelopeGraph::IndexData()
{
    m_index.Clear();
    m_indexedContainer = nullptr;
    const int n = mDataContainer->size();
    if (n < kIndexFrom)
        return;
    if (m_index.Build(&*mDataContainer->constBegin(), n))
        m_indexedContainer = mDataContainer.data();
}

bool EnvelopeGraph::Indexed() const
{
    return m_indexedContainer && m_indexedContainer == mDataContainer.data()
           && m_index.Count() == mDataContainer->size();
}

bool EnvelopeGraph::indexApplies(const QCPGraphDataContainer::const_iterator& begin,
                                 const QCPGraphDataContainer::const_iterator& end) const
{
    const QCPAxis* keyAxis = mKeyAxis.data();
    if (!mAdaptiveSampling || !keyAxis || !mValueAxis || begin == end || !Indexed()
        || keyAxis->scaleType() != QCPAxis::stLinear)
        return false;
    // QCustomPlot samples from two points per pixel on; walking the samples
    // stays cheaper until there are several times more.
    const double span = qAbs(keyAxis->coordToPixel(begin->key) - keyAxis->coordToPixel((end - 1)->key));
    return double(end - begin) >= 8 * (span + 1);
}

bool EnvelopeGraph::SamplesThroughIndex() const
{
    QCPGraphDataContainer::const_iterator begin, end;
    getVisibleDataBounds(begin, end, QCPDataRange(0, dataCount()));
    return indexApplies(begin, end);
}

QVector<QCPGraphData> EnvelopeGraph::SampledLine(bool throughIndex) const
{
    QVector<QCPGraphData> line;
    QCPGraphDataContainer::const_iterator begin, end;
    getVisibleDataBounds(begin, end, QCPDataRange(0, dataCount()));
    if (begin == end)
        return line;
    if (throughIndex)
        getOptimizedLineData(&line, begin, end);
    else
        QCPGraph::getOptimizedLineData(&line, begin, end);
    return line;
}

void EnvelopeGraph::getOptimizedLineData(QVector<QCPGraphData>* lineData,
                                         const QCPGraphDataContainer::const_iterator& begin,
                                         const QCPGraphDataContainer::const_iterator& end) const
{
    if (!lineData || !indexApplies(begin, end)) {
        QCPGraph::getOptimizedLineData(lineData, begin, end);
        return;
    }
    // The same walk as QCustomPlot's adaptive sampling, one pixel interval
    // at a time: an interval starts at its first sample, spans one pixel
    // from the pixel boundary at or before it, and becomes a cluster when it
    // holds two samples or more. Its lowest and highest value come from the
    // index; a gap as the first sample makes the whole cluster a gap, gaps
    // further on are passed over, as QCustomPlot does.
    const QCPAxis* keyAxis = mKeyAxis.data();
    const QCPGraphData* data = &*mDataContainer->constBegin();
    int i = int(begin - mDataContainer->constBegin());
    const int e = int(end - mDataContainer->constBegin());
    const int reversedFactor = keyAxis->pixelOrientation();
    const int reversedRound = reversedFactor == -1 ? 1 : 0;
    double startKey = keyAxis->pixelToCoord(int(keyAxis->coordToPixel(data[i].key) + reversedRound));
    double lastIntervalEndKey = startKey;
    const double keyEpsilon = qAbs(startKey - keyAxis->pixelToCoord(keyAxis->coordToPixel(startKey) + 1.0 * reversedFactor));
    lineData->reserve(4 * int(qAbs(keyAxis->coordToPixel((end - 1)->key) - keyAxis->coordToPixel(begin->key)) + 2));
    for (;;) {
        const int j = m_index.FirstAtOrAfter(data, startKey + keyEpsilon, i + 1, e);
        if (j - i >= 2) {
            double minValue = data[i].value;
            double maxValue = minValue;
            if (!std::isnan(minValue)) {
                const ValueSpan rest = m_index.Span(data, i + 1, j);
                if (rest.lo < minValue)
                    minValue = rest.lo;
                if (rest.hi > maxValue)
                    maxValue = rest.hi;
            }
            if (lastIntervalEndKey < startKey - keyEpsilon)
                lineData->append(QCPGraphData(startKey + keyEpsilon * 0.2, data[i].value));
            lineData->append(QCPGraphData(startKey + keyEpsilon * 0.25, minValue));
            lineData->append(QCPGraphData(startKey + keyEpsilon * 0.75, maxValue));
            if (j < e && data[j].key > startKey + keyEpsilon * 2)
                lineData->append(QCPGraphData(startKey + keyEpsilon * 0.8, data[j - 1].value));
        } else {
            lineData->append(QCPGraphData(data[i].key, data[i].value));
        }
        if (j >= e)
            break;
        lastIntervalEndKey = data[j - 1].key;
        i = j;
        startKey = keyAxis->pixelToCoord(int(keyAxis->coordToPixel(data[i].key) + reversedRound));
    }
}
