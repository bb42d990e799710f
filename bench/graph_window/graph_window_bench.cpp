// The graph window under load (offscreen platform, windows shown):
//   BM_Rebuild          10 channels x 1,000,000 samples: RebuildGraph (plot
//                       data, axes, legend)
//   BM_ReplotZoomScroll the same graph, one replot per step while zooming in
//                       and out and scrolling across the data (adaptive
//                       sampling); target under 30 ms per replot
//   BM_CursorTenWindows ten graph windows (2 channels x 100,000 samples
//                       each): ShowCursorAt on all ten for one time step,
//                       the cursor layer drawn again; target under 1 ms
//   BM_CursorTenWindowsPainted  the same plus the repaint of the ten
//                       windows on screen (blitting their layer buffers)
//   QT_QPA_PLATFORM=offscreen ./bench_graph_window

#include "graphs/GraphLayout.h"
#include "graphs/ui/GraphWindow.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>

namespace {

TABChannel channel(int index, int samples, double rate)
{
    std::vector<float> x(static_cast<size_t>(samples)), y(static_cast<size_t>(samples));
    uint32_t state = uint32_t(index) * 7919u + 1u;
    for (int i = 0; i < samples; ++i) {
        state = state * 1664525u + 1013904223u;
        x[size_t(i)] = float(i / rate);
        y[size_t(i)] = float(std::sin(i * 0.0005 * (index + 1)) * (10 + index) + double(state >> 8) / double(1u << 24));
    }
    TABChannel c(x, y);
    c.Title = QStringLiteral("channel %1").arg(index);
    c.YUnits = index % 2 ? QStringLiteral("G") : QStringLiteral("mm");
    c.XUnits = QStringLiteral("s");
    c.SampleInterval = 1.0L / (long double)rate;
    c.PlotKind = kPlotAgainstTime;
    c.XShowsUnits = 1;
    return c;
}

std::unique_ptr<TABgraph> bigGraph()
{
    auto graph = std::make_unique<TABgraph>();
    std::vector<TABChannel> channels;
    for (int i = 0; i < 10; ++i)
        channels.push_back(channel(i, 1000000, 10000.0));
    graph->AddChannels(std::move(channels));
    graph->resize(1200, 700);
    graph->show();
    QApplication::processEvents();
    return graph;
}

void BM_Rebuild(benchmark::State& state)
{
    auto graph = bigGraph();
    for (auto _ : state)
        graph->RebuildGraph();
    state.SetLabel("10 x 1,000,000 samples");
}
BENCHMARK(BM_Rebuild)->Unit(benchmark::kMillisecond)->Iterations(5);

void BM_ReplotZoomScroll(benchmark::State& state)
{
    auto graph = bigGraph();
    GraphPlot* plot = graph->Plot();
    QCPAxis* x = plot->axisRect(0)->axis(QCPAxis::atBottom);
    const double end = 100.0; // seconds of data
    int step = 0;
    for (auto _ : state) {
        // Widths from the whole record down to a tenth of a second, moving
        // across it.
        const double width = end / std::pow(10.0, (step % 30) / 10.0);
        const double start = std::fmod(step * 1.7, std::max(0.0, end - width) + 1e-9);
        x->setRange(start, start + width);
        plot->replot(QCustomPlot::rpImmediateRefresh);
        ++step;
    }
}
// Two whole zoom cycles, so that every run averages the same steps.
BENCHMARK(BM_ReplotZoomScroll)->Unit(benchmark::kMillisecond)->Iterations(60);

std::vector<std::unique_ptr<TABgraph>> tenGraphs()
{
    std::vector<std::unique_ptr<TABgraph>> graphs;
    for (int g = 0; g < 10; ++g) {
        auto graph = std::make_unique<TABgraph>();
        graph->AddChannels({channel(2 * g, 100000, 1000.0), channel(2 * g + 1, 100000, 1000.0)});
        graph->resize(720, 440);
        graph->show();
        graph->ShowCursorAt(0);
        graphs.push_back(std::move(graph));
    }
    QApplication::processEvents();
    return graphs;
}

void BM_CursorTenWindows(benchmark::State& state)
{
    auto graphs = tenGraphs();
    int frame = 0;
    for (auto _ : state) {
        const double t = (frame++ % 100000) / 1000.0;
        for (auto& g : graphs)
            g->ShowCursorAt(t);
        state.PauseTiming();
        QApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_CursorTenWindows)->Unit(benchmark::kMicrosecond);

void BM_CursorTenWindowsPainted(benchmark::State& state)
{
    auto graphs = tenGraphs();
    int frame = 0;
    for (auto _ : state) {
        const double t = (frame++ % 100000) / 1000.0;
        for (auto& g : graphs)
            g->ShowCursorAt(t);
        for (auto& g : graphs)
            g->Plot()->repaint();
    }
}
BENCHMARK(BM_CursorTenWindowsPainted)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
