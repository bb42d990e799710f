// Display adjustments on a 1280 × 1024 frame: each operation alone and the
// whole list the way a document renders it (copy of the source frame, then
// every entry in order, one by one and through ApplyAdjustmentList, which
// composes the byte curves into one pass). Target: the whole list under 5 ms
// per frame on one core.

#include "adjust/AdjustmentEntry.h"
#include "adjust/ByteTables.h"
#include "adjust/FilterLibrary.h"
#include "adjust/ImageTurns.h"
#include "adjust/PixelOps.h"
#include "common/Frame.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <memory>
#include <random>

namespace {

constexpr int kWidth = 1280;
constexpr int kHeight = 1024;

// Smooth colour gradients with sensor-like noise: the branches of the hue
// code see realistic runs instead of white noise.
const Frame& SourceFrame()
{
    static const Frame frame = [] {
        Frame f(kWidth, kHeight);
        std::mt19937 rng(42);
        std::uniform_int_distribution<int> noise(-6, 6);
        for (int y = 0; y < kHeight; ++y) {
            uint8_t* p = f.row(y);
            for (int x = 0; x < kWidth; ++x, p += 3) {
                auto clamp = [](int v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); };
                p[0] = clamp(x * 255 / kWidth + noise(rng));
                p[1] = clamp(y * 255 / kHeight + noise(rng));
                p[2] = clamp(((x + y) / 9) % 256 + noise(rng));
            }
        }
        return f;
    }();
    return frame;
}

template <class T>
std::unique_ptr<AdjustmentEntry> Entry(T parameters)
{
    return std::make_unique<AdjustmentEntry>(std::move(parameters));
}

AdjustmentList FullList()
{
    AdjustmentList list;
    list.push_back(Entry(BrightnessEntry{.Offset = 20}));
    list.push_back(Entry(GammaEntry{.Slider = 13, .Exponent = 0.7f}));
    list.push_back(Entry(ContrastEntry{.Amount = 40}));
    list.push_back(Entry(RgbEntry{.Red = 10, .Green = -15, .Blue = 20}));
    list.push_back(Entry(HueSatEntry{.Hue = 30, .Saturation = 25, .Value = 0}));
    AnnotationEntry text;
    text.AnnX = 20;
    text.AnnY = 20;
    text.AnnDrawText = QStringLiteral("Run 12  t = 0.0125 s");
    text.AnnFontSize = 24;
    text.AnnFontName = QStringLiteral("DejaVu Sans");
    list.push_back(Entry(text));
    return list;
}

template <typename Operation>
void RunOnCopy(benchmark::State& state, Operation operation)
{
    Frame frame = SourceFrame();
    for (auto _ : state) {
        frame = SourceFrame();
        operation(frame);
        benchmark::DoNotOptimize(frame.bits());
        benchmark::ClobberMemory();
    }
}

void BM_CopyOnly(benchmark::State& state) { RunOnCopy(state, [](Frame&) {}); }
void BM_Brightness(benchmark::State& state) { RunOnCopy(state, [](Frame& f) { AdjustBrightness(f, 20); }); }
void BM_Gamma(benchmark::State& state) { RunOnCopy(state, [](Frame& f) { ApplyGamma(f, 0.7f); }); }
void BM_Contrast(benchmark::State& state) { RunOnCopy(state, [](Frame& f) { NVIM_Contrast(f, 40); }); }
void BM_ColourBalance(benchmark::State& state)
{
    RunOnCopy(state, [](Frame& f) { NVIM_WorkOutColours(10, -15, 20, f); });
}
void BM_ColourBalancePortable(benchmark::State& state)
{
    SetByteTableSimdEnabled(false);
    RunOnCopy(state, [](Frame& f) { NVIM_WorkOutColours(10, -15, 20, f); });
    SetByteTableSimdEnabled(true);
}
void BM_GammaPortable(benchmark::State& state)
{
    SetByteTableSimdEnabled(false);
    RunOnCopy(state, [](Frame& f) { ApplyGamma(f, 0.7f); });
    SetByteTableSimdEnabled(true);
}
void BM_HueSaturation(benchmark::State& state)
{
    RunOnCopy(state, [](Frame& f) { NVIM_RGBBitmapToHSV(f, 30, 25, 0); });
}
void BM_Text(benchmark::State& state)
{
    const AdjustmentList list = FullList();
    RunOnCopy(state, [&](Frame& f) { ApplyEntry(f, *list.back()); });
}
void BM_QuarterTurn(benchmark::State& state) { RunOnCopy(state, [](Frame& f) { ApplyRotateMirror(f, 0, 2); }); }
void BM_Mirror(benchmark::State& state) { RunOnCopy(state, [](Frame& f) { ApplyRotateMirror(f, 3, 0); }); }
void BM_Grey8(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ConvertToGrey8(SourceFrame()).pixels.data());
}
void BM_WholeList(benchmark::State& state)
{
    const AdjustmentList list = FullList();
    RunOnCopy(state, [&](Frame& f) {
        for (const auto& entry : list)
            ApplyEntry(f, *entry);
    });
}

void BM_WholeListFused(benchmark::State& state)
{
    const AdjustmentList list = FullList();
    RunOnCopy(state, [&](Frame& f) { ApplyAdjustmentList(f, list); });
}
void BM_WholeListPortable(benchmark::State& state)
{
    SetByteTableSimdEnabled(false);
    const AdjustmentList list = FullList();
    RunOnCopy(state, [&](Frame& f) {
        for (const auto& entry : list)
            ApplyEntry(f, *entry);
    });
    SetByteTableSimdEnabled(true);
}

} // namespace

BENCHMARK(BM_CopyOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Brightness)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Gamma)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Contrast)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColourBalance)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GammaPortable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ColourBalancePortable)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HueSaturation)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Text)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QuarterTurn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Mirror)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Grey8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeList)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeListFused)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeListPortable)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    // Text drawing needs fonts, which need a QGuiApplication (no window).
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
