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
// repeated beyond the frame.
struct SpotPatch {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<double> lum;
    double at(int x, int y) const { return lum[size_t(y - top) * width + size_t(x - left)]; }
};

// Length of [a, a + 1) inside [lo, hi].
double Overlap(double a, double lo, double hi)
{
    return std::clamp(std::min(a + 1.0, hi) - std::max(a, lo), 0.0, 1.0);
}

// The spot centre without pixel bias: the centroid of the spot's weights
// inside a window symmetric about the current estimate (edge pixels count
// by the part of them inside), the window moved onto the centroid until it
// settles. Weights are the luminance beyond `level` toward the spot's side
// (brightness for a light spot, darkness for a dark one); with `weighted`
// false every pixel well inside the spot counts the same and only the
// pixels at its rim count in part. `level` lies between the local
// background and the spot's extreme, so the background's own texture does
// not pull the centre.
bool RefineSpot(const SpotPatch& patch, double level, double ramp, bool dark, bool weighted,
                double halfW, double halfH, double& x, double& y)
{
    const double sign = dark ? -1.0 : 1.0;
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
                const double d = sign * (patch.at(i, j) - level);
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

    // The region's centre is whole-pixel biased; refine it. The patch
    // covers the template around the region's centre and a ring beyond,
    // whose mean is the local background.
    const double halfW = tw / 2.0, halfH = th / 2.0;
    thread_local SpotPatch patch;   // reused: no allocation once grown
    const int reach = 2;
    patch.left = int(std::floor(found.x - halfW)) - reach;
    patch.top = int(std::floor(found.y - halfH)) - reach;
    patch.width = tw + 2 * reach + 2;
    patch.height = th + 2 * reach + 2;
    patch.lum.resize(size_t(patch.width) * patch.height);
    double ringSum = 0.0, extreme = dark ? 255.0 : 0.0;
    int ringCount = 0;
    for (int j = 0; j < patch.height; ++j) {
        const int yy = std::clamp(patch.top + j, 0, frame.height() - 1);
        for (int i = 0; i < patch.width; ++i) {
            const int xx = std::clamp(patch.left + i, 0, frame.width() - 1);
            const uint8_t* p = frame.pixel(xx, yy);
            const double l = 0.299 * p[2] + 0.587 * p[1] + 0.114 * p[0];
            patch.lum[size_t(j) * patch.width + i] = l;
            if (i < reach || j < reach || i >= patch.width - reach || j >= patch.height - reach) {
                ringSum += l;
                ++ringCount;
            } else {
                extreme = dark ? std::min(extreme, l) : std::max(extreme, l);
            }
        }
    }
    const double background = ringSum / std::max(1, ringCount);
    // Half way from the background to the spot's extreme, or the user's
    // range boundary when that lies further in.
    double level = background + 0.3 * (extreme - background);
    level = dark ? std::min(level, double(range.high)) : std::max(level, double(range.low));
    const double ramp = std::max(1.0, std::fabs(extreme - level));
    double x = found.x, y = found.y;
    const bool refined = RefineSpot(patch, level, ramp, dark, weighted, halfW, halfH, x, y);
    if (refined && std::fabs(x - found.x) <= halfW && std::fabs(y - found.y) <= halfH) {
        found.x = x;
        found.y = y;
    }
    result.found = true;
    result.x = found.x;
    result.y = found.y;
    return result;
}

} // namespace tracking
