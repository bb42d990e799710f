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
#include <tuple>
#include <utility>

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

namespace {

// Offset of the peak of a parabola through three equally spaced values,
// within half a step of the middle one.
double ParabolaPeak(double before, double at, double after)
{
    const double curvature = before - 2.0 * at + after;
    if (!(curvature < 0.0))
        return 0.0;
    return std::clamp(0.5 * (before - after) / curvature, -0.5, 0.5);
}

} // namespace

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

    // The template must fit inside the frame around the search centre: a
    // target within half a template of the border cannot be searched.
    if (!(Round(searchX - tw / 2.0) >= 0 && Round(searchX + tw / 2.0) <= bw
          && Round(searchY - th / 2.0) >= 0 && Round(searchY + th / 2.0) <= bh))
        return result;
    result.templateInside = true;

    // The window holds the template at the searched place and the search
    // margin split evenly around it, clipped at the frame; a window no
    // larger than the template still has that one offset.
    const double centreX = tw / 2.0 - (tw % 2) / 2.0 + templ.fracX;
    const double centreY = th / 2.0 - (th % 2) / 2.0 + templ.fracY;
    auto axis = [](double placedStart, int templateSize, int searchSize, int frameSize) {
        const long long margin = std::max(0, searchSize - templateSize);
        const long long from = std::max<long long>(0, Round(placedStart) - margin / 2);
        const long long to = std::min<long long>(frameSize, Round(placedStart) - margin / 2 + templateSize + margin);
        return std::pair<int, int>(int(from), int(std::max<long long>(0, to - from)));
    };
    PixelRect win;
    std::tie(win.left, win.width) = axis(searchX - centreX, tw, params.SearchWidth, bw);
    std::tie(win.top, win.height) = axis(searchY - centreY, th, params.SearchHeight, bh);
    const int nx = win.width - tw + 1;   // offsets 0 ... nx - 1
    const int ny = win.height - th + 1;
    if (nx <= 0 || ny <= 0)
        return result;

    int px = 0, py = 0;
    double best = -999.0;
    CorrelationScratch& s = Scratch();
    {
        const int ww = win.width;
        const int wh = win.height;
        const int iw = ww + 1;   // integral image row length

        // Window luminance x 1000 and its integral images.
        s.luma.resize(size_t(ww) * wh);
        // Every entry is written below except the first row and column.
        s.sum.resize(size_t(iw) * (wh + 1));
        s.sumSq.resize(size_t(iw) * (wh + 1));
        std::fill_n(s.sum.begin(), iw, 0);
        std::fill_n(s.sumSq.begin(), iw, 0);
        for (int y = 1; y <= wh; ++y)
            s.sum[size_t(y) * iw] = s.sumSq[size_t(y) * iw] = 0;
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
        // n * sumSq <= n^2 * 255000^2 must stay below 2^63.
        const bool smallTemplate = n <= 8000;
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
                // n^2 * variance * 1e6, exact: in 64 bits while they hold
                // it (templates up to 8000 pixels), else in 128.
                const double spread = smallTemplate ? double(int64_t(n) * sumSq - sum * sum)
                                                    : double(n128 * sumSq - __int128(sum) * sum);
                double varS = spread / (double(n) * double(n) * 1e6);
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
    }

    double left = win.left + px;
    double top = win.top + py;
    result.score = best;
    result.outcome = best >= params.Threshold ? SearchOutcome::Found : SearchOutcome::BelowThreshold;

    if (result.found()) {
        // A parabola through the peak and its neighbours starts the
        // alignment; the alignment itself fixes the sub-pixel position.
        const auto at = [&](int u, int v) { return s.map[size_t(v) * nx + u]; };
        const double startX = left + (px > 0 && px + 1 < nx ? ParabolaPeak(at(px - 1, py), best, at(px + 1, py)) : 0.0);
        const double startY = top + (py > 0 && py + 1 < ny ? ParabolaPeak(at(px, py - 1), best, at(px, py + 1)) : 0.0);
        // One spline patch around the peak serves both alignments.
        thread_local SplinePatch patch;
        BuildSplinePatchAround(frame, left, top, tw, th, patch);
        const AlignResult aligned = AlignOnPatch(patch, templ, startX, startY);
        if (aligned.converged && std::fabs(aligned.left - left) <= 1.0 && std::fabs(aligned.top - top) <= 1.0) {
            left = aligned.left;
            top = aligned.top;
            result.refined = true;
        } else {
            left = startX;
            top = startY;
        }

        // Drift correction: the first template aligned from the same place.
        const TargetTemplate* first = templ.first.get();
        if (first && !first->isEmpty()) {
            const double pointX = left + centreX;
            const double pointY = top + centreY;
            const double firstCentreX = first->width / 2.0 - (first->width % 2) / 2.0 + first->fracX;
            const double firstCentreY = first->height / 2.0 - (first->height % 2) / 2.0 + first->fracY;
            const bool sameSize = first->width == tw && first->height == th;
            const AlignResult anchored = sameSize
                ? AlignOnPatch(patch, *first, pointX - firstCentreX, pointY - firstCentreY)
                : AlignTemplate(frame, *first, pointX - firstCentreX, pointY - firstCentreY);
            if (anchored.converged && anchored.score >= params.Threshold) {
                const double ax = anchored.left + firstCentreX;
                const double ay = anchored.top + firstCentreY;
                if (std::fabs(ax - pointX) <= 0.5 && std::fabs(ay - pointY) <= 0.5) {
                    result.x = ax;
                    result.y = ay;
                    result.refined = true;
                    result.firstTemplateUsed = true;
                    return result;
                }
            }
        }
    }

    result.x = left + centreX;
    result.y = top + centreY;
    return result;
}

} // namespace tracking
