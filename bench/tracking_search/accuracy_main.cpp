// Accuracy of the tracking loop (correlation, centring, template update) on
// synthetic recordings with known sub-pixel paths: per method and target,
// the RMS error against the true centre (correlation alone: against the
// true motion from the placed position) at noise sigma 0, 2 and 4, the
// pixel-locking figure (peak to peak of the mean error over tenths of the
// true position's fractional part, no noise), the drift of a still target
// and the speed measured on a uniform motion. With OpenCV, its
// matchTemplate (TM_CCOEFF_NORMED) with a parabola through the peak runs
// the same sequences for comparison.
//
// Usage: bench_tracking_search_accuracy [frames]   (default 200)

#include "SyntheticSequences.h"

#ifdef QOR_BENCH_WITH_OPENCV
#include "OpenCVGrey.h"
#endif

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

using namespace tracking;
using namespace synthetic;

namespace {

#ifdef QOR_BENCH_WITH_OPENCV
double Parabola(double a, double b, double c)
{
    const double d = a - 2.0 * b + c;
    return d < 0.0 ? std::clamp(0.5 * (a - c) / d, -0.5, 0.5) : 0.0;
}

// matchTemplate over the same search window, the peak refined by a
// parabola per axis; the template cut at the whole pixel nearest the
// position (OpenCV has no sub-pixel crop) and refreshed every frame or kept.
Tracker OpenCVTracker(const SearchParameters& params, bool updateTemplate)
{
    struct State { cv::Mat templ; double fracX = 0, fracY = 0; };
    auto state = std::make_shared<State>();
    const int size = params.TemplateWidth;
    auto cut = [=](const Frame& frame, Point2 p) {
        const cv::Mat grey = GreyOf(frame);
        const int left = int(std::floor(p.x)) - size / 2, top = int(std::floor(p.y)) - size / 2;
        state->templ = grey(cv::Rect(left, top, size, size)).clone();
        state->fracX = p.x - std::floor(p.x);
        state->fracY = p.y - std::floor(p.y);
    };
    Tracker t;
    t.reset = cut;
    t.step = [=](const Frame& frame, Point2& position) {
        const cv::Mat grey = GreyOf(frame);
        const int margin = params.SearchWidth - size;
        const int left = int(std::lround(position.x - size / 2 - state->fracX)) - margin / 2;
        const int top = int(std::lround(position.y - size / 2 - state->fracY)) - margin / 2;
        const cv::Rect window = cv::Rect(left, top, size + margin, size + margin) & cv::Rect(0, 0, grey.cols, grey.rows);
        if (window.width < size || window.height < size)
            return false;
        cv::Mat map;
        cv::matchTemplate(grey(window), state->templ, map, cv::TM_CCOEFF_NORMED);
        double best = 0;
        cv::Point at;
        cv::minMaxLoc(map, nullptr, &best, nullptr, &at);
        if (best < params.Threshold)
            return false;
        double dx = 0, dy = 0;
        if (at.x > 0 && at.x + 1 < map.cols)
            dx = Parabola(map.at<float>(at.y, at.x - 1), map.at<float>(at.y, at.x), map.at<float>(at.y, at.x + 1));
        if (at.y > 0 && at.y + 1 < map.rows)
            dy = Parabola(map.at<float>(at.y - 1, at.x), map.at<float>(at.y, at.x), map.at<float>(at.y + 1, at.x));
        position = {window.x + at.x + dx + size / 2 + state->fracX, window.y + at.y + dy + size / 2 + state->fracY};
        if (updateTemplate)
            cut(frame, position);
        return true;
    };
    return t;
}
#endif

struct Row {
    std::string name;
    Target target;
    SearchParameters params;
    std::function<Tracker()> tracker;
};

void PrintRow(const Row& row, int frames)
{
    std::printf("%-44s %-15s", row.name.c_str(), TargetName(row.target));
    Accuracy clean;
    int lost = 0;
    for (double noise : {0.0, 2.0, 4.0}) {
        const Sequence s = MakeSequence(row.target, LoopPath(48.0, 48.0, 10.0, 150.0), frames, noise);
        const Accuracy a = Measure(s, row.params, row.tracker(), {0.4, -0.3});
        if (noise == 0.0)
            clean = a;
        lost += a.lost;
        std::printf(" %7.3f", a.rms);
    }
    std::printf("   %7.3f   %4d\n", clean.lockPeakToPeak, lost);
}

} // namespace

