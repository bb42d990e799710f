#include "document/ui/ViewResampler.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace {

constexpr int WeightBits = 14;
constexpr int RowFractionBits = 6;
constexpr int ZeroColumn = 0;

} // namespace

double ZoomKernelRadius(ZoomKernel kernel)
{
    switch (kernel) {
    case ZoomKernel::Box: return 0.5;
    case ZoomKernel::Linear: return 1.0;
    case ZoomKernel::Cubic:
    case ZoomKernel::Mitchell: return 2.0;
    }
    return 0.5;
}

double ZoomKernelValue(ZoomKernel kernel, double x)
{
    x = std::abs(x);
    switch (kernel) {
    case ZoomKernel::Box:
        return x <= 0.5 ? 1.0 : 0.0;
    case ZoomKernel::Linear:
        return x < 1.0 ? 1.0 - x : 0.0;
    case ZoomKernel::Cubic: {
        // Keys' cubic convolution with a = −0.5.
        constexpr double a = -0.5;
        if (x < 1.0)
            return ((a + 2.0) * x - (a + 3.0)) * x * x + 1.0;
        if (x < 2.0)
            return ((a * x - 5.0 * a) * x + 8.0 * a) * x - 4.0 * a;
        return 0.0;
    }
    case ZoomKernel::Mitchell: {
        // Mitchell–Netravali with B = C = 1/3.
        if (x < 1.0)
            return (7.0 / 6.0) * x * x * x - 2.0 * x * x + 8.0 / 9.0;
        if (x < 2.0)
            return -(7.0 / 18.0) * x * x * x + 2.0 * x * x - (10.0 / 3.0) * x + 16.0 / 9.0;
        return 0.0;
    }
    }
    return 0.0;
}

void ViewResampler::buildAxis(AxisTable& t, ZoomKernel kernel, double scale, double offset, int viewStart,
                              int viewCount, int sourceLength)
{
    if (t.Kernel == kernel && t.Scale == scale && t.Offset0 == offset && t.ViewStart == viewStart
        && t.ViewCount == viewCount && t.SourceLength == sourceLength)
        return;
    t.Kernel = kernel;
    t.Scale = scale;
    t.Offset0 = offset;
    t.ViewStart = viewStart;
    t.ViewCount = viewCount;
    t.SourceLength = sourceLength;
    t.First.assign(viewCount, 0);
    t.Count.assign(viewCount, 0);
    t.Offset.assign(viewCount, 0);
    t.Weights.clear();
    t.MinSource = sourceLength;
    t.MaxSource = -1;

    // Shrinking widens the kernel so every source pixel contributes.
    const double filterScale = std::max(1.0, 1.0 / scale);
    const double radius = ZoomKernelRadius(kernel) * filterScale;
    std::vector<double> w;
    std::vector<int> idx;
    for (int i = 0; i < viewCount; ++i) {
        const double u = (viewStart + i + 0.5 - offset) / scale - 0.5; // source position of the pixel centre
        const int lo = int(std::ceil(u - radius));
        const int hi = int(std::floor(u + radius));
        w.clear();
        idx.clear();
        double sum = 0.0;
        for (int j = lo; j <= hi; ++j) {
            const double k = ZoomKernelValue(kernel, (j - u) / filterScale);
            if (k == 0.0)
                continue;
            // Edge pixels repeat beyond the border.
            const int src = std::clamp(j, 0, sourceLength - 1);
            if (!idx.empty() && idx.back() == src)
                w.back() += k;
            else {
                idx.push_back(src);
                w.push_back(k);
            }
            sum += k;
        }
        if (idx.empty() || sum == 0.0) { // cannot happen for these kernels, but never divide by zero
            idx.assign(1, std::clamp(int(std::lround(u)), 0, sourceLength - 1));
            w.assign(1, 1.0);
            sum = 1.0;
        }
        // Indices are consecutive except where clamping merged them.
        // Store as a consecutive run starting at idx.front().
        const int first = idx.front();
        const int count = idx.back() - first + 1;
        t.First[i] = first;
        t.Count[i] = count;
        t.Offset[i] = int(t.Weights.size());
        const size_t base = t.Weights.size();
        t.Weights.resize(base + count, 0);
        int total = 0;
        int largest = 0;
        for (size_t n = 0; n < idx.size(); ++n) {
            const int q = int(std::lround(w[n] / sum * (1 << WeightBits)));
            t.Weights[base + (idx[n] - first)] = int16_t(q);
            total += q;
            if (std::abs(q) > std::abs(t.Weights[base + largest]))
                largest = idx[n] - first;
        }
        // Rounding error goes to the largest tap so flat areas stay flat.
        t.Weights[base + largest] = int16_t(t.Weights[base + largest] + ((1 << WeightBits) - total));
        t.MinSource = std::min(t.MinSource, first);
        t.MaxSource = std::max(t.MaxSource, first + count - 1);
    }

    int taps = 0;
    for (int i = 0; i < viewCount; ++i)
        taps = std::max(taps, t.Count[i]);
    t.Taps = taps <= sourceLength ? taps : 0;
    t.FirstOfTaps.assign(size_t(viewCount), 0);
    t.TapWeights.assign(size_t(viewCount) * size_t(t.Taps), 0);
    if (t.Taps == 0)
        return;
    for (int i = 0; i < viewCount; ++i) {
        // Near the far edge the run starts earlier, with leading zeros.
        const int first = std::min(t.First[i], sourceLength - t.Taps);
        t.FirstOfTaps[i] = first;
        int16_t* w = t.TapWeights.data() + size_t(i) * size_t(t.Taps);
        for (int k = 0; k < t.Count[i]; ++k)
            w[t.First[i] - first + k] = t.Weights[size_t(t.Offset[i] + k)];
    }
}

