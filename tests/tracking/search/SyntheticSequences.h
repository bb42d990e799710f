#pragma once
// Synthetic recordings with targets on known sub-pixel paths, the tracking
// loop of a run (placement, then correlation, centring and template update
// per frame) driven over them, and the accuracy figures: RMS against the
// truth, drift, measured speed, and pixel locking (how much the error
// depends on where the true centre falls inside its pixel).

#include "tracking/search/TargetSearch.h"
#include "SyntheticTargets.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

namespace synthetic {

enum class Target { Quadrant, LightSpot, DarkSpot, TexturedPatch };

inline const char* TargetName(Target t)
{
    switch (t) {
    case Target::Quadrant: return "quadrant";
    case Target::LightSpot: return "light spot";
    case Target::DarkSpot: return "dark spot";
    case Target::TexturedPatch: return "textured patch";
    }
    return "";
}

struct Point2 { double x = 0.0, y = 0.0; };
using Path = std::function<Point2(int frame)>;

// A straight path at `speed` pixels per frame along a slanted direction
// (so both fractions sweep the pixel), from (x0, y0).
inline Path StraightPath(double x0, double y0, double speed)
{
    return [=](int k) { return Point2{x0 + speed * k * 0.8, y0 + speed * k * 0.6}; };
}

// A closed smooth path of the given radius; its speed varies along it.
inline Path LoopPath(double x0, double y0, double radius, double period)
{
    return [=](int k) {
        return Point2{x0 + radius * std::sin(2.0 * M_PI * k / period + 0.3),
                      y0 + radius * std::sin(2.0 * M_PI * k / (0.647 * period) + 1.1)};
    };
}

// One frame with the target centred at (x, y): an anti-aliased quadrant
// target; a Gaussian spot (sigma 2.5) on a gently textured background, light
// added to it or dark dimming it; or a disc of texture moving over flat grey.
inline Frame RenderTarget(Target target, int w, int h, double x, double y, double noise, uint32_t seed)
{
    static const Texture background(101, 10, 0.25);   // slow waves
    static const Texture patch(31, 16, 1.0);
    GreyImage img(w, h);
    switch (target) {
    case Target::Quadrant:
        img = QuadrantImage(w, h, x, y, 210.0, 30.0);
        break;
    case Target::LightSpot:
        img = background.render(w, h, 0.0, 0.0);
        for (double& v : img.v)
            v = 60.0 + 0.15 * (v - 128.0);   // about 60 +- 25
        AddGaussianSpot(img, x, y, 2.5, 170.0);
        break;
    case Target::DarkSpot: {
        img = background.render(w, h, 0.0, 0.0);
        for (double& v : img.v)
            v = 190.0 + 0.15 * (v - 128.0);
        GreyImage mark(w, h, 0.0);
        AddGaussianSpot(mark, x, y, 2.5, 0.8);
        for (size_t k = 0; k < img.v.size(); ++k)
            img.v[k] *= 1.0 - mark.v[k];
        break;
    }
    case Target::TexturedPatch: {
        img = patch.render(w, h, x - w / 2.0, y - h / 2.0);
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                const double d = std::hypot(i + 0.5 - x, j + 0.5 - y);
                const double inside = std::clamp((22.0 - d) / 3.0, 0.0, 1.0);
                img.at(i, j) = 100.0 + (img.at(i, j) - 100.0) * inside;
            }
        break;
    }
    }
    if (noise > 0.0)
        img.addNoise(noise, seed);
    return img.toFrame();
}

struct Sequence {
    Target target = Target::Quadrant;
    std::vector<Frame> frames;
    std::vector<Point2> truth;
};

inline Sequence MakeSequence(Target target, const Path& path, int frames, double noise, int w = 96, int h = 96)
{
    Sequence s;
    s.target = target;
    for (int k = 0; k < frames; ++k) {
        const Point2 p = path(k);
        s.truth.push_back(p);
        s.frames.push_back(RenderTarget(target, w, h, p.x, p.y, noise, uint32_t(7919 * k + 13)));
    }
    return s;
}

// Search settings of a method at a template size, the rest at the defaults.
inline tracking::SearchParameters MethodParams(uint8_t method, int size, bool weighted = false)
{
    tracking::SearchParameters p;
    p.Method = method;
    p.setSize(size, size, 180);
    p.ThresholdPercent = 50;
    p.WeightedCog = weighted ? 1 : 0;
    return p;
}

// One step of a tracker: from the frame and the last position, the new one
// (false: lost). `reset` starts it on the first frame at a placed position.
struct Tracker {
    std::function<void(const Frame& first, Point2 placed)> reset;
    std::function<bool(const Frame& frame, Point2& position)> step;
};

