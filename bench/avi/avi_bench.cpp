// AVI reading and writing speed.
//
//   bench_avi                      all benchmarks (makes its inputs in /tmp/qor_avi_bench)
//
// Inputs, made once with ffmpeg:
//   raw.bgr   60 frames 1280x1024 bgr24 of testsrc2 (write benchmarks, ours and ffmpeg's)
//   h264.avi  1000 frames 640x480, libx264, key frame every 250 frames
//   mjpg.avi  1000 frames 640x480 written by AviWriter (MJPEG, quality 90)
//
// Random access: each iteration shows one frame n from a fixed pseudo-random
// sequence. Writing: each iteration writes all 60 frames; ffmpeg is timed as a
// whole process reading the same raw frames (`-c:v rawvideo` / `-c:v mjpeg`).

#include "sources/avi/AviSource.h"
#include "sources/avi/AviWriter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

namespace {

const QString Dir = QStringLiteral("/tmp/qor_avi_bench");
constexpr int RawW = 1280, RawH = 1024, RawFrames = 60;
constexpr int SmallW = 640, SmallH = 480, LongFrames = 1000;

bool Run(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral("ffmpeg"), QStringList{"-v", "error", "-y"} + args);
    return p.waitForFinished(-1) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QString Path(const char* name) { return Dir + QLatin1Char('/') + QLatin1String(name); }

void MakeInputs()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    QDir().mkpath(Dir);
    if (!QFile::exists(Path("raw.bgr")))
        Run({"-f", "lavfi", "-i", QStringLiteral("testsrc2=size=%1x%2:rate=25").arg(RawW).arg(RawH), "-frames:v",
             QString::number(RawFrames), "-f", "rawvideo", "-pix_fmt", "bgr24", Path("raw.bgr")});
    if (!QFile::exists(Path("h264.avi")))
        Run({"-f", "lavfi", "-i", QStringLiteral("testsrc2=size=%1x%2:rate=25").arg(SmallW).arg(SmallH), "-frames:v",
             QString::number(LongFrames), "-c:v", "libx264", "-preset", "veryfast", "-g", "250", Path("h264.avi")});
    if (!QFile::exists(Path("mjpg.avi"))) {
        // Our own writer, from ffmpeg's pictures.
        Run({"-f", "lavfi", "-i", QStringLiteral("testsrc2=size=%1x%2:rate=25").arg(SmallW).arg(SmallH), "-frames:v",
             QString::number(LongFrames), "-f", "rawvideo", "-pix_fmt", "bgr24", Path("small.bgr")});
        QFile raw(Path("small.bgr"));
        raw.open(QIODevice::ReadOnly);
        AviWriter writer;
        writer.open(Path("mjpg.avi"), SmallW, SmallH, 25, AviCodec::Mjpeg, 90, {});
        Frame frame(SmallW, SmallH);
        for (int n = 0; n < LongFrames; ++n) {
            for (int y = 0; y < SmallH; ++y)
                raw.read(reinterpret_cast<char*>(frame.row(y)), SmallW * 3);
            writer.writeFrame(frame);
        }
        writer.close();
        QFile::remove(Path("small.bgr"));
    }
}

const std::vector<Frame>& RawFramesInMemory()
{
    static std::vector<Frame> frames;
    if (frames.empty()) {
        MakeInputs();
        QFile raw(Path("raw.bgr"));
        raw.open(QIODevice::ReadOnly);
        for (int n = 0; n < RawFrames; ++n) {
            Frame frame(RawW, RawH);
            for (int y = 0; y < RawH; ++y)
                raw.read(reinterpret_cast<char*>(frame.row(y)), RawW * 3);
            frames.push_back(std::move(frame));
        }
    }
    return frames;
}

void RandomAccess(benchmark::State& state, const char* name)
{
    MakeInputs();
    auto source = OpenAviSource(Path(name), nullptr);
    if (!source) {
        state.SkipWithError("input missing");
        return;
    }
    std::mt19937 random(7);
    std::uniform_int_distribution<int> pick(0, source->frameCount() - 1);
    Frame frame;
    for (auto _ : state) {
        if (!source->readFrame(pick(random), frame))
            state.SkipWithError("read failed");
    }
    state.counters["frames"] = source->frameCount();
}

void Sequential(benchmark::State& state, const char* name)
{
    MakeInputs();
    auto source = OpenAviSource(Path(name), nullptr);
    if (!source) {
        state.SkipWithError("input missing");
        return;
    }
    Frame frame;
    int n = 0;
    for (auto _ : state) {
        source->readFrame(n, frame);
        n = (n + 1) % source->frameCount();
    }
}

void WriteOurs(benchmark::State& state, AviCodec codec)
{
    const std::vector<Frame>& frames = RawFramesInMemory();
    int64_t bytes = 0;
    for (auto _ : state) {
        AviWriter writer;
        writer.open(Path("ours.avi"), RawW, RawH, 25, codec, 90, {});
        for (const Frame& f : frames)
            writer.writeFrame(f);
        writer.close();
        bytes = QFile(Path("ours.avi")).size();
    }
    state.counters["fps"] = benchmark::Counter(double(RawFrames) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["MB"] = double(bytes) / 1e6;
    QFile::remove(Path("ours.avi"));
}

void WriteFfmpeg(benchmark::State& state, const char* codec)
{
    RawFramesInMemory();
    for (auto _ : state) {
        QStringList args{"-f", "rawvideo", "-pix_fmt", "bgr24", "-s", QStringLiteral("%1x%2").arg(RawW).arg(RawH),
                         "-r", "25", "-i", Path("raw.bgr"), "-c:v", codec};
        if (QLatin1String(codec) == QLatin1String("mjpeg"))
            args << "-q:v" << "3";
        args << Path("ffmpeg.avi");
        if (!Run(args))
            state.SkipWithError("ffmpeg failed");
    }
    state.counters["fps"] = benchmark::Counter(double(RawFrames) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["MB"] = double(QFile(Path("ffmpeg.avi")).size()) / 1e6;
    QFile::remove(Path("ffmpeg.avi"));
}

} // namespace

BENCHMARK_CAPTURE(RandomAccess, mjpeg_640x480_1000, "mjpg.avi")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RandomAccess, h264_640x480_1000_gop250, "h264.avi")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Sequential, mjpeg_640x480, "mjpg.avi")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Sequential, h264_640x480, "h264.avi")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(WriteOurs, dib_1280x1024_60, AviCodec::Dib24)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(WriteFfmpeg, rawvideo_1280x1024_60, "rawvideo")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(WriteOurs, mjpeg_1280x1024_60, AviCodec::Mjpeg)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(WriteFfmpeg, mjpeg_1280x1024_60, "mjpeg")->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
