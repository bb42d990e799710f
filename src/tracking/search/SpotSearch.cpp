// Light and dark spot centring: an intensity range, a seed pixel in range
// near the point, and the centre of gravity of the seed's region.

#include "tracking/search/TargetSearch.h"

#include "common/Rounding.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace tracking {

IntensityRange SpotRange(const Frame& frame, const SearchParameters& params, const PixelRect& rect)
{
    IntensityRange range;
    if (params.FixedRange == 1) {
        range.low = params.RangeMin;
        range.high = params.RangeMax;
        return range;
    }
    // Only the part of the rectangle inside the frame is read; the rest
    // counts as luminance 0, as every pixel outside the frame does.
    const long long left = std::max<long long>(rect.left, 0);
    const long long top = std::max<long long>(rect.top, 0);
    const long long right = std::min<long long>((long long)rect.left + rect.width, frame.width());
    const long long bottom = std::min<long long>((long long)rect.top + rect.height, frame.height());
    const bool empty = rect.isEmpty();
    const bool overhangs = !empty && (left != rect.left || top != rect.top
                                      || right != (long long)rect.left + rect.width
                                      || bottom != (long long)rect.top + rect.height);
    if (params.Method == MethodLightSpot) {
        double e = 0.0;
        for (long long y = top; y < bottom; ++y)
            for (long long x = left; x < right; ++x)
                e = std::max(e, Luminance(frame, int(x), int(y)));
        range.low = int(Round(e * params.ThresholdPercent / 100.0));
        range.high = 255;
    } else {
        double e = overhangs ? 0.0 : 255.0;
        for (long long y = top; y < bottom; ++y)
            for (long long x = left; x < right; ++x)
                e = std::min(e, Luminance(frame, int(x), int(y)));
        range.low = 0;
        range.high = int(Round(255.0 - (255.0 - e) * params.ThresholdPercent / 100.0));
    }
    return range;
}

bool SpiralSeed(const Frame& frame, int x0, int y0, int low, int high,
                const PixelRect& bound, int& seedX, int& seedY)
{
    // Only pixels of the bound that lie in the frame are tested.
    const int left = std::max(bound.left, 0);
    const int top = std::max(bound.top, 0);
    const int right = std::min(bound.left + bound.width, frame.width());    // exclusive
    const int bottom = std::min(bound.top + bound.height, frame.height());  // exclusive
    if (left >= right || top >= bottom)
        return false;
    auto inRange = [&](int x, int y) {
        const double l = Luminance(frame, x, y);
        return l >= low && l <= high;
    };

    // Once the legs are longer than the bound's reach from the start in any
    // direction, the spiral has passed over all of it.
    const long long reach = std::max({std::llabs(x0 - (long long)left), std::llabs((long long)right - 1 - x0),
                                      std::llabs(y0 - (long long)top), std::llabs((long long)bottom - 1 - y0)});
    const long long lastLeg = 2 * reach + 2;
    static const int dx[4] = {0, -1, 0, 1};   // up, left, down, right
    static const int dy[4] = {-1, 0, 1, 0};
    long long x = x0, y = y0;
    for (long long leg = 0;; ++leg) {
        const long long length = leg / 2 + 1;
        if (length > lastLeg)
            return false;
        const int d = int(leg % 4);
        for (long long step = 0; step < length; ++step) {
            if (x >= left && x < right && y >= top && y < bottom && inRange(int(x), int(y))) {
                seedX = int(x);
                seedY = int(y);
                return true;
            }
            x += dx[d];
            y += dy[d];
        }
    }
}

