// What drawing the three curves of the design frame costs against computing
// their heights alone, as a factor that means the same on any processor.
//
// The heights run first, in a process that has not yet drawn anything, so
// nothing has touched the vector registers' upper halves. The curves are then
// drawn the way a timer tick draws them: each right after the toolkit has
// cleared the image and printed the grid's numbers. Whatever state that leaves
// behind and every following instruction has to pay for shows up as the factor.

#include "frame.h"
#include "grid.h"
#include "qt_text_painter.h"
#include "raster_surface.h"

#include <QFont>
#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <limits>
#include <map>
#include <optional>
#include <string>

namespace {

constexpr int DesignWidth = 609;
constexpr int DesignHeight = 337;
// The design view after start-up, in user units.
constexpr double DesignLeft = -76.125;
constexpr double DesignTop = -0.9;
constexpr double DesignScaleWidth = 228.375;
constexpr double DesignScaleHeight = 6.3;
// A step of the timer, in units of t.
constexpr double TimeStep = 0.04;
// Above this the curves pay for something that is not their own arithmetic.
constexpr double FactorTarget = 6.0;

WaveModel designModel()
{
    WaveModel model;
    model.GraphCount = 3;
    model.K = {1, 2, 3};
    model.Kmax = 3;
    return model;
}

// The abscissas Draw_u samples: the start, then one running sum per pixel up
// to and including the far edge, as the surface narrows its scale to floats.
void heights(benchmark::State &state)
{
    const double left = float(DesignLeft);
    const double end = double(float(DesignLeft)) + double(float(DesignScaleWidth));
    const double step = double(float(DesignScaleWidth)) / DesignWidth;
    WaveModel model = designModel();
    long samples = 0;
    for (auto _ : state) {
        samples = 0;
        for (int i = 0; i < model.GraphCount; ++i) {
            double u = 0;
            Calc_u(left, model.K[i], model.C[i], model.T, u);
            benchmark::DoNotOptimize(u);
            for (double x = left; x <= end; x = x + step) {
                Calc_u(x, model.K[i], model.C[i], model.T, u);
                benchmark::DoNotOptimize(u);
                ++samples;
            }
            samples += 1;
        }
        model.T += TimeStep;
    }
    state.counters["heights"] = double(samples);
}

void curves(benchmark::State &state)
{
    QtTextPainter text {QFont()};
    RasterSurface pic(DesignWidth, DesignHeight, 1.0, MakeRgb(0, 0, 0), MakeRgb(255, 255, 255), text);
    pic.setScaleLeft(DesignLeft);
    pic.setScaleTop(DesignTop);
    pic.setScaleWidth(DesignScaleWidth);
    pic.setScaleHeight(DesignScaleHeight);
    WaveModel model = designModel();
    const GraphColors colours {MakeRgb(255, 0, 0), MakeRgb(0, 255, 0), MakeRgb(0, 0, 255)};

    for (auto _ : state) {
        // The part of a frame before the curves, untimed.
        pic.Cls();
        pic.setDrawStyle(PlotSurface::Dotted);
        Draw_HorizontalAxis(pic, 1);
        Draw_VerticalAxis(pic, 1);
        pic.setDrawStyle(PlotSurface::Solid);
        // A steady clock reads the time without touching vector state; the
        // library's pause and resume might not.
        const auto start = std::chrono::steady_clock::now();
        Draw_u(pic, model, colours, 0);
        const auto stop = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
        model.T += TimeStep;
    }
    benchmark::DoNotOptimize(pic.pixels());
}

// Keeps the fastest run of each benchmark, the one least disturbed by
// whatever else shares the machine, and prints the factor at the end.
class FactorReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type != Run::RT_Iteration || run.iterations == 0)
                continue;
            const double seconds = run.real_accumulated_time / double(run.iterations);
            auto [it, fresh] = m_fastest.try_emplace(run.run_name.function_name, seconds);
            if (!fresh)
                it->second = std::min(it->second, seconds);
        }
        ConsoleReporter::ReportRuns(runs);
    }

    // Non-zero when the factor misses its target; absent figures are no miss.
    int printFactor() const
    {
        const auto h = m_fastest.find("heights");
        const auto c = m_fastest.find("curves");
        if (h == m_fastest.end() || c == m_fastest.end())
            return 0;
        const double factor = c->second / h->second;
        std::printf("\ndrawing the curves of the design frame: %.1f us, computing their heights: %.1f us\n"
                    "factor %.2f (target at most %.0f): %s\n",
            c->second * 1e6, h->second * 1e6, factor, FactorTarget, factor <= FactorTarget ? "pass" : "FAIL");
        return factor <= FactorTarget ? 0 : 1;
    }

private:
    std::map<std::string, double> m_fastest;
};

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    // Fonts and images need a GUI application, not a screen. It is made only
    // once the heights are done, so that they run in an untouched process.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    std::optional<QGuiApplication> app;
    benchmark::RegisterBenchmark("heights", heights)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("curves",
        [&](benchmark::State &state) {
            if (!app)
                app.emplace(argc, argv);
            curves(state);
        })
        ->UseManualTime()
        ->Unit(benchmark::kMicrosecond);

    FactorReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.printFactor();
}