int main(int argc, char** argv)
{
    const int frames = argc > 1 ? std::max(20, std::atoi(argv[1])) : 200;
    std::printf("Tracking accuracy, %d frames of 96x96 on a loop of radius 10 px (up to 0.7 px/frame), placed 0.5 px off\n\n",
                frames);
    std::printf("%-44s %-15s %7s %7s %7s   %7s   %4s\n", "method", "target", "RMS n0", "n2", "n4", "lock pp", "lost");

    std::vector<Row> rows;
    auto ours = [](const SearchParameters& p, bool update) { return [=] { return SearchTracker(p, update); }; };
    rows.push_back({"quadrant 15 px", Target::Quadrant, MethodParams(MethodQuadrant, 15), ours(MethodParams(MethodQuadrant, 15), true)});
    for (bool weighted : {false, true}) {
        const SearchParameters light = MethodParams(MethodLightSpot, 15, weighted);
        const SearchParameters dark = MethodParams(MethodDarkSpot, 15, weighted);
        rows.push_back({std::string("light spot 15 px, ") + (weighted ? "weighted" : "normal"), Target::LightSpot, light, ours(light, true)});
        rows.push_back({std::string("dark spot 15 px, ") + (weighted ? "weighted" : "normal"), Target::DarkSpot, dark, ours(dark, true)});
    }
    for (int size : {9, 15}) {
        const SearchParameters p = MethodParams(MethodCorrelation, size);
        rows.push_back({"correlation " + std::to_string(size) + " px, template updated", Target::TexturedPatch, p, ours(p, true)});
        rows.push_back({"correlation " + std::to_string(size) + " px, first template", Target::TexturedPatch, p, ours(p, false)});
#ifdef QOR_BENCH_WITH_OPENCV
        rows.push_back({"OpenCV " + std::to_string(size) + " px + parabola, updated", Target::TexturedPatch, p,
                        [=] { return OpenCVTracker(p, true); }});
        rows.push_back({"OpenCV " + std::to_string(size) + " px + parabola, first", Target::TexturedPatch, p,
                        [=] { return OpenCVTracker(p, false); }});
#endif
    }
    for (const Row& row : rows)
        PrintRow(row, frames);

    // Drift of a still target and speed of a uniform motion, correlation
    // with a 9 px template at Threshold 0.8, updated every frame, noise 2.
    std::printf("\nCorrelation 9 px, template updated, noise sigma 2:\n");
    const SearchParameters p9 = MethodParams(MethodCorrelation, 9);
    const Sequence still = MakeSequence(Target::TexturedPatch, StraightPath(48.3, 47.8, 0.0), 101, 2.0);
    std::printf("  still target, drift over 100 frames:    %.4f px\n", Measure(still, p9, SearchTracker(p9, true)).drift);
    const Sequence moving = MakeSequence(Target::TexturedPatch, StraightPath(20.2, 25.7, 0.75), 80, 2.0);
    std::printf("  0.75 px/frame measured as:              %.4f px/frame\n", Measure(moving, p9, SearchTracker(p9, true)).meanSpeed);
#ifdef QOR_BENCH_WITH_OPENCV
    std::printf("  OpenCV, updated: drift %.4f px, speed %.4f px/frame\n", Measure(still, p9, OpenCVTracker(p9, true)).drift,
                Measure(moving, p9, OpenCVTracker(p9, true)).meanSpeed);
#endif
    std::printf("\nCorrelation 15 px, template updated, noise sigma 2, by speed (RMS px):\n");
    const SearchParameters p15 = MethodParams(MethodCorrelation, 15);
    for (double speed : {0.1, 0.5, 1.0, 2.0, 3.0}) {
        const Sequence s = MakeSequence(Target::TexturedPatch, StraightPath(18.0, 25.0, speed), std::min(frames, int(55 / speed)), 2.0);
        const Accuracy a = Measure(s, p15, SearchTracker(p15, true));
        std::printf("  %.1f px/frame: %.4f (lost %d)\n", speed, a.rms, a.lost);
    }
    std::printf("\nRMS in pixels at noise sigma 0, 2 and 4 grey levels; lock pp = peak to peak of the mean error by\n"
                "tenth of the true fractional position (no noise); lost = frames reported lost.\n");
    return 0;
}
