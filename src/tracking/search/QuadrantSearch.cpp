// Quadrant centring: a target of four alternating light and dark quadrants
// is crossed by a circle around the point four times; the two falling and
// the two rising crossings lie on the target's two dividing lines, whose
// intersection is the centre.

#include "tracking/search/TargetSearch.h"

#include "common/Rounding.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace tracking {

namespace {

constexpr int ProfileSamples = 270;   // angles -90 ... 448 degrees in steps of 2
constexpr int FirstFullTurn = 45;     // sample at 0 degrees
constexpr int LastFullTurn = 224;     // sample at 358 degrees
constexpr int LookAhead = 20;         // a crossing must hold 40 degrees on ...
constexpr int LookBack = 21;          // ... and 42 degrees before it
constexpr double DegToRad = 3.14159265358979323846 / 180.0;

struct SinCosTable {
    std::array<double, ProfileSamples> sine;
    std::array<double, ProfileSamples> cosine;
    SinCosTable()
    {
        for (int k = 0; k < ProfileSamples; ++k) {
            const double theta = (2.0 * k - 90.0) * DegToRad;
            sine[k] = std::sin(theta);
            cosine[k] = std::cos(theta);
        }
    }
};

const SinCosTable& Angles()
{
    static const SinCosTable table;
    return table;
}

} // namespace

CentreResult LineIntersection(PointD f1, PointD f2, PointD r1, PointD r2)
{
    CentreResult result;
    double x = 0.0, y = 0.0;
    const bool risingVertical = std::fabs(r1.x - r2.x) < 1e-7;
    const bool fallingVertical = std::fabs(f1.x - f2.x) < 1e-7;
    if (risingVertical && fallingVertical)
        return result;   // parallel
    if (risingVertical) {
        x = r1.x;
        y = f1.y + (f2.y - f1.y) / (f2.x - f1.x) * (x - f1.x);
    } else if (fallingVertical) {
        x = f1.x;
        y = r1.y + (r2.y - r1.y) / (r2.x - r1.x) * (x - r1.x);
    } else {
        const double mR = (r1.y - r2.y) / (r1.x - r2.x);
        const double mF = (f1.y - f2.y) / (f1.x - f2.x);
        if (mR == mF)
            return result;
        const double bR = r1.y - r1.x * mR;
        x = ((f1.y - f1.x * mF) - bR) / (mR - mF);
        y = bR + mR * x;
    }
    if (!IsUsableCoordinate(x) || !IsUsableCoordinate(y))
        return result;
    result.found = true;
    result.x = x;
    result.y = y;
    return result;
}

CentreResult CircleCentre(const Frame& frame, double x, double y, double r)
{
    CentreResult result{false, x, y};
    const double c = std::ceil(r);
    // Every bilinear sample, including its right and lower neighbours, must
    // lie inside the frame.
    if (!(r > 0.0 && x - 0.5 - c >= 0.0 && y - 0.5 - c >= 0.0
          && x - 0.5 + c <= frame.width() - 1 && y - 0.5 + c <= frame.height() - 1))
        return result;

    const SinCosTable& angles = Angles();
    std::array<double, ProfileSamples> profile;
    for (int k = 0; k < ProfileSamples; ++k) {
        const double fx = x + r * angles.sine[k] - 0.5;
        const double fy = y + r * angles.cosine[k] - 0.5;
        const int i = int(Trunc(fx));
        const int j = int(Trunc(fy));
        const double a = fx - i;
        const double b = fy - j;
        profile[k] = (1.0 - b) * ((1.0 - a) * Luminance(frame, i, j) + a * Luminance(frame, i + 1, j))
                     + b * ((1.0 - a) * Luminance(frame, i, j + 1) + a * Luminance(frame, i + 1, j + 1));
    }

    double mean = 0.0;
    for (int k = FirstFullTurn; k <= LastFullTurn; ++k)
        mean += profile[k];
    mean /= (LastFullTurn - FirstFullTurn + 1);

    PointD rising[2], falling[2];
    int risingCount = 0, fallingCount = 0;
    for (int k = FirstFullTurn; k <= LastFullTurn; ++k) {
        const double now = profile[k];
        const double before = profile[k - 1];
        const bool isRising = now > before && now >= mean && before < mean
                              && profile[k + LookAhead] > mean && profile[k - LookBack] <= mean;
        const bool isFalling = now <= before && now < mean && before >= mean
                               && profile[k + LookAhead] <= mean && profile[k - LookBack] > mean;
        if (!isRising && !isFalling)
            continue;
        const double phi = (2.0 * (k - 1) - 90.0 + 2.0 * (mean - before) / (now - before)) * DegToRad;
        const PointD p{x + r * std::sin(phi), y + r * std::cos(phi)};
        if (isRising) {
            if (risingCount < 2)
                rising[risingCount] = p;
            ++risingCount;
        } else {
            if (fallingCount < 2)
                falling[fallingCount] = p;
            ++fallingCount;
        }
    }
    if (risingCount != 2 || fallingCount != 2)
        return result;
    const CentreResult centre = LineIntersection(falling[0], falling[1], rising[0], rising[1]);
    if (!centre.found)
        return result;
    return centre;
}