CentreResult RegionCentre(const Frame& frame, const PixelRect& rect, bool weighted, bool darkSpot,
                          int low, int high, double seedX, double seedY)
{
    CentreResult result{false, seedX, seedY};
    if (!(rect.left < seedX && seedX < rect.left + rect.width
          && rect.top < seedY && seedY < rect.top + rect.height))
        return result;
    if (rect.left < 0 || rect.top < 0 || rect.isEmpty()
        || rect.left + rect.width > frame.width() || rect.top + rect.height > frame.height())
        return result;
    // The seed rounds to a pixel of the rectangle, never beyond it.
    const long long sx = Round(seedX) - rect.left;
    const long long sy = Round(seedY) - rect.top;
    if (sx < 0 || sy < 0 || sx >= rect.width || sy >= rect.height)
        return result;

    const int w = rect.width;
    const int h = rect.height;
    thread_local std::vector<double> lum;
    thread_local std::vector<int32_t> labels;
    lum.resize(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            lum[size_t(y) * w + x] = Luminance(frame, rect.left + x, rect.top + y);
    LabelRegions(lum.data(), w, h, low, high, labels);
    const int32_t k = labels[size_t(sy) * w + size_t(sx)];
    if (k == 0)
        return result;

    double cx = 0.0, cy = 0.0;
    bool done = false;
    if (weighted) {
        // A dark spot is weighted with darkness, a light one with brightness.
        const bool dark = darkSpot;
        double sumW = 0.0, sumX = 0.0, sumY = 0.0;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (labels[size_t(y) * w + x] != k)
                    continue;
                const double l = lum[size_t(y) * w + x];
                const double weight = dark ? 255.0 - l : l;
                sumW += weight;
                sumX += weight * (rect.left + x);
                sumY += weight * (rect.top + y);
            }
        }
        // A region whose every weight is 0 has no weighted centre; it falls
        // back to the normal one below.
        if (sumW > 0.0) {
            cx = sumX / sumW;
            cy = sumY / sumW;
            done = true;
        }
    }
    if (!done) {
        // Each row counts from its leftmost to its rightmost region pixel,
        // gaps included.
        double sumX = 0.0, sumY = 0.0, n = 0.0;
        for (int y = 0; y < h; ++y) {
            int xmin = -1, xmax = -1;
            for (int x = 0; x < w; ++x) {
                if (labels[size_t(y) * w + x] == k) {
                    if (xmin < 0)
                        xmin = x;
                    xmax = x;
                }
            }
            if (xmin < 0)
                continue;
            const double count = xmax - xmin + 1;
            sumX += count * (rect.left + (xmin + xmax) / 2.0);
            sumY += count * (rect.top + y);
            n += count;
        }
        cx = sumX / n;
        cy = sumY / n;
    }
    result.found = true;
    result.x = cx + 0.5;
    result.y = cy + 0.5;
    return result;
}

