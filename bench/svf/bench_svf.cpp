// Stravo converter benchmarks at 1280 x 1024: SetFrameNumber + Convert per
// conversion method (the whole chain: read, unpack, demosaic, colour matrix,
// tone table), the demosaic alone, and OpenCV's Bayer demosaic on the same
// 12-bit mosaic for comparison. Run on one core:
//   taskset -c 0 bench_svf --benchmark_counters_tabular=true

#include "sources/svf/SvfConverter.h"
#include "sources/svf/SvfWriter.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#ifdef QOR_HAVE_OPENCV
#include <opencv2/core/utility.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 1024;
constexpr int kFrames = 8;

// A colour recording of the sample scene, written once per process.
QString Recording()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath("bench.svf");
        bvf::SampleOptions options;
        options.size = QSize(kWidth, kHeight);
        options.frames = kFrames;
        options.colour = true;
        svf::WriteSampleRecording(p, options, nullptr);
        return p;
    }();
    return path;
}

void ConvertFrames(benchmark::State& state)
{
    const auto method = int16_t(state.range(0));
    TFxSvffFc converter;
    converter.SetConversionMethod(method);
    if (!converter.OpenFile(Recording())) {
        state.SkipWithError("cannot open the recording");
        return;
    }
    converter.SetKnee(1); // as the player opens it
    Frame delivered;
    converter.Converted = [&delivered](Frame& f) { std::swap(delivered, f); };
    int n = 0;
    for (auto _ : state) {
        converter.SetFrameNumber(n);
        converter.Convert();
        benchmark::DoNotOptimize(delivered.bits());
        n = (n + 1) % kFrames;
    }
    static const char* names[] = {"", "A", "B1", "", "", "B2", "B3"};
    state.SetLabel(names[method]);
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

svf::Mosaic SampleMosaic()
{
    std::vector<uint16_t> samples;
    svf::RenderSampleMosaic(0, QSize(kWidth, kHeight), true, 0, samples);
    svf::Mosaic m;
    m.plane.resize(kWidth, kHeight, svf::Mosaic::kBorder);
    for (int y = 0; y < kHeight; ++y)
        std::copy_n(samples.data() + size_t(y) * kWidth, kWidth, m.plane.row(y));
    m.plane.mirrorBorder();
    return m;
}

// Demosaic alone, into 16-bit planes (what OpenCV's call does).
void DemosaicOnly(benchmark::State& state)
{
    const auto method = svf::DemosaicMethod(state.range(0));
    const svf::Mosaic m = SampleMosaic();
    svf::RgbPlanes out;
    for (auto _ : state) {
        svf::DemosaicPlanes(m, method, out);
        benchmark::DoNotOptimize(out.red.data());
    }
    static const char* names[] = {"bilinear (A)", "edge-directed (B1)", "gradient-corrected (B3)"};
    state.SetLabel(names[state.range(0)]);
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

#ifdef QOR_HAVE_OPENCV
void OpenCvBayer(benchmark::State& state, int code, bool eightBit)
{
    cv::setNumThreads(1);
    std::vector<uint16_t> samples;
    svf::RenderSampleMosaic(0, QSize(kWidth, kHeight), true, 0, samples);
    cv::Mat in(kHeight, kWidth, CV_16UC1, samples.data());
    if (eightBit)
        in.convertTo(in, CV_8U, 1.0 / 16);
    cv::Mat out;
    for (auto _ : state) {
        cv::cvtColor(in, out, code);
        benchmark::DoNotOptimize(out.data);
    }
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
// Pattern 0 is R G / G B; OpenCV names a pattern by the second row's middle
// pair, so that is its "BG" code.
void BM_OpenCvBilinear16(benchmark::State& state) { OpenCvBayer(state, cv::COLOR_BayerBG2BGR, false); }
void BM_OpenCvEdgeAware16(benchmark::State& state) { OpenCvBayer(state, cv::COLOR_BayerBG2BGR_EA, false); }
void BM_OpenCvBilinear8(benchmark::State& state) { OpenCvBayer(state, cv::COLOR_BayerBG2BGR, true); }
void BM_OpenCvEdgeAware8(benchmark::State& state) { OpenCvBayer(state, cv::COLOR_BayerBG2BGR_EA, true); }
BENCHMARK(BM_OpenCvBilinear16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenCvEdgeAware16)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenCvBilinear8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenCvEdgeAware8)->Unit(benchmark::kMillisecond);
#endif

} // namespace

BENCHMARK(ConvertFrames)->Arg(TFxSvffFc::MethodA)->Arg(TFxSvffFc::MethodB1)->Arg(TFxSvffFc::MethodB2)
    ->Arg(TFxSvffFc::MethodB3)->Unit(benchmark::kMillisecond);
BENCHMARK(DemosaicOnly)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
