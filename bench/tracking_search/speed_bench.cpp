// Time per point per frame of each search method, at template sizes 9, 15
// and 31 with the default 180 % search area, side by side with OpenCV's
// matchTemplate (TM_CCOEFF_NORMED) on the same window and template.
//
// The correlation step starts from the 24-bit frame (luminance conversion,
// window statistics, map, maximum, sub-pixel alignment, and in the updated
// case the drift correction against the first template); OpenCV is given the
// window and template already converted to 8-bit grey and does the map and
// minMaxLoc only, which favours it slightly.

#include "tracking/search/TargetSearch.h"
#include "SyntheticTargets.h"

#include <benchmark/benchmark.h>

#ifdef QOR_BENCH_WITH_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>
#endif

using namespace tracking;

namespace {

constexpr double TargetX = 100.4;
constexpr double TargetY = 90.7;

struct Scene {
    Frame texture;
    Frame quadrant;
    Frame lightSpot;
    Scene()
    {
        texture = synthetic::Texture(21, 16, 1.0).render(200, 180, 0.0, 0.0).toFrame();
        quadrant = synthetic::QuadrantImage(200, 180, TargetX, TargetY, 210.0, 30.0).toFrame();
        synthetic::GreyImage spot(200, 180, 40.0);
        synthetic::AddGaussianSpot(spot, TargetX, TargetY, 2.5, 180.0);
        lightSpot = spot.toFrame();
    }
};

const Scene& TheScene()
{
    static const Scene scene;
    return scene;
}

SearchParameters Params(int size, uint8_t method)
{
    SearchParameters p;
    p.Method = method;
    p.setSize(size, size, 180);
    p.ThresholdPercent = 50;
    p.WeightedCog = 1;
    return p;
}

void BM_CorrelationStep(benchmark::State& state)
{
    const int size = int(state.range(0));
    const Scene& scene = TheScene();
    const TargetTemplate templ = CaptureTemplate(scene.texture, TargetX, TargetY, size, size);
    const SearchParameters p = Params(size, MethodCorrelation);
    // Searched from 1.3 pixels off, as after a frame of motion.
    for (auto _ : state) {
        const CorrelationResult r = CorrelationStep(scene.texture, templ, TargetX + 1.3, TargetY - 0.8, p);
        benchmark::DoNotOptimize(r);
    }
}

// The default run: the template recaptured every frame, so each step also
// aligns the point's first template to correct the drift.
void BM_CorrelationStepUpdated(benchmark::State& state)
{
    const int size = int(state.range(0));
    const Scene& scene = TheScene();
    const TargetTemplate first = CaptureTemplate(scene.texture, TargetX - 0.3, TargetY + 0.2, size, size);
    const TargetTemplate templ = RecaptureTemplate(scene.texture, first, TargetX, TargetY, size, size);
    const SearchParameters p = Params(size, MethodCorrelation);
    for (auto _ : state) {
        const CorrelationResult r = CorrelationStep(scene.texture, templ, TargetX + 1.3, TargetY - 0.8, p);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_CorrelationStepUpdated)->Arg(9)->Arg(15)->Arg(31);

#ifdef QOR_BENCH_WITH_OPENCV
cv::Mat GreyOf(const Frame& frame)
{
    cv::Mat bgr(frame.height(), frame.width(), CV_8UC3, const_cast<uint8_t*>(frame.bits()), size_t(frame.stride()));
    cv::Mat grey;
    cv::cvtColor(bgr, grey, cv::COLOR_BGR2GRAY);
    return grey;
}

void BM_OpenCVMatchTemplate(benchmark::State& state)
{
    cv::setNumThreads(1);   // the tracking search is single-threaded too
    const int size = int(state.range(0));
    const Scene& scene = TheScene();
    const SearchParameters p = Params(size, MethodCorrelation);
    const cv::Mat grey = GreyOf(scene.texture);
    const PixelRect win = SearchWindow(int(std::lround(TargetX + 1.3)), int(std::lround(TargetY - 0.8)),
                                       p.SearchWidth, p.SearchHeight, grey.cols, grey.rows);
    const cv::Mat window = grey(cv::Rect(win.left, win.top, win.width, win.height)).clone();
    const int tl = int(TargetX) - size / 2, tt = int(TargetY) - size / 2;
    const cv::Mat templ = grey(cv::Rect(tl, tt, size, size)).clone();
    cv::Mat map;
    for (auto _ : state) {
        cv::matchTemplate(window, templ, map, cv::TM_CCOEFF_NORMED);
        double maxValue = 0;
        cv::Point maxAt;
        cv::minMaxLoc(map, nullptr, &maxValue, nullptr, &maxAt);
        benchmark::DoNotOptimize(maxValue);
        benchmark::DoNotOptimize(maxAt);
    }
}
BENCHMARK(BM_OpenCVMatchTemplate)->Arg(9)->Arg(15)->Arg(31);
#endif
BENCHMARK(BM_CorrelationStep)->Arg(9)->Arg(15)->Arg(31);

void BM_QuadrantCentre(benchmark::State& state)
{
    const int size = int(state.range(0));
    const bool wide = state.range(1) != 0;
    const Scene& scene = TheScene();
    const SearchParameters p = Params(size, MethodQuadrant);
    for (auto _ : state) {
        const CentreResult r = QuadrantCentre(scene.quadrant, p, TargetX + 0.6, TargetY - 0.4, wide);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_QuadrantCentre)->ArgsProduct({{9, 15, 31}, {0, 1}});

void BM_SpotCentre(benchmark::State& state)
{
    const int size = int(state.range(0));
    const bool wide = state.range(1) != 0;
    const Scene& scene = TheScene();
    const SearchParameters p = Params(size, MethodLightSpot);
    for (auto _ : state) {
        const CentreResult r = SpotCentre(scene.lightSpot, p, TargetX + 0.6, TargetY - 0.4, wide);
        benchmark::DoNotOptimize(r);
    }
}
BENCHMARK(BM_SpotCentre)->ArgsProduct({{9, 15, 31}, {0, 1}});

} // namespace

BENCHMARK_MAIN();
