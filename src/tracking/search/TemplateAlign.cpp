// Sub-pixel alignment of a template with the frame: Gauss-Newton on the
// shift, with the template's gain and offset solved at every iteration, on
// frame luminance resampled by cubic B-spline interpolation (the luminance
// prefiltered into spline coefficients first). Short interpolators such as
// Catmull-Rom blur a shifted picture by an amount that depends on the
// fraction of the shift, which shows as a few hundredths of a pixel of
// pixel locking; the interpolating spline keeps that well below.
//
// The model is  I(left + i + dx, top + j + dy) = a * T(i, j) + b  for every
// template pixel. Since the shift is a pure translation, every template
// pixel shares the same fractional offset, so the resampling and both
// gradients are separable four-tap filters with one set of weights per
// iteration: a few multiply-adds per pixel and nothing allocated once the
// per-thread buffers have grown.

#include "tracking/search/TargetSearch.h"

#include <algorithm>
#include <cmath>

namespace tracking {

// On x86 the hot loops get a clone with AVX and FMA, picked at load time
// where the processor has them.
#if defined(__x86_64__) && defined(__GNUC__)
#define QOR_ALIGN_CLONES __attribute__((target_clones("fma", "default")))
#else
#define QOR_ALIGN_CLONES
#endif

namespace {

// Cubic B-spline weights of the taps at -1, 0, 1, 2 for fraction t, and
// their derivatives with respect to the sample position.
void CubicWeights(double t, double w[4], double d[4])
{
    const double t2 = t * t, t3 = t2 * t, u = 1.0 - t;
    w[0] = u * u * u / 6.0;
    w[1] = (3.0 * t3 - 6.0 * t2 + 4.0) / 6.0;
    w[2] = (-3.0 * t3 + 3.0 * t2 + 3.0 * t + 1.0) / 6.0;
    w[3] = t3 / 6.0;
    d[0] = -0.5 * u * u;
    d[1] = 0.5 * (3.0 * t2 - 4.0 * t);
    d[2] = 0.5 * (-3.0 * t2 + 2.0 * t + 1.0);
    d[3] = 0.5 * t2;
}

// Turns a w x h row-major picture into cubic B-spline coefficients in
// place: the causal and anti-causal recursions of the pole sqrt(3) - 2
// along each axis, each started from a mirrored end. The recursions of all
// columns (then all rows) run side by side, so the inner loops have no
// chain of dependent steps and vectorise.
QOR_ALIGN_CLONES
void SplinePrefilter(double* v, int w, int h)
{
    const double z = std::sqrt(3.0) - 2.0;
    const double endGain = z / (z * z - 1.0);
    // Along y: row k from row k - 1, every column at once.
    auto at = [&](int x, int y) -> double& { return v[size_t(y) * w + x]; };
    if (h >= 2) {
        for (int x = 0; x < w; ++x) {
            double sum = at(x, 0), zk = 1.0;
            for (int k = 1; k < std::min(h, 24); ++k) {
                zk *= z;
                sum += zk * at(x, k);
            }
            at(x, 0) = sum;
        }
        for (int y = 1; y < h; ++y) {
            double* row = v + size_t(y) * w;
            const double* above = row - w;
            for (int x = 0; x < w; ++x)
                row[x] += z * above[x];
        }
        for (int x = 0; x < w; ++x)
            at(x, h - 1) = endGain * (at(x, h - 1) + z * at(x, h - 2));
        for (int y = h - 2; y >= 0; --y) {
            double* row = v + size_t(y) * w;
            const double* below = row + w;
            for (int x = 0; x < w; ++x)
                row[x] = z * (below[x] - row[x]);
        }
    }
    // Along x: column k from column k - 1, the rows interleaved.
    if (w >= 2) {
        for (int y = 0; y < h; ++y) {
            double* row = v + size_t(y) * w;
            double sum = row[0], zk = 1.0;
            for (int k = 1; k < std::min(w, 24); ++k) {
                zk *= z;
                sum += zk * row[k];
            }
            row[0] = sum;
        }
        for (int x = 1; x < w; ++x)
            for (int y = 0; y < h; ++y)
                at(x, y) += z * at(x - 1, y);
        for (int y = 0; y < h; ++y)
            at(w - 1, y) = endGain * (at(w - 1, y) + z * at(w - 2, y));
        for (int x = w - 2; x >= 0; --x)
            for (int y = 0; y < h; ++y)
                at(x, y) = z * (at(x + 1, y) - at(x, y));
    }
    for (size_t k = 0; k < size_t(w) * h; ++k)
        v[k] *= 36.0;   // 6 per axis
}

struct AlignScratch {
    SplinePatch patch;
    std::vector<double> h, hd;   // horizontal pass: value and x derivative
    std::vector<double> v, gx, gy;
    std::vector<double> zeroMeanTemplate;
};

AlignScratch& Scratch()
{
    thread_local AlignScratch scratch;
    return scratch;
}

constexpr int MaxIterations = 20;
constexpr double Converged = 5e-4;   // pixels; far below what noise leaves

} // namespace

void BuildSplinePatch(const Frame& frame, int left, int top, int width, int height, SplinePatch& patch)
{
    patch.left = left;
    patch.top = top;
    patch.width = width;
    patch.height = height;
    patch.coefficients.resize(size_t(width) * height);
    if (frame.isEmpty())
        return;
    for (int j = 0; j < height; ++j) {
        const int y = std::clamp(top + j, 0, frame.height() - 1);
        double* out = patch.coefficients.data() + size_t(j) * width;
        for (int i = 0; i < width; ++i) {
            const int x = std::clamp(left + i, 0, frame.width() - 1);
            const uint8_t* p = frame.pixel(x, y);
            out[i] = 0.299 * p[2] + 0.587 * p[1] + 0.114 * p[0];
        }
    }
    SplinePrefilter(patch.coefficients.data(), width, height);
}

void BuildSplinePatchAround(const Frame& frame, double left, double top, int templateWidth, int templateHeight,
                            SplinePatch& patch)
{
    BuildSplinePatch(frame, int(std::floor(left)) - SplinePatchMargin, int(std::floor(top)) - SplinePatchMargin,
                     templateWidth + 2 * SplinePatchMargin + 1, templateHeight + 2 * SplinePatchMargin + 1, patch);
}

AlignResult AlignTemplate(const Frame& frame, const TargetTemplate& templ, double left, double top)
{
    if (templ.isEmpty() || frame.isEmpty() || !IsUsableCoordinate(left) || !IsUsableCoordinate(top)) {
        AlignResult result;
        result.left = left;
        result.top = top;
        return result;
    }
    AlignScratch& s = Scratch();
    BuildSplinePatchAround(frame, left, top, templ.width, templ.height, s.patch);
    return AlignOnPatch(s.patch, templ, left, top);
}


QOR_ALIGN_CLONES
AlignResult AlignOnPatch(const SplinePatch& patch, const TargetTemplate& templ, double left, double top)
{
    AlignResult result;
    result.left = left;
    result.top = top;
    const int tw = templ.width;
    const int th = templ.height;
    if (templ.isEmpty() || !IsUsableCoordinate(left) || !IsUsableCoordinate(top)
        || templ.values.size() != size_t(tw) * size_t(th) || patch.coefficients.empty())
        return result;

    AlignScratch& s = Scratch();
    const int n = tw * th;

    // Zero-mean template; a flat one cannot be aligned.
    double mean = 0.0;
    for (double t : templ.values)
        mean += t;
    mean /= n;
    s.zeroMeanTemplate.resize(size_t(n));
    double sumTT = 0.0;
    for (int k = 0; k < n; ++k) {
        const double d = templ.values[size_t(k)] - mean;
        s.zeroMeanTemplate[size_t(k)] = d;
        sumTT += d * d;
    }
    if (sumTT <= 1e-9 * n)
        return result;

    const int px0 = patch.left, py0 = patch.top, pw = patch.width, ph = patch.height;
    s.h.resize(size_t(th + 3) * tw);
    s.hd.resize(size_t(th + 3) * tw);
    s.v.resize(size_t(n));
    s.gx.resize(size_t(n));
    s.gy.resize(size_t(n));

    double x = left, y = top;
    double sumVT = 0.0, sumVV = 0.0;
    for (int iteration = 0; iteration < MaxIterations; ++iteration) {
        const double fx = std::floor(x), fy = std::floor(y);
        double wx[4], dx[4], wy[4], dy[4];
        CubicWeights(x - fx, wx, dx);
        CubicWeights(y - fy, wy, dy);
        // Patch index of the tap at -1 for template pixel (0, 0).
        const int ox = int(fx) - 1 - px0;
        const int oy = int(fy) - 1 - py0;
        // The taps must stay inside the patch, clear of its margin where the
        // prefilter has not settled.
        if (ox < 2 || oy < 2 || ox + tw + 3 > pw - 2 || oy + th + 3 > ph - 2)
            return result;

        // Horizontal pass over the th + 3 rows the vertical taps need.
        for (int r = 0; r < th + 3; ++r) {
            const double* row = patch.coefficients.data() + size_t(oy + r) * pw + ox;
            double* hv = s.h.data() + size_t(r) * tw;
            double* hdv = s.hd.data() + size_t(r) * tw;
            for (int i = 0; i < tw; ++i) {
                const double* q = row + i;
                hv[i] = wx[0] * q[0] + wx[1] * q[1] + wx[2] * q[2] + wx[3] * q[3];
                hdv[i] = dx[0] * q[0] + dx[1] * q[1] + dx[2] * q[2] + dx[3] * q[3];
            }
        }
        // Vertical pass: value and both gradients.
        for (int j = 0; j < th; ++j) {
            const double* h0 = s.h.data() + size_t(j) * tw;
            const double* d0 = s.hd.data() + size_t(j) * tw;
            double* v = s.v.data() + size_t(j) * tw;
            double* gx = s.gx.data() + size_t(j) * tw;
            double* gy = s.gy.data() + size_t(j) * tw;
            for (int i = 0; i < tw; ++i) {
                const double a0 = h0[i], a1 = h0[i + tw], a2 = h0[i + 2 * tw], a3 = h0[i + 3 * tw];
                v[i] = wy[0] * a0 + wy[1] * a1 + wy[2] * a2 + wy[3] * a3;
                gy[i] = dy[0] * a0 + dy[1] * a1 + dy[2] * a2 + dy[3] * a3;
                gx[i] = wy[0] * d0[i] + wy[1] * d0[i + tw] + wy[2] * d0[i + 2 * tw] + wy[3] * d0[i + 3 * tw];
            }
        }

        // Least squares for (shift step sx, sy; gain a), the offset b taken
        // out by the means:  (V - mV) + (G - mG) . s - a T0 = 0. The raw
        // sums first (one pass the compiler may vectorise), centred after;
        // the template is zero-mean already.
        double sgx = 0, sgy = 0, sv = 0, sxx = 0, sxy = 0, syy = 0, sxt = 0, syt = 0, sxv = 0, syv = 0, stv = 0,
               svv = 0;
        const double* gxs = s.gx.data();
        const double* gys = s.gy.data();
        const double* vs = s.v.data();
        const double* ts = s.zeroMeanTemplate.data();
#pragma omp simd reduction(+ : sgx, sgy, sv, sxx, sxy, syy, sxt, syt, sxv, syv, stv, svv)
        for (int k = 0; k < n; ++k) {
            const double g1 = gxs[k], g2 = gys[k], v = vs[k], t = ts[k];
            sgx += g1;
            sgy += g2;
            sv += v;
            sxx += g1 * g1;
            sxy += g1 * g2;
            syy += g2 * g2;
            sxt += g1 * t;
            syt += g2 * t;
            sxv += g1 * v;
            syv += g2 * v;
            stv += t * v;
            svv += v * v;
        }
        const double xx = sxx - sgx * sgx / n, xy = sxy - sgx * sgy / n, yy = syy - sgy * sgy / n;
        const double xt = sxt, yt = syt, tv = stv;
        const double xv = sxv - sgx * sv / n, yv = syv - sgy * sv / n, vv = svv - sv * sv / n;
        sumVT = tv;
        sumVV = vv;
        // Normal equations for unknowns (sx, sy, -a):
        //   [xx xy xt] [sx]   [-xv]
        //   [xy yy yt] [sy] = [-yv]
        //   [xt yt TT] [-a]   [-tv]
        const double m[3][3] = {{xx, xy, xt}, {xy, yy, yt}, {xt, yt, sumTT}};
        const double rhs[3] = {-xv, -yv, -tv};
        const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1])
                           - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0])
                           + m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
        const double scale = (xx + yy) * (xx + yy) * sumTT;
        if (!(std::fabs(det) > 1e-12 * scale))
            return result;   // no gradient across one of the axes: nothing to align on
        auto solve = [&](int column) {
            double c[3][3];
            for (int r = 0; r < 3; ++r)
                for (int k = 0; k < 3; ++k)
                    c[r][k] = k == column ? rhs[r] : m[r][k];
            return (c[0][0] * (c[1][1] * c[2][2] - c[1][2] * c[2][1])
                    - c[0][1] * (c[1][0] * c[2][2] - c[1][2] * c[2][0])
                    + c[0][2] * (c[1][0] * c[2][1] - c[1][1] * c[2][0])) / det;
        };
        const double stepX = solve(0);
        const double stepY = solve(1);
        if (!std::isfinite(stepX) || !std::isfinite(stepY))
            return result;
        // The step moves the sample grid: a positive gradient step means the
        // template sits further along.
        x += stepX;
        y += stepY;
        if (std::fabs(stepX) < Converged && std::fabs(stepY) < Converged) {
            result.converged = true;
            break;
        }
    }
    if (!result.converged)
        return result;
    result.left = x;
    result.top = y;
    result.score = sumVV > 0.0 ? sumVT / std::sqrt(sumVV * sumTT) : 0.0;
    return result;
}

} // namespace tracking