namespace {

constexpr int VerticalShift = WeightBits - RowFractionBits;
constexpr int HorizontalShift = WeightBits + RowFractionBits;

inline uint32_t PackPixel(int b, int g, int r)
{
    b = std::clamp((b + (1 << (HorizontalShift - 1))) >> HorizontalShift, 0, 255);
    g = std::clamp((g + (1 << (HorizontalShift - 1))) >> HorizontalShift, 0, 255);
    r = std::clamp((r + (1 << (HorizontalShift - 1))) >> HorizontalShift, 0, 255);
    return 0xff000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
}

// One view row from a vertically resampled row (`row`, from column colLo),
// every view pixel with `taps` taps. Always inlined: called with a constant
// tap count (HorizontalRow<Taps>) the inner loop unrolls.
[[gnu::always_inline]] inline void HorizontalRowTaps(const int16_t* row, uint32_t* out, int viewW, const int* first,
                                                     int colLo, const int16_t* weights, int taps)
{
    for (int i = 0; i < viewW; ++i, weights += taps) {
        const int16_t* p = row + 3 * (first[i] - colLo);
        int b = 0, g = 0, r = 0;
        for (int k = 0; k < taps; ++k, p += 3) {
            b += weights[k] * p[0];
            g += weights[k] * p[1];
            r += weights[k] * p[2];
        }
        out[i] = PackPixel(b, g, r);
    }
}

template <int Taps>
void HorizontalRow(const int16_t* row, uint32_t* out, int viewW, const int* first, int colLo, const int16_t* weights)
{
    HorizontalRowTaps(row, out, viewW, first, colLo, weights, Taps);
}

void HorizontalRowAnyTaps(const int16_t* row, uint32_t* out, int viewW, const int* first, int colLo, const int16_t* weights,
                          int taps)
{
    HorizontalRowTaps(row, out, viewW, first, colLo, weights, taps);
}

using HorizontalRowFunction = void (*)(const int16_t*, uint32_t*, int, const int*, int, const int16_t*);

HorizontalRowFunction HorizontalRowFor(int taps)
{
    switch (taps) {
    case 1: return HorizontalRow<1>;
    case 2: return HorizontalRow<2>;
    case 3: return HorizontalRow<3>;
    case 4: return HorizontalRow<4>;
    case 5: return HorizontalRow<5>;
    case 6: return HorizontalRow<6>;
    case 7: return HorizontalRow<7>;
    case 8: return HorizontalRow<8>;
    default: return nullptr;
    }
}

// Source rows first (when enlarging: few source rows, many view rows).
constexpr int SourceRowShift = WeightBits - RowFractionBits;

// One source row resampled horizontally, every view pixel with `taps` taps
// (always inlined, as HorizontalRowTaps).
[[gnu::always_inline]] inline void SourceRowTaps(const uint8_t* in, int16_t* out, int viewW, const int* first,
                                                 const int16_t* weights, int taps)
{
    constexpr int half = 1 << (SourceRowShift - 1);
    for (int i = 0; i < viewW; ++i, weights += taps) {
        const uint8_t* p = in + 3 * first[i];
        int b = 0, g = 0, r = 0;
        for (int k = 0; k < taps; ++k, p += 3) {
            b += weights[k] * p[0];
            g += weights[k] * p[1];
            r += weights[k] * p[2];
        }
        out[3 * i + 0] = int16_t((b + half) >> SourceRowShift);
        out[3 * i + 1] = int16_t((g + half) >> SourceRowShift);
        out[3 * i + 2] = int16_t((r + half) >> SourceRowShift);
    }
}

template <int Taps>
void SourceRow(const uint8_t* in, int16_t* out, int viewW, const int* first, const int16_t* weights)
{
    SourceRowTaps(in, out, viewW, first, weights, Taps);
}

void SourceRowAnyTaps(const uint8_t* in, int16_t* out, int viewW, const int* first, const int16_t* weights, int taps)
{
    SourceRowTaps(in, out, viewW, first, weights, taps);
}

using SourceRowFunction = void (*)(const uint8_t*, int16_t*, int, const int*, const int16_t*);

SourceRowFunction SourceRowFor(int taps)
{
    switch (taps) {
    case 1: return SourceRow<1>;
    case 2: return SourceRow<2>;
    case 3: return SourceRow<3>;
    case 4: return SourceRow<4>;
    case 5: return SourceRow<5>;
    case 6: return SourceRow<6>;
    case 7: return SourceRow<7>;
    case 8: return SourceRow<8>;
    default: return nullptr;
    }
}

// Views smaller than this are resampled on the calling thread alone.
constexpr int64_t PixelsPerThread = 128 * 1024;

} // namespace