// The tracking loop of a run: correlation from the last position, then the
// method's centring, and the template recaptured (with the first one kept
// for the drift correction) or kept as placed.
inline Tracker SearchTracker(const tracking::SearchParameters& params, bool updateTemplate)
{
    struct State { tracking::TargetTemplate templ; };
    auto state = std::make_shared<State>();
    Tracker t;
    t.reset = [=](const Frame& first, Point2 placed) {
        state->templ = tracking::CaptureTemplate(first, placed.x, placed.y, params.TemplateWidth, params.TemplateHeight);
    };
    t.step = [=](const Frame& frame, Point2& position) {
        const tracking::CorrelationResult c = tracking::CorrelationStep(frame, state->templ, position.x, position.y, params);
        position = {c.x, c.y};
        const tracking::CentreResult r = tracking::Search(frame, params, position.x, position.y, false);
        if (!r.found)
            return false;
        position = {r.x, r.y};
        if (updateTemplate) {
#ifdef QOR_SEARCH_WITHOUT_RECAPTURE
            state->templ = tracking::CaptureTemplate(frame, position.x, position.y, params.TemplateWidth,
                                                     params.TemplateHeight);
#else
            state->templ = tracking::RecaptureTemplate(frame, state->templ, position.x, position.y,
                                                       params.TemplateWidth, params.TemplateHeight);
#endif
        }
        return true;
    };
    return t;
}

struct Accuracy {
    double rms = 0.0;           // of the error, pixels
    double maxError = 0.0;
    double meanSpeed = 0.0;     // end-to-end distance measured / frames
    double drift = 0.0;         // mean error of the last ten frames less that of the first ten
    double lockPeakToPeak = 0.0; // of the mean x and y error over tenths of the fractional position
    int lost = 0;
};

// Drives the tracker over the sequence. Placement: the wide centring from
// the placed position (for correlation, the placed position itself, so the
// errors count against the true motion from there).
inline Accuracy Measure(const Sequence& s, const tracking::SearchParameters& params, Tracker tracker,
                        Point2 placedOffset = {0.0, 0.0})
{
    Accuracy a;
    Point2 placed{s.truth[0].x + placedOffset.x, s.truth[0].y + placedOffset.y};
    const bool centred = params.Method != tracking::MethodCorrelation;
    if (centred) {
        const tracking::CentreResult r = tracking::Search(s.frames[0], params, placed.x, placed.y, true);
        if (r.found)
            placed = {r.x, r.y};
    }
    tracker.reset(s.frames[0], placed);
    // Error against the truth, or against the true motion from the placed
    // position for correlation alone.
    const Point2 reference = centred ? Point2{0.0, 0.0}
                                     : Point2{placed.x - s.truth[0].x, placed.y - s.truth[0].y};
    constexpr int Bins = 10;
    double sumX[Bins] = {}, sumY[Bins] = {}, countX[Bins] = {}, countY[Bins] = {};
    double sumSq = 0.0;
    int n = 0;
    Point2 position = placed;
    std::vector<Point2> errors;
    for (size_t k = 1; k < s.frames.size(); ++k) {
        if (!tracker.step(s.frames[k], position)) {
            ++a.lost;
            position = {s.truth[k].x + reference.x, s.truth[k].y + reference.y};
            tracker.reset(s.frames[k], position);
            continue;
        }
        const double ex = position.x - s.truth[k].x - reference.x;
        const double ey = position.y - s.truth[k].y - reference.y;
        errors.push_back({ex, ey});
        sumSq += ex * ex + ey * ey;
        a.maxError = std::max(a.maxError, std::hypot(ex, ey));
        ++n;
        const double fx = s.truth[k].x - std::floor(s.truth[k].x);
        const double fy = s.truth[k].y - std::floor(s.truth[k].y);
        const int bx = std::min(Bins - 1, int(fx * Bins)), by = std::min(Bins - 1, int(fy * Bins));
        sumX[bx] += ex;
        countX[bx] += 1;
        sumY[by] += ey;
        countY[by] += 1;
    }
    if (n == 0)
        return a;
    a.rms = std::sqrt(sumSq / n);
    const size_t span = std::min<size_t>(10, errors.size());
    Point2 head, tail;
    for (size_t k = 0; k < span; ++k) {
        head.x += errors[k].x / span;
        head.y += errors[k].y / span;
        tail.x += errors[errors.size() - 1 - k].x / span;
        tail.y += errors[errors.size() - 1 - k].y / span;
    }
    a.drift = std::hypot(tail.x - head.x, tail.y - head.y);
    a.meanSpeed = std::hypot(position.x - placed.x, position.y - placed.y) / double(s.frames.size() - 1);
    // Pixel locking: peak to peak of the mean error by fractional position,
    // over bins that hold a few frames at least.
    auto peakToPeak = [&](const double* sum, const double* count) {
        double lo = 1e9, hi = -1e9;
        for (int b = 0; b < Bins; ++b)
            if (count[b] >= 3) {
                lo = std::min(lo, sum[b] / count[b]);
                hi = std::max(hi, sum[b] / count[b]);
            }
        return hi >= lo ? hi - lo : 0.0;
    };
    a.lockPeakToPeak = std::max(peakToPeak(sumX, countX), peakToPeak(sumY, countY));
    return a;
}

} // namespace synthetic
