// Quadrant centring: a target of four alternating light and dark quadrants
// is crossed by a circle around the point four times; the two falling and
// the two rising crossings lie on the target's two dividing lines, whose
// intersection is the centre.

#include "tracking/search/TargetSearch.h"

#include "common/Rounding.h"

#include <array>
#include <cmath>

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

CentreResult QuadrantCentre(const Frame& frame, const SearchParameters& params,
                            double posX, double posY, bool wide)
{
    CentreResult result{false, posX, posY};
    if (!IsUsableCoordinate(posX) || !IsUsableCoordinate(posY))
        return result;
    const double r = params.TemplateWidth / 2.0 * params.CentreDiameter / 100.0;
    const CentreResult centre = wide ? RingSearch(frame, posX, posY, 1.2 * r)
                                     : CircleCentre(frame, posX, posY, r);
    if (centre.found && std::hypot(centre.x - posX, centre.y - posY) <= params.MaxCentreMove) {
        result.found = true;
        result.x = centre.x;
        result.y = centre.y;
    }
    return result;
}

} // namespace tracking
