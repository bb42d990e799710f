// Range-export throughput for a 1280 x 1024 colour Brava recording (Bayer
// decoding, white balance and the rest of the camera chain included): the
// exporter as it runs now (rendered off the view in order, encoded and
// written by one worker thread per core, appended in order) and the old path (every frame through the view on one
// thread: LoadFrame with histograms, then write), as uncompressed AVI,
// Motion-JPEG AVI, TIFF sequence and DPX sequence, next to FFmpeg (default
// threads) encoding the same rendered frames, piped in as raw BGR24, to the
// same kind of output. Counters: fps = frames per second of wall time
// (FFmpeg's start included), MB/frame = output size; last, how long an
// abort in the middle of a range takes to return.
//
//   bench_export [--benchmark_filter=Mjpeg]
// Output goes to $TMPDIR (or /tmp) and is deleted after each run.

#include "document/FrameSource.h"
#include "document/VideoDocument.h"
#include "export/ExportRange.h"
#include "sources/SourceFactory.h"
#include "sources/bvf/SampleScene.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <algorithm>
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

// One colour Brava recording for the whole run.
QString BravaRecording()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        bvf::SampleOptions options;
        options.size = QSize(Width, Height);
        options.frames = Frames;
        options.colour = true;
        const QString file = dir.filePath(QStringLiteral("bench.bvf"));
        QString error;
        if (!bvf::WriteSampleRecording(file, options, &error))
            std::fprintf(stderr, "cannot write the sample recording: %s\n", qPrintable(error));
        return file;
    }();
    return path;
}

void OpenBrava(VideoDocument& doc)
{
    QString error;
    if (!OpenRecordingFile(doc, BravaRecording(), &error))
        std::fprintf(stderr, "cannot open the sample recording: %s\n", qPrintable(error));
}

// The whole recording into `dir`/`name` as the given output kind.
ExportRequest WholeRange(const QTemporaryDir& dir, const char* name, int filterIndex, AviCodec codec)
{
    ExportRequest request;
    request.fileName = dir.path() + QLatin1Char('/') + QLatin1String(name);
    request.filterIndex = filterIndex;
    request.rangeFirst = 0;
    request.rangeLast = Frames - 1;
    request.aviCodec = codec;
    request.quality = Quality;
    return request;
}

