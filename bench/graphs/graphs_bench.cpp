// Channel filter and T/HIS writing on a 1,000,000-sample channel.
//
// BM_ScipyFilter runs SciPy in a child process on the same samples and
// reports the processor time SciPy itself measured (best of 5; interpreter
// start and file reading excluded) as manual time. Compare it with the CPU
// column of BM_CfcFilter: on a shared machine wall time says little.
//   scipy_same_passes  filtfilt with our end treatment: odd reflection over
//                      n - 1 samples at each end
//   scipy_filtfilt     scipy.signal.filtfilt with its default padding
// The target is for CfcFilter to be no slower than either.

#include "graphs/CfcFilter.h"
#include "graphs/ThisFile.h"

#include <QByteArray>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cmath>

namespace {

constexpr int kSamples = 1000000;
constexpr float kRate = 10000.0f;

std::vector<float> signal()
{
    std::vector<float> x(kSamples);
    uint32_t state = 1;
    for (int i = 0; i < kSamples; ++i) {
        state = state * 1664525u + 1013904223u;
        x[i] = float(std::sin(i * 0.01) + double(state >> 8) / double(1u << 24) - 0.5);
    }
    return x;
}

void BM_CfcFilter(benchmark::State& state)
{
    const std::vector<float> x = signal();
    for (auto _ : state) {
        std::vector<float> y = CfcFilter(x, int(state.range(0)), kRate);
        benchmark::DoNotOptimize(y.data());
    }
    state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(BM_CfcFilter)->Arg(60)->Arg(1000)->Unit(benchmark::kMillisecond);

const char* kScipyScript = R"PY(
import sys, time
import numpy as np
from scipy.signal import filtfilt
x = np.fromfile(sys.argv[1], dtype=np.float32).astype(np.float64)
cfc, rate, mode, reps = float(sys.argv[2]), float(sys.argv[3]), sys.argv[4], int(sys.argv[5])
T = 1.0 / rate
wd = 2.0 * np.pi * cfc * 2.0775
wa = np.sin(wd * T / 2.0) / np.cos(wd * T / 2.0)
S = np.sqrt(2.0) * wa + wa * wa
a0 = wa * wa / (1.0 + S)
b = [a0, 2 * a0, a0]
a = [1.0, 2.0 * (wa * wa - 1.0) / (1.0 + S), -(np.sqrt(2.0) * wa - 1.0 - wa * wa) / (1.0 + S)]

def same_passes(x):
    return filtfilt(b, a, x, padtype="odd", padlen=len(x) - 1)

run = same_passes if mode == "same_passes" else (lambda x: filtfilt(b, a, x))
best = float("inf")
for _ in range(reps):
    t0 = time.process_time()
    run(x)
    best = min(best, time.process_time() - t0)
print(best)
)PY";

void BM_ScipyFilter(benchmark::State& state, const char* mode)
{
    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("x.f32"));
    {
        const std::vector<float> x = signal();
        QFile file(input);
        if (!file.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot write the samples");
            return;
        }
        file.write(reinterpret_cast<const char*>(x.data()), qint64(x.size() * sizeof(float)));
    }
    for (auto _ : state) {
        double seconds = -1;
        for (const QString python : {QStringLiteral("/usr/bin/python3"), QStringLiteral("python3")}) {
            QProcess process;
            process.start(python, {QStringLiteral("-c"), QString::fromLatin1(kScipyScript), input,
                                   QString::number(state.range(0)), QString::number(kRate),
                                   QString::fromLatin1(mode), QStringLiteral("5")});
            if (process.waitForFinished(300000) && process.exitCode() == 0) {
                seconds = process.readAllStandardOutput().trimmed().toDouble();
                break;
            }
        }
        if (seconds < 0) {
            state.SkipWithError("python3 with numpy and scipy is not available");
            return;
        }
        state.SetIterationTime(seconds);
    }
    state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK_CAPTURE(BM_ScipyFilter, scipy_same_passes, "same_passes")
    ->Arg(60)->Arg(1000)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ScipyFilter, scipy_filtfilt, "filtfilt")
    ->Arg(60)->Arg(1000)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_ThisFileBytes(benchmark::State& state)
{
    const std::vector<float> y = signal();
    std::vector<float> x(kSamples);
    for (int i = 0; i < kSamples; ++i)
        x[i] = float(i / double(kRate));
    TABChannel channel(x, y);
    channel.Title = QStringLiteral("Bench");
    channel.XUnits = QStringLiteral("s");
    channel.YUnits = QStringLiteral("g");
    channel.SampleInterval = 1.0L / kRate;
    for (auto _ : state) {
        QByteArray bytes = ThisFileBytes(channel);
        benchmark::DoNotOptimize(bytes.data());
        state.counters["MB"] = double(bytes.size()) / 1e6;
    }
    state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(BM_ThisFileBytes)->Unit(benchmark::kMillisecond);

void BM_WriteThisFile(benchmark::State& state)
{
    const std::vector<float> y = signal();
    std::vector<float> x(kSamples);
    for (int i = 0; i < kSamples; ++i)
        x[i] = float(i / double(kRate));
    TABChannel channel(x, y);
    channel.SampleInterval = 1.0L / kRate;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.dat"));
    for (auto _ : state) {
        QString error;
        if (!WriteThisFile(channel, path, &error))
            state.SkipWithError(error.toStdString().c_str());
    }
    state.SetItemsProcessed(state.iterations() * kSamples);
}
BENCHMARK(BM_WriteThisFile)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
