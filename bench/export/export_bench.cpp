// Range-export throughput for a 1280 x 1024 recording: our exporter (render
// through the document, then write) as uncompressed AVI, Motion-JPEG AVI,
// TIFF sequence and DPX sequence, next to FFmpeg encoding the same frames,
// piped in as raw BGR24, to the same kind of output. Both sides run on one
// thread. Counters: fps = frames per second of wall time (FFmpeg's start
// included), MB/frame = output size.
//
//   bench_export [--benchmark_filter=Mjpeg]
// Output goes to $TMPDIR (or /tmp) and is deleted after each run.

#include "document/FrameSource.h"
#include "document/VideoDocument.h"
#include "export/ExportRange.h"

#include <QDir>
#include <QDirIterator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

constexpr int Width = 1280;
constexpr int Height = 1024;
constexpr int Frames = 60;
constexpr int Quality = 75;

// Smooth gradients that move from frame to frame plus a little texture:
// closer to a camera picture than a flat colour for the JPEG encoders.
void Paint(int n, Frame& frame)
{
    for (int y = 0; y < frame.height(); ++y) {
        uint8_t* p = frame.row(y);
        for (int x = 0; x < frame.width(); ++x, p += 3) {
            const int texture = ((x * 7 + y * 13) ^ (x >> 3)) & 15;
            p[0] = uint8_t((x + n * 4) / 6 + texture);
            p[1] = uint8_t((y + n * 2) / 5 + texture);
            p[2] = uint8_t((x + y) / 10 + n);
        }
    }
}

class BenchSource : public FrameSource {
public:
    int sourceKind() const override { return 7; }
    void fillInfo(RecordingInfo& info) const override
    {
        info.FrameCount = Frames;
        info.FirstFrame = 0;
        info.LastFrame = Frames - 1;
        info.FrameRate = 1000;
        info.ImageWidth = Width;
        info.ImageHeight = Height;
    }
    bool readFrame(int n, Frame& frame) override
    {
        frame.resize(Width, Height);
        Paint(n, frame);
        return true;
    }
};

qint64 FolderSize(const QString& folder)
{
    qint64 total = 0;
    QDirIterator it(folder, QDir::Files);
    while (it.hasNext()) {
        it.next();
        total += it.fileInfo().size();
    }
    return total;
}

void SetCounters(benchmark::State& state, qint64 bytes)
{
    state.counters["fps"] = benchmark::Counter(double(Frames), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["MB/frame"] = double(bytes) / Frames / 1e6;
}

void OurExport(benchmark::State& state, int filterIndex, AviCodec codec, const char* name)
{
    VideoDocument doc;
    doc.AttachSource(std::make_unique<BenchSource>(), QStringLiteral("bench.bvf"));
    qint64 bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        ExportRequest request;
        request.fileName = dir.path() + QLatin1Char('/') + QLatin1String(name);
        request.filterIndex = filterIndex;
        request.rangeFirst = 0;
        request.rangeLast = Frames - 1;
        request.aviCodec = codec;
        request.quality = Quality;
        state.ResumeTiming();
        const ExportResult result = ExportRange(doc, request);
        state.PauseTiming();
        if (result.status != ExportResult::Completed)
            state.SkipWithError(qPrintable(result.error));
        bytes = FolderSize(dir.path());
        state.ResumeTiming();
    }
    SetCounters(state, bytes);
}

// The frames FFmpeg gets: packed BGR24, exactly the pictures we export.
const std::vector<std::vector<uint8_t>>& RawFrames()
{
    static const std::vector<std::vector<uint8_t>> frames = [] {
        std::vector<std::vector<uint8_t>> all;
        Frame frame(Width, Height);
        for (int n = 0; n < Frames; ++n) {
            Paint(n, frame);
            std::vector<uint8_t> packed(size_t(Width) * Height * 3);
            for (int y = 0; y < Height; ++y)
                std::memcpy(packed.data() + size_t(y) * Width * 3, frame.row(y), size_t(Width) * 3);
            all.push_back(std::move(packed));
        }
        return all;
    }();
    return frames;
}

void FfmpegExport(benchmark::State& state, const char* outputArgs, const char* outputName)
{
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty()) {
        state.SkipWithError("ffmpeg not installed");
        return;
    }
    const auto& frames = RawFrames();
    qint64 bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        const QString command = QStringLiteral("%1 -v error -y -threads 1 -f rawvideo -pix_fmt bgr24 -s %2x%3 -r 15 -i - %4 '%5/%6'")
                                    .arg(ffmpeg).arg(Width).arg(Height)
                                    .arg(QLatin1String(outputArgs), dir.path(), QLatin1String(outputName));
        state.ResumeTiming();
        FILE* pipe = popen(command.toLocal8Bit().constData(), "w");
        if (!pipe) {
            state.SkipWithError("cannot start ffmpeg");
            break;
        }
        for (const auto& raw : frames)
            std::fwrite(raw.data(), 1, raw.size(), pipe);
        const int status = pclose(pipe);
        state.PauseTiming();
        if (status != 0)
            state.SkipWithError("ffmpeg failed");
        bytes = FolderSize(dir.path());
        state.ResumeTiming();
    }
    SetCounters(state, bytes);
}

// What every export pays before writing: reading and rendering each frame
// through the document (source, display operations, histograms).
void BM_Ours_RenderOnly(benchmark::State& state)
{
    VideoDocument doc;
    doc.AttachSource(std::make_unique<BenchSource>(), QStringLiteral("bench.bvf"));
    for (auto _ : state)
        for (int n = 0; n < Frames; ++n)
            doc.LoadFrame(n);
    SetCounters(state, 0);
}

void BM_Ours_DibAvi(benchmark::State& s) { OurExport(s, 1, AviCodec::Dib24, "out.avi"); }
void BM_Ffmpeg_DibAvi(benchmark::State& s) { FfmpegExport(s, "-c:v rawvideo -pix_fmt bgr24", "out.avi"); }
void BM_Ours_MjpegAvi(benchmark::State& s) { OurExport(s, 1, AviCodec::Mjpeg, "out.avi"); }
// -q:v 4 gives files of about the size of our quality 75.
void BM_Ffmpeg_MjpegAvi(benchmark::State& s) { FfmpegExport(s, "-c:v mjpeg -pix_fmt yuvj420p -q:v 4", "out.avi"); }
void BM_Ours_TiffSequence(benchmark::State& s) { OurExport(s, 2, AviCodec::Dib24, "out.tif"); }
void BM_Ffmpeg_TiffSequence(benchmark::State& s) { FfmpegExport(s, "-c:v tiff -compression_algo raw -pix_fmt rgb24", "out%04d.tif"); }
void BM_Ours_DpxSequence(benchmark::State& s) { OurExport(s, 5, AviCodec::Dib24, "out.dpx"); }
void BM_Ffmpeg_DpxSequence(benchmark::State& s) { FfmpegExport(s, "-c:v dpx -pix_fmt rgb24", "out%04d.dpx"); }

} // namespace

BENCHMARK(BM_Ours_RenderOnly)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_Ours_DibAvi)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_Ffmpeg_DibAvi)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_Ours_MjpegAvi)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_Ffmpeg_MjpegAvi)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_Ours_TiffSequence)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_Ffmpeg_TiffSequence)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_Ours_DpxSequence)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();
BENCHMARK(BM_Ffmpeg_DpxSequence)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

BENCHMARK_MAIN();