void OurExport(benchmark::State& state, int filterIndex, AviCodec codec, const char* name, bool serial)
{
    VideoDocument doc;
    OpenBrava(doc);
    qint64 bytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        ExportRequest request = WholeRange(dir, name, filterIndex, codec);
        request.serial = serial;
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
        VideoDocument doc;
        OpenBrava(doc);
        Frame frame;
        for (int n = 0; n < Frames; ++n) {
            doc.RenderFrameForExport(n, frame);
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
        const QString command = QStringLiteral("%1 -v error -y -f rawvideo -pix_fmt bgr24 -s %2x%3 -r 15 -i - %4 '%5/%6'")
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

// What every export pays before writing: reading, decoding and rendering
// each frame, through the view (with histograms) and off it.
void BM_RenderThroughView(benchmark::State& state)
{
    VideoDocument doc;
    OpenBrava(doc);
    for (auto _ : state)
        for (int n = 0; n < Frames; ++n)
            doc.LoadFrame(n);
    SetCounters(state, 0);
}

void BM_RenderOffView(benchmark::State& state)
{
    VideoDocument doc;
    OpenBrava(doc);
    Frame frame;
    for (auto _ : state)
        for (int n = 0; n < Frames; ++n)
            doc.RenderFrameForExport(n, frame);
    SetCounters(state, 0);
}

// How long an abort takes: from the progress step that answers "stop" to
// ExportRange returning with the file closed (the frames in the stages are
// finished and written first). Counter: abort_ms, the longest of the runs.
struct AbortAt : ExportProgress {
    int at = 0;
    QElapsedTimer since;
    bool step(int done, int) override
    {
        if (done < at)
            return true;
        since.start();
        return false;
    }
};

void AbortLatency(benchmark::State& state, int filterIndex, AviCodec codec, const char* name)
{
    VideoDocument doc;
    OpenBrava(doc);
    double longest = 0.0;
    for (auto _ : state) {
        QTemporaryDir dir;
        const ExportRequest request = WholeRange(dir, name, filterIndex, codec);
        AbortAt progress;
        progress.at = Frames / 2;
        const ExportResult result = ExportRange(doc, request, &progress);
        longest = std::max(longest, double(progress.since.nsecsElapsed()) / 1e6);
        if (result.status != ExportResult::Aborted)
            state.SkipWithError("the export was not aborted");
    }
    state.counters["abort_ms"] = longest;
}

void BM_AbortLatency_MjpegAvi(benchmark::State& s) { AbortLatency(s, 1, AviCodec::Mjpeg, "out.avi"); }
void BM_AbortLatency_DpxSequence(benchmark::State& s) { AbortLatency(s, 5, AviCodec::Dib24, "out.dpx"); }

void BM_New_MjpegAvi(benchmark::State& s) { OurExport(s, 1, AviCodec::Mjpeg, "out.avi", false); }
void BM_Old_MjpegAvi(benchmark::State& s) { OurExport(s, 1, AviCodec::Mjpeg, "out.avi", true); }
// -q:v 4 gives files of about the size of our quality 75.
void BM_Ffmpeg_MjpegAvi(benchmark::State& s) { FfmpegExport(s, "-c:v mjpeg -pix_fmt yuvj420p -q:v 4", "out.avi"); }
void BM_New_DibAvi(benchmark::State& s) { OurExport(s, 1, AviCodec::Dib24, "out.avi", false); }
void BM_Old_DibAvi(benchmark::State& s) { OurExport(s, 1, AviCodec::Dib24, "out.avi", true); }
void BM_Ffmpeg_DibAvi(benchmark::State& s) { FfmpegExport(s, "-c:v rawvideo -pix_fmt bgr24", "out.avi"); }
void BM_New_TiffSequence(benchmark::State& s) { OurExport(s, 2, AviCodec::Dib24, "out.tif", false); }
void BM_Old_TiffSequence(benchmark::State& s) { OurExport(s, 2, AviCodec::Dib24, "out.tif", true); }
void BM_Ffmpeg_TiffSequence(benchmark::State& s) { FfmpegExport(s, "-c:v tiff -compression_algo raw -pix_fmt rgb24", "out%04d.tif"); }
void BM_New_DpxSequence(benchmark::State& s) { OurExport(s, 5, AviCodec::Dib24, "out.dpx", false); }
void BM_Old_DpxSequence(benchmark::State& s) { OurExport(s, 5, AviCodec::Dib24, "out.dpx", true); }
void BM_Ffmpeg_DpxSequence(benchmark::State& s) { FfmpegExport(s, "-c:v dpx -pix_fmt rgb24", "out%04d.dpx"); }

} // namespace

#define QOR_EXPORT_BENCH(name) BENCHMARK(name)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime()
QOR_EXPORT_BENCH(BM_RenderThroughView);
QOR_EXPORT_BENCH(BM_RenderOffView);
QOR_EXPORT_BENCH(BM_New_MjpegAvi);
QOR_EXPORT_BENCH(BM_Old_MjpegAvi);
QOR_EXPORT_BENCH(BM_Ffmpeg_MjpegAvi);
QOR_EXPORT_BENCH(BM_New_DibAvi);
QOR_EXPORT_BENCH(BM_Old_DibAvi);
QOR_EXPORT_BENCH(BM_Ffmpeg_DibAvi);
QOR_EXPORT_BENCH(BM_New_TiffSequence);
QOR_EXPORT_BENCH(BM_Old_TiffSequence);
QOR_EXPORT_BENCH(BM_Ffmpeg_TiffSequence);
QOR_EXPORT_BENCH(BM_New_DpxSequence);
QOR_EXPORT_BENCH(BM_Old_DpxSequence);
QOR_EXPORT_BENCH(BM_Ffmpeg_DpxSequence);
BENCHMARK(BM_AbortLatency_MjpegAvi)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();
BENCHMARK(BM_AbortLatency_DpxSequence)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

BENCHMARK_MAIN();
