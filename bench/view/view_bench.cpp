// One view update: a new 1280 x 1024 frame handed to the view, then the view
// painted (resampling of the visible part, grid overlay) into an image, as
// the screen would get it. View 1024 x 768, grid on, offscreen platform.
//   QT_QPA_PLATFORM=offscreen ./bench_view

#include "document/ui/ImageView.h"

#include <QApplication>
#include <QImage>
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

Frame testFrame()
{
    Frame f(1280, 1024);
    for (int y = 0; y < f.height(); ++y)
        for (int x = 0; x < f.width(); ++x) {
            uint8_t* p = f.pixel(x, y);
            p[0] = uint8_t(x ^ y);
            p[1] = uint8_t(x + 2 * y);
            p[2] = uint8_t((x * y) >> 6);
        }
    return f;
}

enum Zoom { Percent100 = 0, Percent400 = 1, Fit = 2 };

void BM_ViewUpdate(benchmark::State& state)
{
    static const Frame frame = testFrame();
    ImageView view;
    view.resize(1024, 768);
    view.show();
    QApplication::processEvents();
    view.setFrame(frame);
    view.setZoomKernel(int(state.range(1)));
    switch (Zoom(state.range(0))) {
    case Percent100: view.setScale(1.0); break;
    case Percent400: view.setScale(4.0); break;
    case Fit: view.fitWholeImage(); break;
    }
    ImageView::OverlayState overlay;
    overlay.GridVisible = true;
    overlay.HasGridEntry = true;
    overlay.Grid.StartX = 640;
    overlay.Grid.StartY = 512;
    overlay.Grid.GridSize = 10;
    overlay.Grid.PixelsPerUnit = 4;
    overlay.Grid.AngleDegrees = 15;
    view.setOverlay(overlay);

    QImage target(view.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        view.setFrame(frame); // a new frame: the visible part is resampled again
        view.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
}

// Repaint without a new frame (ruler drag, magnifier move): overlay only.
void BM_OverlayRepaint(benchmark::State& state)
{
    static const Frame frame = testFrame();
    ImageView view;
    view.resize(1024, 768);
    view.show();
    QApplication::processEvents();
    view.setFrame(frame);
    view.setScale(1.0);
    ImageView::OverlayState overlay;
    overlay.GridVisible = true;
    overlay.HasGridEntry = true;
    overlay.Grid.GridSize = 10;
    overlay.Grid.PixelsPerUnit = 4;
    overlay.RulerOn = true;
    overlay.RulerStart = {100, 100};
    overlay.RulerEnd = {400, 300};
    overlay.RulerDistance = 12.3456;
    view.setOverlay(overlay);
    view.showMagnifier();
    QImage target(view.size(), QImage::Format_ARGB32_Premultiplied);
    view.render(&target);
    for (auto _ : state) {
        view.setOverlay(overlay);
        view.render(&target);
        benchmark::DoNotOptimize(target.constBits());
    }
}

} // namespace

// Arguments: zoom (0 = 100 %, 1 = 400 %, 2 = fit), kernel (0 box .. 3 Mitchell).
BENCHMARK(BM_ViewUpdate)
    ->ArgNames({"zoom", "kernel"})
    ->ArgsProduct({{Percent100, Percent400, Fit}, {0, 1, 2, 3}})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OverlayRepaint)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