CentreResult RingSearch(const Frame& frame, double x, double y, double r)
{
    static const int stepDegrees[3] = {45, 36, 24};
    for (int ring = 0; ring < 3; ++ring) {
        const double radius = ring * r;
        for (int d = 0; d < 360; d += stepDegrees[ring]) {
            const double cx = x + radius * std::cos(d * DegToRad);
            const double cy = y + radius * std::sin(d * DegToRad);
            const CentreResult first = CircleCentre(frame, cx, cy, r);
            if (first.found) {
                const CentreResult second = CircleCentre(frame, first.x, first.y, r);
                if (second.found)
                    return second;
            }
            // The innermost ring has radius 0: all its candidates are the
            // start point, so one try answers for all of them.
            if (ring == 0)
                break;
        }
    }
    return {false, x, y};
}

namespace {

// A line x = slope * y + offset fitted to points (y, x), with the RMS of
// its residuals.
struct LineFit {
    bool ok = false;
    double slope = 0.0;
    double offset = 0.0;
    double rms = 0.0;
};

LineFit FitLine(const double* along, const double* across, int count)
{
    LineFit fit;
    if (count < 3)
        return fit;
    double sa = 0, sc = 0, saa = 0, sac = 0;
    for (int k = 0; k < count; ++k) {
        sa += along[k];
        sc += across[k];
        saa += along[k] * along[k];
        sac += along[k] * across[k];
    }
    const double d = count * saa - sa * sa;
    if (!(d > 1e-9))
        return fit;
    fit.slope = (count * sac - sa * sc) / d;
    fit.offset = (sc - fit.slope * sa) / count;
    double sq = 0.0;
    for (int k = 0; k < count; ++k) {
        const double e = across[k] - (fit.slope * along[k] + fit.offset);
        sq += e * e;
    }
    fit.rms = std::sqrt(sq / count);
    fit.ok = true;
    return fit;
}

constexpr int MaxEdgeReach = 64;

// Position of the step in a profile of n pixel values, the first pixel
// starting at `first`, stepping from level a to level b: the area under the
// profile normalised to the levels is the length beyond the step, exactly,
// whatever the blur and wherever the step falls in its pixel.
template <typename Value>
double StepPosition(int n, double first, double a, double b, Value value)
{
    double sum = 0.0;
    for (int k = 0; k < n; ++k)
        sum += (value(k) - a) / (b - a);
    return first + n - sum;
}

// The quadrant centre from sub-pixel edge positions: along each row above
// and below the centre the vertical dividing line is one step from one
// quadrant's level to the other's (StepPosition); the same along columns
// for the other line, and the centre is where the two fitted lines cross.
// Rows and columns within 1.5 pixels of the centre, whose profiles cross
// both lines, are left out. The profiles on one side of the centre share
// their two end levels (the same two quadrants), so each level is the mean
// of the two end pixels of all of them: far less noisy than one profile's.
bool EdgeLineCentre(const Frame& frame, double reach, double& x, double& y)
{
    const int i0 = int(std::floor(x - reach)), i1 = int(std::floor(x + reach));
    const int j0 = int(std::floor(y - reach)), j1 = int(std::floor(y + reach));
    if (i0 < 0 || j0 < 0 || i1 >= frame.width() || j1 >= frame.height() || i1 - i0 < 5 || j1 - j0 < 5
        || i1 - i0 > 2 * MaxEdgeReach || j1 - j0 > 2 * MaxEdgeReach)
        return false;
    const int w = i1 - i0 + 1, h = j1 - j0 + 1;
    thread_local std::vector<double> lum;
    lum.resize(size_t(w) * h);
    double lo = 255.0, hi = 0.0;
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            const double l = Luminance(frame, i0 + i, j0 + j);
            lum[size_t(j) * w + i] = l;
            lo = std::min(lo, l);
            hi = std::max(hi, l);
        }
    const double minStep = 0.4 * (hi - lo);
    if (!(minStep > 0.0))
        return false;