namespace {

// Luminance of the pixels around a spot, read once, with the frame edge
// repeated beyond the frame, and the local background under the spot: a
// plane through the pixels around it, so that a background that brightens
// across the spot does not shift its centre.
struct SpotPatch {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<double> lum;
    double refX = 0.0, refY = 0.0;            // where the plane's offset is taken
    double plane0 = 0.0, planeX = 0.0, planeY = 0.0;
    double at(int x, int y) const { return lum[size_t(y - top) * width + size_t(x - left)]; }
    double background(int x, int y) const { return plane0 + planeX * (x + 0.5 - refX) + planeY * (y + 0.5 - refY); }
    // How far pixel (x, y) stands out toward the spot's side: brightness
    // above the background for a light spot (light adds), the share of the
    // background's light taken away for a dark one (a dark mark dims what
    // lies under it), both in grey levels at the reference point.
    double excess(int x, int y, bool dark) const
    {
        const double b = background(x, y);
        if (!dark)
            return at(x, y) - b;
        return b > 1.0 ? (b - at(x, y)) * plane0 / b : b - at(x, y);
    }
};

// Length of [a, a + 1) inside [lo, hi].
double Overlap(double a, double lo, double hi)
{
    return std::clamp(std::min(a + 1.0, hi) - std::max(a, lo), 0.0, 1.0);
}

// The spot centre without pixel bias: the centroid of the spot's weights
// inside a window symmetric about the current estimate (edge pixels count
// by the part of them inside), the window moved onto the centroid until it
// settles. A pixel's excess is its luminance beyond the background plane
// toward the spot's side (brightness for a light spot, darkness for a dark
// one); only the excess beyond `level` counts, so the background's own
// texture does not pull the centre. Weighted: the square of that, smooth at
// the level so the spot's rim adds no pixel bias; not weighted: the share
// of the way to full weight at `ramp` beyond the level, so pixels well
// inside the spot count the same.
bool RefineSpot(const SpotPatch& patch, double level, double ramp, bool dark, bool weighted,
                double halfW, double halfH, double& x, double& y)
{
    for (int iteration = 0; iteration < 30; ++iteration) {
        const double x0 = x - halfW, x1 = x + halfW, y0 = y - halfH, y1 = y + halfH;
        const int i0 = std::max(patch.left, int(std::floor(x0)));
        const int i1 = std::min(patch.left + patch.width - 1, int(std::floor(x1)));
        const int j0 = std::max(patch.top, int(std::floor(y0)));
        const int j1 = std::min(patch.top + patch.height - 1, int(std::floor(y1)));
        double sumW = 0.0, sumX = 0.0, sumY = 0.0;
        for (int j = j0; j <= j1; ++j) {
            const double cy = Overlap(j, y0, y1);
            for (int i = i0; i <= i1; ++i) {
                const double d = patch.excess(i, j, dark) - level;
                if (d <= 0.0)
                    continue;
                double w;
                if (weighted) {
                    w = d * d;
                } else {
                    const double t = std::min(1.0, d / ramp);
                    w = t * t * (3.0 - 2.0 * t);
                }
                w *= cy * Overlap(i, x0, x1);
                sumW += w;
                sumX += w * (i + 0.5);
                sumY += w * (j + 0.5);
            }
        }
        if (!(sumW > 0.0))
            return false;
        const double nx = sumX / sumW, ny = sumY / sumW;
        const double step = std::max(std::fabs(nx - x), std::fabs(ny - y));
        x = nx;
        y = ny;
        if (step < 1e-4)
            return true;
    }
    return true;
}

// One refinement pass from (x, y): the background plane fitted to a ring
// just outside the template-sized window around (x, y), then RefineSpot.
bool RefineSpotPass(const Frame& frame, int tw, int th, const IntensityRange& range, bool dark, bool weighted,
                    double& x, double& y)
{
    const double halfW = tw / 2.0, halfH = th / 2.0;
    thread_local SpotPatch patch;   // reused: no allocation once grown
    const int reach = 2;
    patch.left = int(std::floor(x - halfW - reach));
    patch.top = int(std::floor(y - halfH - reach));
    patch.width = int(std::floor(x + halfW + reach)) - patch.left + 1;
    patch.height = int(std::floor(y + halfH + reach)) - patch.top + 1;
    patch.refX = x;
    patch.refY = y;
    patch.lum.resize(size_t(patch.width) * patch.height);
    // Least squares of the ring: sums for l = p0 + px u + py v.
    double n = 0, su = 0, sv = 0, suu = 0, suv = 0, svv = 0, sl = 0, sul = 0, svl = 0;
    for (int j = 0; j < patch.height; ++j) {
        const int yy = std::clamp(patch.top + j, 0, frame.height() - 1);
        const double v = patch.top + j + 0.5 - patch.refY;
        for (int i = 0; i < patch.width; ++i) {
            const int xx = std::clamp(patch.left + i, 0, frame.width() - 1);
            const uint8_t* p = frame.pixel(xx, yy);
            const double l = 0.299 * p[2] + 0.587 * p[1] + 0.114 * p[0];
            patch.lum[size_t(j) * patch.width + i] = l;
            // The ring between the window and the window grown by `reach`,
            // each pixel by the part of it in the ring: symmetric about
            // (x, y) wherever that falls in its pixel.
            const int px = patch.left + i, py = patch.top + j;
            const double ring = Overlap(px, x - halfW - reach, x + halfW + reach)
                                    * Overlap(py, y - halfH - reach, y + halfH + reach)
                                - Overlap(px, x - halfW, x + halfW) * Overlap(py, y - halfH, y + halfH);
            if (ring > 0.0) {
                const double u = px + 0.5 - patch.refX;
                n += ring;
                su += ring * u;
                sv += ring * v;
                suu += ring * u * u;
                suv += ring * u * v;
                svv += ring * v * v;
                sl += ring * l;
                sul += ring * u * l;
                svl += ring * v * l;
            }
        }
    }
    {
        const double m[3][3] = {{n, su, sv}, {su, suu, suv}, {sv, suv, svv}};
        const double r[3] = {sl, sul, svl};
        auto det3 = [](const double a[3][3]) {
            return a[0][0] * (a[1][1] * a[2][2] - a[1][2] * a[2][1]) - a[0][1] * (a[1][0] * a[2][2] - a[1][2] * a[2][0])
                   + a[0][2] * (a[1][0] * a[2][1] - a[1][1] * a[2][0]);
        };
        const double d = det3(m);
        double out[3] = {sl / std::max(1.0, n), 0.0, 0.0};
        if (std::fabs(d) > 1e-9) {
            for (int c = 0; c < 3; ++c) {
                double a[3][3];
                for (int row = 0; row < 3; ++row)
                    for (int k = 0; k < 3; ++k)
                        a[row][k] = k == c ? r[row] : m[row][k];
                out[c] = det3(a) / d;
            }
        }
        patch.plane0 = out[0];
        patch.planeX = out[1];
        patch.planeY = out[2];
    }
    // The spot's largest excess over the plane inside the ring.
    const double sign = dark ? -1.0 : 1.0;
    double extreme = 0.0;
    for (int j = reach; j + reach < patch.height; ++j)
        for (int i = reach; i + reach < patch.width; ++i)
            extreme = std::max(extreme, patch.excess(patch.left + i, patch.top + j, dark));
    // A third of the way from the background to the spot's extreme, or the
    // user's range boundary when that lies further in.
    const double level = std::max(0.3 * extreme, sign * ((dark ? range.high : range.low) - patch.plane0));
    const double ramp = std::max(1.0, extreme - level);
    return RefineSpot(patch, level, ramp, dark, weighted, halfW, halfH, x, y);
}

} // namespace

