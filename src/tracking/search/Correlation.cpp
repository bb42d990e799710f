// Normalised cross-correlation of a point's template over its search window.
//
// The correlation of an offset is
//   C = sum (T - mT)(S - mS) / (sqrt(vT * vS) * n)
// and since the zero-mean template sums to zero, the numerator equals
// sum (T - mT) * S: the window mean drops out. The window variance comes
// from integral images of the luminance and its square, kept in integers
// (luminance times 1000 is an exact integer), so it is exact for every
// offset and a flat window really has variance 0 (counted as 1). Carrying a
// clamped running mean and variance from offset to offset instead would let
// every clamp bias all later offsets.
//
// The numerators, the bulk of the work, are summed in single precision over
// the window less its mean (eight offsets per vector instruction); scores
// come out within about 1e-6 of the exact value, so a perfect match may read
// a hair above or below 1.

#include "tracking/search/TargetSearch.h"

#include "common/Rounding.h"

#include <algorithm>
#include <cmath>

namespace tracking {

namespace {

// Scratch buffers reused between searches so that a step allocates nothing
// once they have grown to the largest window seen.
struct CorrelationScratch {
    std::vector<int32_t> luma;       // luminance x 1000 of the window, row-major
    std::vector<float> window;       // the same less its rounded mean, for the numerators
    std::vector<int64_t> sum;        // integral image of the luminance x 1000
    std::vector<int64_t> sumSq;      // integral image of its square
    std::vector<float> zeroMeanTemplate;
    std::vector<double> map;         // correlation map, row-major nx x ny
    std::vector<int32_t> labels;
};

CorrelationScratch& Scratch()
{
    thread_local CorrelationScratch scratch;
    return scratch;
}

// Eight floats; GCC lowers the operations to SSE2 or AVX with FMA depending
// on the clone being compiled. The unaligned variant is for window loads.
typedef float Vec8 __attribute__((vector_size(32)));
typedef float Vec8Unaligned __attribute__((vector_size(32), aligned(4)));

// Numerators sum (T - mT) * (S - c) for `count` consecutive offsets of
// `Rows` map rows, starting at the window row pointer `windowRows` (already
// moved to the first offset). The window holds S - c with c its rounded
// mean, so single precision loses nothing to large common values (the
// zero-mean template makes c drop out of the sum). The sums run over the
// template in the same order for every offset, so equal windows give equal
// correlations. Blocks of 8 * Vectors offsets stay in registers over the
// whole template; lanes beyond `count` read the window's padding and are
// dropped.
template <int Vectors, int Rows>
inline __attribute__((always_inline)) void AccumulateBlock(double* out, int outStride, int count,
                                                           const float* windowRows, int windowWidth,
                                                           const float* templ, int tw, int th)
{
    Vec8 acc[Rows][Vectors];
    for (int r = 0; r < Rows; ++r)
        for (int k = 0; k < Vectors; ++k)
            acc[r][k] = Vec8{};
    for (int j = 0; j < th; ++j) {
        const float* srow = windowRows + size_t(j) * windowWidth;
        const float* trow = templ + size_t(j) * tw;
        for (int i = 0; i < tw; ++i) {
            const float t = trow[i];
            for (int r = 0; r < Rows; ++r) {
                const float* s = srow + size_t(r) * windowWidth + i;
                for (int k = 0; k < Vectors; ++k)
                    acc[r][k] += t * *reinterpret_cast<const Vec8Unaligned*>(s + 8 * k);
            }
        }
    }
    for (int r = 0; r < Rows; ++r) {
        float lanes[8 * Vectors];
        for (int k = 0; k < Vectors; ++k)
            for (int l = 0; l < 8; ++l)
                lanes[8 * k + l] = acc[r][k][l];
        for (int u = 0; u < count; ++u)
            out[size_t(r) * outStride + u] = lanes[u];
    }
}

// Extra floats after the window so the last block never reads past it.
constexpr int WindowPadding = 64;

template <int Rows>
inline __attribute__((always_inline)) void AccumulateRows(double* out, int nx, const float* rows, int windowWidth,
                                                          const float* templ, int tw, int th)
{
    int u = 0;
    for (; nx - u > 16; u += 32)
        AccumulateBlock<4, Rows>(out + u, nx, std::min(32, nx - u), rows + u, windowWidth, templ, tw, th);
    if (nx - u > 8)
        AccumulateBlock<2, Rows>(out + u, nx, nx - u, rows + u, windowWidth, templ, tw, th);
    else if (nx - u > 0)
        AccumulateBlock<1, Rows>(out + u, nx, nx - u, rows + u, windowWidth, templ, tw, th);
}

// On x86 the numerators get a clone with AVX and FMA, picked at load time
// where the processor has them.
#if defined(__x86_64__) && defined(__GNUC__)
#define QOR_NUMERATOR_CLONES __attribute__((target_clones("fma", "default")))
#else
#define QOR_NUMERATOR_CLONES
#endif

// All numerators of the map, two rows at a time (they share each template
// value and give the multiply-adds enough independent sums to keep busy).
QOR_NUMERATOR_CLONES
void ComputeNumerators(double* map, int nx, int ny, const float* window, int windowWidth,
                       const float* templ, int tw, int th)
{
    int v = 0;
    for (; v + 1 < ny; v += 2)
        AccumulateRows<2>(map + size_t(v) * nx, nx, window + size_t(v) * windowWidth, windowWidth, templ, tw, th);
    if (v < ny)
        AccumulateRows<1>(map + size_t(v) * nx, nx, window + size_t(v) * windowWidth, windowWidth, templ, tw, th);
}

} // namespace

PixelRect SearchWindow(int cx, int cy, int w, int h, int frameWidth, int frameHeight)
{
    auto axis = [](int a, int size, int frameSize, int& start, int& length) {
        const double half = size / 2.0;
        long long from = 0, count = 0;
        if (Trunc(a - half) < 0) {
            from = 0;
            count = Trunc(a + half);
        } else if (a + half > frameSize) {
            from = Trunc(a - half);
            count = Trunc(half + frameSize - a);
        } else {
            from = Trunc(a - half);
            count = size;
        }
        // A window larger than the frame overhangs both sides; clip the far
        // side too so that nothing outside the frame is ever read.
        from = std::clamp<long long>(from, 0, frameSize);
        count = std::clamp<long long>(count, 0, frameSize - from);
        start = int(from);
        length = int(count);
    };
    PixelRect r;
    axis(cx, w, frameWidth, r.left, r.width);
    axis(cy, h, frameHeight, r.top, r.height);
    return r;
}

CorrelationResult CorrelationStep(const Frame& frame, const TargetTemplate& templ,
                                  double searchX, double searchY,
                                  const SearchParameters& params)
{
    CorrelationResult result;
    result.x = searchX;
    result.y = searchY;
    result.score = 0.0;

    const int tw = templ.width;
    const int th = templ.height;
    const int bw = frame.width();
    const int bh = frame.height();
    if (templ.isEmpty() || templ.values.size() != size_t(tw) * size_t(th) || frame.isEmpty()
        || !IsUsableCoordinate(searchX) || !IsUsableCoordinate(searchY))
        return result;

    // The template must fit inside the frame around the search centre.
    if (!(Round(searchX - tw / 2.0) >= 0 && Round(searchX + tw / 2.0) <= bw
          && Round(searchY - th / 2.0) >= 0 && Round(searchY + th / 2.0) <= bh))
        return result;
    result.templateInside = true;

    const PixelRect win = SearchWindow(int(Round(searchX)), int(Round(searchY)),
                                       params.SearchWidth, params.SearchHeight, bw, bh);
    const int nx = win.width - tw;   // offsets 0 ... nx - 1
    const int ny = win.height - th;

    int px = 0, py = 0;
    double best = -999.0;
    bool refined = false;
    double cx = 0.0, cy = 0.0;

    if (nx > 0 && ny > 0) {
        CorrelationScratch& s = Scratch();
        const int ww = win.width;
        const int wh = win.height;
        const int iw = ww + 1;   // integral image row length

        // Window luminance x 1000 and its integral images.
        s.luma.resize(size_t(ww) * wh);
        s.sum.assign(size_t(iw) * (wh + 1), 0);
        s.sumSq.assign(size_t(iw) * (wh + 1), 0);
        for (int y = 0; y < wh; ++y) {
            const uint8_t* p = frame.pixel(win.left, win.top + y);
            int32_t* out = s.luma.data() + size_t(y) * ww;
            const int64_t* sumAbove = s.sum.data() + size_t(y) * iw;
            const int64_t* sqAbove = s.sumSq.data() + size_t(y) * iw;
            int64_t* sumRow = s.sum.data() + size_t(y + 1) * iw;
            int64_t* sqRow = s.sumSq.data() + size_t(y + 1) * iw;
            int64_t rowSum = 0, rowSq = 0;
            for (int x = 0; x < ww; ++x, p += 3) {
                const int64_t l = 114 * int64_t(p[0]) + 587 * int64_t(p[1]) + 299 * int64_t(p[2]);
                out[x] = int32_t(l);
                rowSum += l;
                rowSq += l * l;
                sumRow[x + 1] = sumAbove[x + 1] + rowSum;
                sqRow[x + 1] = sqAbove[x + 1] + rowSq;
            }
        }

        const int64_t total = s.sum[size_t(wh) * iw + ww];
        const int32_t common = int32_t(total / (int64_t(ww) * wh));
        s.window.resize(size_t(ww) * wh + WindowPadding);
        for (size_t k = 0; k < s.luma.size(); ++k)
            s.window[k] = float(s.luma[k] - common);
        std::fill(s.window.begin() + ptrdiff_t(s.luma.size()), s.window.end(), 0.0f);

        // Template statistics, once per search. A template of equal values
        // has variance exactly 0 (correlation 0 everywhere), whatever
        // rounding the mean picks up.
        const int n = tw * th;
        double mean = 0.0;
        bool flat = true;
        for (double v : templ.values) {
            mean += v;
            flat = flat && v == templ.values.front();
        }
        mean /= n;
        s.zeroMeanTemplate.resize(size_t(n));
        double varT = 0.0;
        for (int k = 0; k < n; ++k) {
            const double d = templ.values[size_t(k)] - mean;
            s.zeroMeanTemplate[size_t(k)] = float(d);
            varT += d * d;
        }
        varT = flat ? 0.0 : varT / n;

        // The window sums are in luminance x 1000, the numerators too.
        const double scale = 1.0 / (1000.0 * n);
        const __int128 n128 = n;
        s.map.resize(size_t(nx) * ny);
        ComputeNumerators(s.map.data(), nx, ny, s.window.data(), ww, s.zeroMeanTemplate.data(), tw, th);
        for (int v = 0; v < ny; ++v) {
            double* row = s.map.data() + size_t(v) * nx;
            const int64_t* sTop = s.sum.data() + size_t(v) * iw;
            const int64_t* sBottom = s.sum.data() + size_t(v + th) * iw;
            const int64_t* qTop = s.sumSq.data() + size_t(v) * iw;
            const int64_t* qBottom = s.sumSq.data() + size_t(v + th) * iw;
            for (int u = 0; u < nx; ++u) {
                const int64_t sum = sBottom[u + tw] - sBottom[u] - sTop[u + tw] + sTop[u];
                const int64_t sumSq = qBottom[u + tw] - qBottom[u] - qTop[u + tw] + qTop[u];
                // n^2 * variance * 1e6, exact.
                const __int128 spread = n128 * sumSq - __int128(sum) * sum;
                double varS = double(spread) / (double(n) * double(n) * 1e6);
                if (varS < 1.0)
                    varS = 1.0;
                const double denominator = std::sqrt(varT * varS);
                const double c = denominator == 0.0 ? 0.0 : row[u] * scale / denominator;
                row[u] = c;
                if (c > best) {   // strictly greater: the first maximum wins
                    best = c;
                    px = u;
                    py = v;
                }
            }
        }

        cx = px;
        cy = py;
        // Sub-pixel refinement over the peak's region of high correlation;
        // a peak on the first row or column keeps its integer offset.
        if (px > 0 && py > 0 && best >= params.Threshold) {
            LabelRegions(s.map.data(), nx, ny, params.Threshold, 1.1, s.labels);
            const int32_t k = s.labels[size_t(py) * nx + px];
            double sumC = 0.0, sumU = 0.0, sumV = 0.0;
            for (int v = 0; v < ny; ++v) {
                for (int u = 0; u < nx; ++u) {
                    if (s.labels[size_t(v) * nx + u] != k)
                        continue;
                    const double c = s.map[size_t(v) * nx + u];
                    sumC += c;
                    sumU += c * u;
                    sumV += c * v;
                }
            }
            if (k != 0 && sumC > 0.0) {
                cx = sumU / sumC;
                cy = sumV / sumC;
                refined = true;
            }
        }
    }

    result.x = win.left + cx + tw / 2.0 - (tw % 2) / 2.0 + templ.fracX;
    result.y = win.top + cy + th / 2.0 - (th % 2) / 2.0 + templ.fracY;
    result.score = best;
    result.refined = refined;
    return result;
}

} // namespace tracking