    // The fitted line of the steps of profiles 0 ... lines - 1, each of n
    // values read by value(profile, k) and first pixel at `first`; profile
    // p lies at lineStart + p + 0.5 across, and those near `mid` are left out.
    double along[2 * MaxEdgeReach + 2], across[2 * MaxEdgeReach + 2];
    auto fitSteps = [&](int lines, int n, int lineStart, double mid, double first, auto value) {
        int count = 0;
        for (int side = 0; side < 2; ++side) {
            auto onSide = [&](int p) {
                const double c = lineStart + p + 0.5;
                return side == 0 ? c <= mid - 1.5 : c >= mid + 1.5;
            };
            double a = 0.0, b = 0.0;
            int profiles = 0;
            for (int p = 0; p < lines; ++p) {
                if (!onSide(p))
                    continue;
                a += value(p, 0) + value(p, 1);
                b += value(p, n - 2) + value(p, n - 1);
                ++profiles;
            }
            if (profiles == 0)
                continue;
            a /= 2.0 * profiles;
            b /= 2.0 * profiles;
            if (std::fabs(b - a) < minStep)
                return LineFit{};
            for (int p = 0; p < lines; ++p) {
                if (!onSide(p))
                    continue;
                // Only the pixels near the step carry its position; the
                // rest add noise. The whole profile places the step, then
                // seven pixels around it measure it.
                const double rough = StepPosition(n, first, a, b, [&](int k) { return value(p, k); });
                const int k0 = std::clamp(int(std::floor(rough - first)) - 3, 0, std::max(0, n - 7));
                const int span = std::min(7, n);
                along[count] = lineStart + p + 0.5;
                across[count++] = StepPosition(span, first + k0, a, b, [&](int k) { return value(p, k0 + k); });
            }
        }
        return FitLine(along, across, count);
    };
    const LineFit vertical = fitSteps(h, w, j0, y, i0, [&](int row, int k) { return lum[size_t(row) * w + k]; });
    const LineFit horizontal = fitSteps(w, h, i0, x, j0, [&](int column, int k) { return lum[size_t(k) * w + column]; });
    if (!vertical.ok || !horizontal.ok || vertical.rms > 0.4 || horizontal.rms > 0.4)
        return false;
    // x = mv * y + qv and y = mh * x + qh.
    const double d = 1.0 - vertical.slope * horizontal.slope;
    if (std::fabs(d) < 0.5)
        return false;
    x = (vertical.slope * horizontal.offset + vertical.offset) / d;
    y = horizontal.slope * x + horizontal.offset;
    return IsUsableCoordinate(x) && IsUsableCoordinate(y);
}

} // namespace

CentreResult QuadrantCentre(const Frame& frame, const SearchParameters& params,
                            double posX, double posY, bool wide)
{
    CentreResult result{false, posX, posY};
    if (!IsUsableCoordinate(posX) || !IsUsableCoordinate(posY))
        return result;
    const double r = params.TemplateWidth / 2.0 * params.CentreDiameter / 100.0;
    CentreResult centre = wide ? RingSearch(frame, posX, posY, 1.2 * r)
                               : CircleCentre(frame, posX, posY, r);
    if (centre.found) {
        // The circle's crossings come from interpolated samples, a few
        // hundredths of a pixel off depending on where the edges fall in
        // their pixels; the edge lines refine them (two passes, the second
        // centred on the first's result) unless the target does not look
        // like straight dividing lines near the centre.
        const double reach = std::clamp(std::min(params.TemplateWidth, params.TemplateHeight) / 2.0, 3.0,
                                        double(MaxEdgeReach));
        double x = centre.x, y = centre.y;
        bool refined = true;
        for (int pass = 0; pass < 2 && refined; ++pass)
            refined = EdgeLineCentre(frame, reach, x, y);
        if (refined && std::hypot(x - centre.x, y - centre.y) <= 1.0) {
            centre.x = x;
            centre.y = y;
        }
    }
    if (centre.found && std::hypot(centre.x - posX, centre.y - posY) <= params.MaxCentreMove) {
        result.found = true;
        result.x = centre.x;
        result.y = centre.y;
    }
    return result;
}

} // namespace tracking