CentreResult SpotCentre(const Frame& frame, const SearchParameters& params,
                        double posX, double posY, bool wide)
{
    CentreResult result{false, posX, posY};
    if (!IsUsableCoordinate(posX) || !IsUsableCoordinate(posY))
        return result;
    const int tw = params.TemplateWidth;
    const int th = params.TemplateHeight;
    PixelRect rect{int(Trunc(posX - tw / 2.0)), int(Trunc(posY - th / 2.0)), tw, th};
    const IntensityRange range = SpotRange(frame, params, rect);
    const bool weighted = params.WeightedCog != 0;
    const bool dark = params.Method == MethodDarkSpot;

    // The seed is looked for inside the point's search window only.
    const int x0 = int(Round(posX));
    const int y0 = int(Round(posY));
    const PixelRect bound = SearchWindow(x0, y0, params.SearchWidth, params.SearchHeight,
                                         frame.width(), frame.height());
    int sx = 0, sy = 0;
    if (!SpiralSeed(frame, x0, y0, range.low, range.high, bound, sx, sy))
        return result;

    CentreResult found = RegionCentre(frame, rect, weighted, dark, range.low, range.high, sx, sy);
    if (wide) {
        // Re-centre the rectangle on the result until it settles (at most
        // five passes); a pass that loses the region fails the search.
        for (int pass = 1; pass < 5 && found.found; ++pass) {
            rect.left = int(Trunc(found.x - rect.width / 2.0));
            rect.top = int(Trunc(found.y - rect.height / 2.0));
            const CentreResult next = RegionCentre(frame, rect, weighted, dark, range.low, range.high,
                                                   found.x, found.y);
            const bool settled = next.found && next.x == found.x && next.y == found.y;
            found = next;
            if (settled)
                break;
        }
    }
    if (!found.found)
        return result;

    // The region's centre is whole-pixel biased; refine it. Each pass
    // fits the background around the last centre, so the ring it is fitted
    // to ends up centred on the spot and the spot's own tail in it does not
    // tilt the plane.
    double x = found.x, y = found.y;
    for (int pass = 0; pass < 3; ++pass) {
        double nx = x, ny = y;
        if (!RefineSpotPass(frame, tw, th, range, dark, weighted, nx, ny)
            || std::fabs(nx - found.x) > tw / 2.0 || std::fabs(ny - found.y) > th / 2.0)
            break;
        const double step = std::max(std::fabs(nx - x), std::fabs(ny - y));
        x = nx;
        y = ny;
        if (step < 1e-3)
            break;
    }
    result.found = true;
    result.x = x;
    result.y = y;
    return result;
}

} // namespace tracking