QRect ViewResampler::Render(const Source& src, QImage& dest, const QRect& clip, double scale, double offsetX,
                            double offsetY, ZoomKernel kernel)
{
    if (!src.Bits || src.Width <= 0 || src.Height <= 0 || !(scale > 0.0) || dest.isNull()
        || dest.depth() != 32)
        return {};

    // View pixels whose centres fall on the image.
    const auto span = [](double offset, double length, int clipLo, int clipHi) {
        const double lo = std::ceil(offset - 0.5);
        const double hi = std::ceil(offset + length - 0.5) - 1.0;
        return std::pair<int, int>(int(std::max<double>(lo, clipLo)), int(std::min<double>(hi, clipHi)));
    };
    const QRect area = clip.intersected(dest.rect());
    const auto [x0, x1] = span(offsetX, src.Width * scale, area.left(), area.right());
    const auto [y0, y1] = span(offsetY, src.Height * scale, area.top(), area.bottom());
    if (x1 < x0 || y1 < y0)
        return {};
    const int viewW = x1 - x0 + 1;
    const int viewH = y1 - y0 + 1;

    buildAxis(m_x, kernel, scale, offsetX, x0, viewW, src.Width);
    buildAxis(m_y, kernel, scale, offsetY, y0, viewH, src.Height);

    // Nearest-pixel mappings (box when enlarging, any kernel at scale 1 on
    // whole-pixel offsets) need no arithmetic: copy pixels by index.
    const auto singleTaps = [](const AxisTable& t) {
        return std::all_of(t.Count.begin(), t.Count.end(), [](int n) { return n == 1; });
    };
    if (singleTaps(m_x) && singleTaps(m_y)) {
        for (int j = 0; j < viewH; ++j) {
            const uint8_t* in = src.Bits + size_t(m_y.First[j]) * src.Stride;
            uint32_t* out = reinterpret_cast<uint32_t*>(dest.scanLine(y0 + j)) + x0;
            const int* first = m_x.First.data();
            for (int i = 0; i < viewW; ++i) {
                const uint8_t* p = in + 3 * first[i];
                out[i] = 0xff000000u | uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
            }
        }
        return QRect(x0, y0, viewW, viewH);
    }

    // Rows in bands, one per thread: each band resamples the source rows
    // it needs itself (a few rows at band edges twice), so the threads
    // share nothing but the tables.
    const int hardware = m_threads > 0 ? m_threads : int(std::max(1u, std::thread::hardware_concurrency()));
    const int bands = int(std::clamp<int64_t>(int64_t(viewW) * viewH / PixelsPerThread, 1, std::min(hardware, 4)));
    if (m_scratch.size() < size_t(bands))
        m_scratch.resize(size_t(bands));
    // Shrinking, fewer view rows than source rows are resampled across by
    // going down each column first; enlarging, fewer source rows.
    const bool viewRowsFirst = m_y.MaxSource - m_y.MinSource + 1 > viewH;
    const auto renderBand = [&](int b) {
        const int rowBegin = viewH * b / bands;
        const int rowEnd = viewH * (b + 1) / bands;
        if (viewRowsFirst)
            renderViewRowsFirst(src, dest, x0, y0, viewW, rowBegin, rowEnd, m_scratch[size_t(b)]);
        else
            renderSourceRowsFirst(src, dest, x0, y0, viewW, rowBegin, rowEnd, m_scratch[size_t(b)]);
    };
    std::vector<std::thread> helpers;
    for (int b = 1; b < bands; ++b)
        helpers.emplace_back(renderBand, b);
    renderBand(0);
    for (std::thread& t : helpers)
        t.join();
    return QRect(x0, y0, viewW, viewH);
}

