// A long tracking run: 20 correlation points over 10,000 small synthetic
// frames. What matters is memory: the points' records (one 32-byte record
// per frame and point, 6.4 MB here) are allocated when the points are made,
// and the run itself must not grow memory beyond them. The benchmark reports
// the resident set before the points exist, after they are made and after
// the run, and the peak (VmHWM), in MiB.

#include "common/Frame.h"
#include "tracking/engine/TrackingEngine.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace {

constexpr int kFrames = 10000;
constexpr int kPoints = 20;
constexpr int kWidth = 200;
constexpr int kHeight = 160;

// Resident set and its peak from /proc, in MiB.
double ProcStatusMiB(const char* key)
{
    FILE* f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    double value = -1;
    const size_t n = std::strlen(key);
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, key, n) == 0) {
            value = std::atof(line + n + 1) / 1024.0;  // kB
            break;
        }
    }
    std::fclose(f);
    return value;
}

// Twenty bright spots on a grid, each drifting a little every frame.
class SpotGridDriver : public TrackingDriver {
public:
    const Frame* FrameAt(int n) override
    {
        if (n < 0 || n >= kFrames)
            return nullptr;
        m_frame.resize(kWidth, kHeight);
        m_frame.fill(20, 20, 20);
        const double dx = 3.0 * std::sin(n / 50.0);
        const double dy = 3.0 * std::cos(n / 70.0);
        for (int k = 0; k < kPoints; ++k) {
            const double cx = SpotX(k) + dx;
            const double cy = SpotY(k) + dy;
            for (int y = int(cy) - 5; y <= int(cy) + 5; ++y)
                for (int x = int(cx) - 5; x <= int(cx) + 5; ++x) {
                    const double d2 = (x + 0.5 - cx) * (x + 0.5 - cx) + (y + 0.5 - cy) * (y + 0.5 - cy);
                    const uint8_t g = uint8_t(20 + 220 * std::exp(-d2 / 8.0));
                    uint8_t* p = m_frame.pixel(x, y);
                    p[0] = p[1] = p[2] = g;
                }
        }
        return &m_frame;
    }

    static double SpotX(int k) { return 20.0 + 40.0 * (k % 5); }
    static double SpotY(int k) { return 20.0 + 40.0 * (k / 5); }

private:
    Frame m_frame;
};

void BM_TrackingRun10kFrames20Points(benchmark::State& state)
{
    for (auto _ : state) {
        const double rssStart = ProcStatusMiB("VmRSS:");
        SpotGridDriver driver;
        TrackingPointList points;
        TrackingEngine engine(points, driver);
        engine.SetRecording({0, kFrames, 0, 1000, kWidth, kHeight});
        engine.SetRange(0, kFrames - 1, 0, kFrames - 1);
        engine.GoToFrame(0);
        for (int k = 0; k < kPoints; ++k)
            engine.AddPoint(tracking::MethodCorrelation, SpotGridDriver::SpotX(k), SpotGridDriver::SpotY(k) + 3.0);
        const double rssPoints = ProcStatusMiB("VmRSS:");
        if (engine.StartRun() != StartOutcome::Started) {
            state.SkipWithError("run refused");
            return;
        }
        while (engine.OnTimerTick() == TickOutcome::NextFrame) {
        }
        const double rssRun = ProcStatusMiB("VmRSS:");
        int tracked = 0;
        for (const auto& p : points)
            for (const TrackRecord& r : p->Records)
                tracked += r.Status;
        state.counters["records_MiB"] = double(kFrames) * kPoints * sizeof(TrackRecord) / (1024.0 * 1024.0);
        state.counters["rss_start_MiB"] = rssStart;
        state.counters["rss_after_points_MiB"] = rssPoints;
        state.counters["rss_after_run_MiB"] = rssRun;
        state.counters["run_growth_MiB"] = rssRun - rssPoints;
        state.counters["peak_rss_MiB"] = ProcStatusMiB("VmHWM:");
        state.counters["tracked_records"] = tracked;
        benchmark::DoNotOptimize(tracked);
    }
}
BENCHMARK(BM_TrackingRun10kFrames20Points)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
