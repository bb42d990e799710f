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
#include "OpenCVGrey.h"
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

// Searched from 1.3 pixels off, as after a frame of motion.
void RunCorrelationStep(benchmark::State& state, const TargetTemplate& templ)
{
    const Frame& texture = TheScene().texture;
    const SearchParameters p = Params(int(state.range(0)), MethodCorrelation);
    for (auto _ : state) {
        const CorrelationResult r = CorrelationStep(texture, templ, TargetX + 1.3, TargetY - 0.8, p);
        benchmark::DoNotOptimize(r);
    }
}

void BM_CorrelationStep(benchmark::State& state)
{
    const int size = int(state.range(0));
    RunCorrelationStep(state, CaptureTemplate(TheScene().texture, TargetX, TargetY, size, size));
}

// The default run: the template recaptured every frame, so each step also
// aligns the point's first template to correct the drift.
void BM_CorrelationStepUpdated(benchmark::State& state)
{
    const int size = int(state.range(0));
    const Frame& texture = TheScene().texture;
    const TargetTemplate first = CaptureTemplate(texture, TargetX - 0.3, TargetY + 0.2, size, size);
    RunCorrelationStep(state, RecaptureTemplate(texture, first, TargetX, TargetY, size, size));
}
BENCHMARK(BM_CorrelationStepUpdated)->Arg(9)->Arg(15)->Arg(31);

#ifdef QOR_BENCH_WITH_OPENCV
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

// One centring method on its own image; arguments: template size, wide search.
template <typename Centre>
void RunCentre(benchmark::State& state, const Frame& image, uint8_t method, Centre centre)
{
    const int size = int(state.range(0));
    const bool wide = state.range(1) != 0;
    const SearchParameters p = Params(size, method);
    for (auto _ : state) {
        const CentreResult r = centre(image, p, TargetX + 0.6, TargetY - 0.4, wide);
        benchmark::DoNotOptimize(r);
    }
}

void BM_QuadrantCentre(benchmark::State& state)
{
    RunCentre(state, TheScene().quadrant, MethodQuadrant, QuadrantCentre);
}
BENCHMARK(BM_QuadrantCentre)->ArgsProduct({{9, 15, 31}, {0, 1}});

void BM_SpotCentre(benchmark::State& state)
{
    RunCentre(state, TheScene().lightSpot, MethodLightSpot, SpotCentre);
}
BENCHMARK(BM_SpotCentre)->ArgsProduct({{9, 15, 31}, {0, 1}});

} // namespace

BENCHMARK_MAIN();