void ViewResampler::renderViewRowsFirst(const Source& src, QImage& dest, int x0, int y0, int viewW, int rowBegin,
                                        int rowEnd, Scratch& scratch) const
{
    if (rowBegin >= rowEnd)
        return;
    // The source columns the view pixels read.
    const bool fixedTaps = m_x.Taps > 0;
    const std::vector<int>& firsts = fixedTaps ? m_x.FirstOfTaps : m_x.First;
    int colLo = firsts[0];
    int colHi = colLo;
    for (int i = 0; i < viewW; ++i) {
        colLo = std::min(colLo, firsts[i]);
        colHi = std::max(colHi, firsts[i] + (fixedTaps ? m_x.Taps : m_x.Count[i]) - 1);
    }
    const int rowBytes = (colHi - colLo + 1) * 3;
    scratch.Rows.resize(size_t(rowBytes));
    scratch.Acc.resize(size_t(rowBytes));
    int16_t* row = scratch.Rows.data();
    int* acc = scratch.Acc.data();
    const HorizontalRowFunction horizontal = HorizontalRowFor(m_x.Taps);

    for (int j = rowBegin; j < rowEnd; ++j) {
        // Vertical pass first, over whole rows of bytes (the loops the
        // compiler vectorises), then the horizontal one on a single row.
        const int n = m_y.Count[j];
        const int16_t* w = m_y.Weights.data() + m_y.Offset[j];
        const uint8_t* top = src.Bits + size_t(m_y.First[j]) * src.Stride + size_t(colLo) * 3;
        if (n == 1) { // nearest row: its weight is exactly one
            for (int c = 0; c < rowBytes; ++c)
                row[c] = int16_t(top[c] << RowFractionBits);
        } else {
            std::fill(acc, acc + rowBytes, 1 << (VerticalShift - 1));
            for (int k = 0; k < n; ++k) {
                const uint8_t* in = top + size_t(k) * src.Stride;
                const int wk = w[k];
                if (wk == 0)
                    continue;
                for (int c = 0; c < rowBytes; ++c)
                    acc[c] += wk * in[c];
            }
            for (int c = 0; c < rowBytes; ++c)
                row[c] = int16_t(acc[c] >> VerticalShift);
        }

        uint32_t* out = reinterpret_cast<uint32_t*>(dest.scanLine(y0 + j)) + x0;
        if (horizontal)
            horizontal(row, out, viewW, m_x.FirstOfTaps.data(), colLo, m_x.TapWeights.data());
        else if (fixedTaps)
            HorizontalRowAnyTaps(row, out, viewW, m_x.FirstOfTaps.data(), colLo, m_x.TapWeights.data(), m_x.Taps);
        else
            for (int i = 0; i < viewW; ++i) // a source narrower than the kernel
                HorizontalRowAnyTaps(row, out + i, 1, &m_x.First[i], colLo, m_x.Weights.data() + m_x.Offset[i], m_x.Count[i]);
    }
}

