// Time to draw one whole frame of the plot area into its off-screen image, the
// work each 40 ms timer tick has to fit in.

#include "frame.h"
#include "qt_text_painter.h"
#include "raster_surface.h"

#include <QFont>
#include <QGuiApplication>

#include <benchmark/benchmark.h>

namespace {

constexpr int DesignWidth = 609;
constexpr int DesignHeight = 337;

// The view and inputs right after start-up; the width factor stretches the
// plot and its user range alike, so the scale per pixel stays that of design.
void drawFrame(benchmark::State &state)
{
    const int factor = static_cast<int>(state.range(0));
    QtTextPainter text {QFont()};
    RasterSurface pic(DesignWidth * factor, DesignHeight, 1.0, MakeRgb(0, 0, 0), MakeRgb(255, 255, 255), text);
    pic.setScaleLeft(-76.125);
    pic.setScaleTop(-0.9);
    pic.setScaleWidth(228.375 * factor);
    pic.setScaleHeight(6.3);

    WaveModel model;
    model.GraphCount = 3;
    model.K = {1, 2, 3};
    model.Kmax = 3;
    const GraphColors colours {MakeRgb(255, 0, 0), MakeRgb(0, 255, 0), MakeRgb(0, 0, 255)};
    const FrameSwitches allTicked {1, 1, 1, 1, 1};

    for (auto _ : state) {
        DrawGraph(pic, model, colours, allTicked);
        model.T += 0.04; // as the timer advances it, so the waves travel
    }
    benchmark::DoNotOptimize(pic.pixels());
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

} // namespace

BENCHMARK(drawFrame)->ArgName("widthFactor")->Arg(1)->Arg(4)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    // Fonts and images need a GUI application, not a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
