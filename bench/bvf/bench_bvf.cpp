// Brava reader benchmarks: reading and decoding 1280 x 1024 frames (colour
// with enhancement level 2, gamma LOW and AUTO white balance; monochrome),
// opening a multi-gigabyte recording, and OpenCV's Bayer demosaic on the
// same mosaic for comparison. Run single-threaded:
//   bench_bvf --benchmark_counters_tabular=true

#include "sources/bvf/BvfReader.h"
#include "sources/bvf/BvfWriter.h"
#include "sources/bvf/SampleScene.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <memory>

#ifdef QOR_HAVE_OPENCV
#include <opencv2/imgproc.hpp>
#endif

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 1024;
constexpr int kFrames = 8;

QTemporaryDir& WorkDir()
{
    static QTemporaryDir dir;
    return dir;
}

bvf::RecordingLayout Layout1280(bool colour)
{
    bvf::RecordingLayout l;
    l.model[0] = '1';
    l.model[1] = '3'; // 1280 x 1024 sensor
    l.sensor = QSize(kWidth, kHeight);
    l.colour = colour;
    l.startFrame = 0;
    l.endFrame = kFrames - 1;
    l.frameRate = 1000;
    l.settings.wbMode = TBVSCFILECAM::WbAuto;
    l.settings.gammaMode = 1;    // LOW
    l.settings.enhanceLevel = 2; // LOW
    return l;
}

// A recording of the sample scene, written once per process.
QString Recording(bool colour)
{
    const QString path = WorkDir().filePath(colour ? "colour.bvf" : "mono.bvf");
    if (QFile::exists(path))
        return path;
    bvf::BvfWriter writer;
    writer.open(path, Layout1280(colour), nullptr);
    std::vector<uint8_t> image;
    for (int k = 0; k < kFrames; ++k) {
        bvf::RenderSampleImage(k * 5, QSize(kWidth, kHeight), colour, 0, image);
        writer.writeFrame(image.data());
    }
    writer.close();
    return path;
}

void ReadAndDecode(benchmark::State& state, bool colour)
{
    auto reader = TBVSCFILECAM::open(Recording(colour), nullptr);
    if (!reader) {
        state.SkipWithError("cannot open the recording");
        return;
    }
    int n = 0;
    for (auto _ : state) {
        reader->readFrame(n);
        benchmark::DoNotOptimize(reader->output().bits());
        n = (n + 1) % kFrames;
    }
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_ReadDecodeColour(benchmark::State& state) { ReadAndDecode(state, true); }
void BM_ReadDecodeMono(benchmark::State& state) { ReadAndDecode(state, false); }

// Decode alone (the frame stays in memory), colour.
void BM_DecodeColourOnly(benchmark::State& state)
{
    auto reader = TBVSCFILECAM::open(Recording(true), nullptr);
    for (auto _ : state) {
        reader->redecode();
        benchmark::DoNotOptimize(reader->output().bits());
    }
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

// Steps of the colour chain one by one, to see where the time goes.
void BM_ColourSteps(benchmark::State& state)
{
    std::vector<uint8_t> mosaic;
    bvf::RenderSampleImage(0, QSize(kWidth, kHeight), true, 0, mosaic);
    bvf::Plane green;
    bvf::GreenScratch scratch;
    bvf::DemosaicScratch demosaicScratch;
    Frame out;
    bvf::EnhanceScratch es;
    bvf::ByteTable id;
    for (int i = 0; i < 256; ++i)
        id[i] = uint8_t(i);
    const int step = int(state.range(0));
    bvf::InterpolateGreen(mosaic.data(), kWidth, kHeight, 0, green, scratch);
    bvf::Demosaic(mosaic.data(), green, 0, {id, id, id}, 100, out, demosaicScratch);
    for (auto _ : state) {
        switch (step) {
        case 0: benchmark::DoNotOptimize(bvf::ComputeSiteMeans(mosaic.data(), kWidth, kHeight, 0)); break;
        case 1: bvf::InterpolateGreen(mosaic.data(), kWidth, kHeight, 0, green, scratch); break;
        case 2: bvf::Demosaic(mosaic.data(), green, 0, {id, id, id}, 100, out, demosaicScratch); break;
        case 3: bvf::EnhanceEdges(out, 2, false, es); break;
        }
        benchmark::ClobberMemory();
    }
    static const char* names[] = {"site means", "green", "demosaic+tables", "enhance"};
    state.SetLabel(names[step]);
}

long ResidentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

// Opening a ~4 GB colour recording (a sparse file: header, first and last
// records written, the rest a hole).
void BM_OpenLargeRecording(benchmark::State& state)
{
    const QString path = WorkDir().filePath("large.bvf");
    constexpr int frames = 3200;
    bvf::RecordingLayout l = Layout1280(true);
    l.endFrame = frames - 1;
    if (!QFile::exists(path)) {
        std::vector<uint8_t> image;
        bvf::RenderSampleImage(0, QSize(kWidth, kHeight), true, 0, image);
        bvf::BvfWriter writer;
        writer.open(path, l, nullptr);
        writer.writeFrameAt(0, image.data());
        writer.writeFrameAt(frames - 1, image.data());
        writer.close();
    }
    const long before = ResidentKiB();
    long peak = 0;
    for (auto _ : state) {
        auto reader = TBVSCFILECAM::open(path, nullptr);
        benchmark::DoNotOptimize(reader.get());
        if (!reader || !reader->readFrame(frames - 1)) {
            state.SkipWithError("cannot open or read the large recording");
            return;
        }
        peak = std::max(peak, ResidentKiB() - before);
    }
    state.counters["file GB"] = double(QFile(path).size()) / 1e9;
    state.counters["RSS growth MiB"] = double(peak) / 1024.0;
}

#ifdef QOR_HAVE_OPENCV
void OpenCvBayer(benchmark::State& state, int code)
{
    cv::setNumThreads(1); // one core, like the reader
    std::vector<uint8_t> mosaic;
    bvf::RenderSampleImage(0, QSize(kWidth, kHeight), true, 0, mosaic);
    const cv::Mat in(kHeight, kWidth, CV_8UC1, mosaic.data());
    cv::Mat out;
    for (auto _ : state) {
        cv::cvtColor(in, out, code);
        benchmark::DoNotOptimize(out.data);
    }
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
// Pattern 0 starts G R / B G; OpenCV names a pattern by its second row's
// middle pair, so that is its "GR" code.
void BM_OpenCvBayerBilinear(benchmark::State& state) { OpenCvBayer(state, cv::COLOR_BayerGR2BGR); }
void BM_OpenCvBayerEdgeAware(benchmark::State& state) { OpenCvBayer(state, cv::COLOR_BayerGR2BGR_EA); }
void BM_OpenCvBayerVNG(benchmark::State& state) { OpenCvBayer(state, cv::COLOR_BayerGR2BGR_VNG); }
BENCHMARK(BM_OpenCvBayerBilinear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenCvBayerEdgeAware)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenCvBayerVNG)->Unit(benchmark::kMillisecond);
#endif

} // namespace

BENCHMARK(BM_ReadDecodeColour)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadDecodeMono)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodeColourOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColourSteps)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenLargeRecording)->Unit(benchmark::kMillisecond)->Iterations(5);

BENCHMARK_MAIN();