void ViewResampler::renderSourceRowsFirst(const Source& src, QImage& dest, int x0, int y0, int viewW, int rowBegin,
                                          int rowEnd, Scratch& scratch) const
{
    if (rowBegin >= rowEnd)
        return;
    // Horizontal pass over the source rows these view rows need.
    int rowLo = m_y.First[rowBegin];
    int rowHi = rowLo;
    for (int j = rowBegin; j < rowEnd; ++j) {
        rowLo = std::min(rowLo, m_y.First[j]);
        rowHi = std::max(rowHi, m_y.First[j] + m_y.Count[j] - 1);
    }
    const int rowStride = viewW * 3;
    scratch.Rows.resize(size_t(rowHi - rowLo + 1) * rowStride);
    const SourceRowFunction fixedTaps = SourceRowFor(m_x.Taps);
    for (int r = rowLo; r <= rowHi; ++r) {
        const uint8_t* in = src.Bits + size_t(r) * src.Stride;
        int16_t* out = scratch.Rows.data() + size_t(r - rowLo) * rowStride;
        if (fixedTaps)
            fixedTaps(in, out, viewW, m_x.FirstOfTaps.data(), m_x.TapWeights.data());
        else if (m_x.Taps > 0)
            SourceRowAnyTaps(in, out, viewW, m_x.FirstOfTaps.data(), m_x.TapWeights.data(), m_x.Taps);
        else
            for (int i = 0; i < viewW; ++i) // a source narrower than the kernel
                SourceRowAnyTaps(in + 3 * m_x.First[i], out + 3 * i, 1, &ZeroColumn, m_x.Weights.data() + m_x.Offset[i],
                                     m_x.Count[i]);
    }

    // Vertical pass into the view buffer.
    constexpr int vShift = WeightBits + RowFractionBits;
    constexpr int vHalf = 1 << (vShift - 1);
    scratch.Acc.resize(size_t(rowStride));
    int* acc = scratch.Acc.data();
    for (int j = rowBegin; j < rowEnd; ++j) {
        uint32_t* out = reinterpret_cast<uint32_t*>(dest.scanLine(y0 + j)) + x0;
        const int first = m_y.First[j] - rowLo;
        const int n = m_y.Count[j];
        const int16_t* w = m_y.Weights.data() + m_y.Offset[j];
        if (n == 1) { // nearest row: no accumulation needed
            const int16_t* row = scratch.Rows.data() + size_t(first) * rowStride;
            for (int i = 0; i < viewW; ++i) {
                const int b = std::clamp((row[3 * i] + 32) >> RowFractionBits, 0, 255);
                const int g = std::clamp((row[3 * i + 1] + 32) >> RowFractionBits, 0, 255);
                const int r = std::clamp((row[3 * i + 2] + 32) >> RowFractionBits, 0, 255);
                out[i] = 0xff000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
            }
            continue;
        }
        std::fill(acc, acc + rowStride, vHalf);
        for (int k = 0; k < n; ++k) {
            const int16_t* row = scratch.Rows.data() + size_t(first + k) * rowStride;
            const int wk = w[k];
            if (wk == 0)
                continue;
            for (int c = 0; c < rowStride; ++c)
                acc[c] += wk * row[c];
        }
        for (int i = 0; i < viewW; ++i) {
            const int b = std::clamp(acc[3 * i] >> vShift, 0, 255);
            const int g = std::clamp(acc[3 * i + 1] >> vShift, 0, 255);
            const int r = std::clamp(acc[3 * i + 2] >> vShift, 0, 255);
            out[i] = 0xff000000u | uint32_t(r) << 16 | uint32_t(g) << 8 | uint32_t(b);
        }
    }
}
