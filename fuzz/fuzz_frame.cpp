// A frame drawn after an arbitrary history of applies, ticks, follow choices
// and zoom presses, from arbitrary inputs and check box values. Whatever the
// history, a frame keeps to its drawing budget and hands the surface only
// values that single precision can hold.
//
// Input bytes that run out read as the start-up state: the design inputs and
// scale, every check box ticked, no graph followed.

#include "frame.h"
#include "grid.h"
#include "recording_surface.h"
#include "single_precision.h"
#include "val.h"
#include "view_scaling.h"
#include "wave_model.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <variant>

namespace {

constexpr int TimerIntervalMs = 40;
constexpr GraphColors Colours = {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
constexpr QRgb Grey = qRgb(128, 128, 128);
constexpr QRgb White = qRgb(255, 255, 255);
// One spacing more than the sixteen a range can hold, plus the line before it.
constexpr int MaxGridLines = 18;
constexpr int MaxSteps = 64;
// Frames are the costly part: past this many, applies and ticks only move the
// state on. The frame after the last step is always checked.
constexpr int MaxCheckedFrames = 4;

struct Scenario {
    WaveModel model;
    double rate = 1; // the number in the time step box: t per second
    FrameSwitches switches;
    std::int16_t chase = -1;
};

void report(const char *what, const Scenario &s, const RecordingSurface &pic)
{
    const WaveModel &m = s.model;
    std::fprintf(stderr,
        "%s\n  K = %a %a %a\n  C = %a %a %a\n  Kmax = %a  T = %a  DT = %a\n"
        "  ScaleLeft = %a  ScaleTop = %a  ScaleWidth = %a  ScaleHeight = %a\n"
        "  switches (hori, horiLabel, ver, verLabel, minLabel) = %d %d %d %d %d  chase = %d\n",
        what, m.K[0], m.K[1], m.K[2], m.C[0], m.C[1], m.C[2], m.Kmax, m.T, m.DT, double(pic.ScaleLeft()),
        double(pic.ScaleTop()), double(pic.ScaleWidth()), double(pic.ScaleHeight()), s.switches.HoriAxis,
        s.switches.HoriLabel, s.switches.VerAxis, s.switches.VerLabel, s.switches.MinLabel, s.chase);
    std::abort();
}

// Any finite double, as the input boxes can produce every one of them.
double number(FuzzedDataProvider &in, double fallback)
{
    static constexpr double Edges[] = {0, 1, -1, 0.5, 2.2e19, 2.7e19, 1e154, 3e-39, FLT_MIN, FLT_MAX, DBL_MIN, DBL_MAX,
        -DBL_MAX, std::numeric_limits<double>::denorm_min()};
    switch (in.ConsumeIntegralInRange(0, 4)) {
    case 0:
        return fallback;
    case 1:
        return in.PickValueInArray(Edges);
    case 2:
        return in.ConsumeFloatingPointInRange(-1000.0, 1000.0);
    case 3: {
        const double raw = std::bit_cast<double>(in.ConsumeIntegral<std::uint64_t>());
        return std::isfinite(raw) ? raw : fallback;
    }
    default:
        return Val(in.ConsumeRandomLengthString(40));
    }
}

// Scales the program can hold: finite, with positive normal extents.
void startingScale(FuzzedDataProvider &in, RecordingSurface &pic)
{
    const auto origin = [&](double fallback) {
        const double v = number(in, fallback);
        return IsSingle(v) ? v : fallback;
    };
    const auto extent = [&](double fallback) {
        const double v = number(in, fallback);
        return IsValidExtent(v) ? v : fallback;
    };
    const double left = origin(-10);
    const double top = origin(-5);
    const double width = extent(228.375);
    const double height = extent(325.49905);
    pic.setScale(left, top, width, height);
}

// The input boxes as apply reads them; boxes left alone keep their numbers.
void readInputs(FuzzedDataProvider &in, Scenario &s)
{
    WaveModel &m = s.model;
    for (int i = 0; i < WaveModel::MaxGraphs; ++i) {
        m.K[i] = number(in, m.K[i]);
        m.C[i] = number(in, m.C[i]);
    }
    m.Kmax = LargestAbsK(m.K, m.GraphCount);
    s.rate = number(in, s.rate);
    m.DT = TimeStep(s.rate, TimerIntervalMs);
}

void checkSurfaceValues(const Scenario &s, const RecordingSurface &pic)
{
    if (pic.unrepresentableCount != 0)
        report("a value beyond single precision was handed to the surface", s, pic);
    for (const RecordingSurface::Call &call : pic.calls) {
        if (const auto *seg = std::get_if<RecordingSurface::Segment>(&call)) {
            if (!std::isfinite(seg->x1) || !std::isfinite(seg->y1) || !std::isfinite(seg->x2)
                || !std::isfinite(seg->y2))
                report("a segment with a coordinate that is not finite", s, pic);
        } else if (const auto *text = std::get_if<RecordingSurface::Text>(&call)) {
            if (!std::isfinite(text->x) || !std::isfinite(text->y))
                report("a text at a position that is not finite", s, pic);
        }
    }
}

// Counted in place: the surface's own helpers copy every segment, which
// costs more than the drawing under the sanitizers.
int segmentsIn(const RecordingSurface &pic, QRgb colour)
{
    return int(std::count_if(pic.calls.begin(), pic.calls.end(), [colour](const RecordingSurface::Call &c) {
        const auto *seg = std::get_if<RecordingSurface::Segment>(&c);
        return seg && seg->colour == colour;
    }));
}

// Grey lines of one grid direction, drawn on their own so that the two
// directions can be told apart even where a line degenerates to a point.
template<typename DrawAxis> int gridLines(const Scenario &s, RecordingSurface &pic, DrawAxis draw)
{
    pic.clearLog();
    draw();
    checkSurfaceValues(s, pic);
    const int lines = segmentsIn(pic, Grey);
    if (lines > MaxGridLines)
        report("too many grid lines in one direction", s, pic);
    return lines;
}

void checkFrame(const Scenario &s, RecordingSurface &pic)
{
    pic.clearLog();
    DrawGraph(pic, s.model, Colours, s.switches);
    checkSurfaceValues(s, pic);

    const auto isCleared = [](const auto &c) {
        return std::holds_alternative<RecordingSurface::Cleared>(c);
    };
    const auto isRefreshed = [](const auto &c) {
        return std::holds_alternative<RecordingSurface::Refreshed>(c);
    };
    if (std::count_if(pic.calls.begin(), pic.calls.end(), isCleared) != 1 || !isCleared(pic.calls.front())
        || std::count_if(pic.calls.begin(), pic.calls.end(), isRefreshed) != 1 || !isRefreshed(pic.calls.back()))
        report("a frame is not one clear, the drawing, then one refresh", s, pic);

    for (QRgb colour : Colours) {
        if (segmentsIn(pic, colour) > pic.Width() + 1)
            report("a curve has more segments than one per pixel and one more", s, pic);
    }
    const int frameGrey = segmentsIn(pic, Grey);
    const int frameWhite = segmentsIn(pic, White);
    const int horizontal = gridLines(s, pic, [&] {
        Draw_HorizontalAxis(pic, s.switches.HoriLabel);
    });
    const int vertical = gridLines(s, pic, [&] {
        Draw_VerticalAxis(pic, s.switches.VerLabel);
    });
    const bool hori = s.switches.HoriAxis == 1;
    const bool ver = s.switches.VerAxis == 1;
    if (frameGrey != (hori ? horizontal : 0) + (ver ? vertical : 0) || frameWhite != (ver ? 1 : 0))
        report("the frame's grid does not follow the grid check boxes", s, pic);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    // One surface for the whole run keeps its log's storage; everything else
    // about it is set afresh for each input.
    static RecordingSurface pic;
    pic.clearLog();
    pic.setCurrentX(0);
    pic.setCurrentY(0);
    pic.setDrawStyle(PlotSurface::Solid);
    Scenario s;
    WaveModel &m = s.model;
    m.GraphCount = 3;
    m.K = {1, 2, 3};
    readInputs(in, s);
    m.T = number(in, 0);
    startingScale(in, pic);
    // An exhausted input reads 0, which leaves a box ticked.
    for (std::int16_t *box :
        {&s.switches.HoriAxis, &s.switches.HoriLabel, &s.switches.VerAxis, &s.switches.VerLabel, &s.switches.MinLabel})
        *box = static_cast<std::int16_t>(1 + in.ConsumeIntegral<std::uint16_t>());

    int frames = 0;
    const auto frame = [&] {
        if (frames++ < MaxCheckedFrames)
            checkFrame(s, pic);
    };
    for (int step = 0; step < MaxSteps && in.remaining_bytes() > 0; ++step) {
        pic.clearLog();
        switch (in.ConsumeIntegralInRange(0, 4)) {
        case 0:
            // Hundreds of presses in a row take the width to the edges of its range.
            for (int n = 1 + in.ConsumeIntegral<std::uint8_t>(); n > 0; --n)
                Widen(pic);
            break;
        case 1:
            for (int n = 1 + in.ConsumeIntegral<std::uint8_t>(); n > 0; --n)
                Narrow(pic);
            break;
        case 2:
            s.chase = in.ConsumeIntegralInRange<std::int16_t>(-1, 2);
            break;
        case 3: {
            m.T = 0;
            readInputs(in, s);
            const std::int16_t placed = 0;
            const std::int16_t fit = 1;
            SetScale(pic, m, placed, fit);
            checkSurfaceValues(s, pic);
            frame();
            break;
        }
        default:
            if (s.chase >= 0) {
                const std::int16_t keep = 0;
                SetScale(pic, m, s.chase, keep);
            }
            checkSurfaceValues(s, pic);
            frame();
            m.T = AdvanceTime(m.T, m.DT);
            break;
        }
        checkSurfaceValues(s, pic);
    }
    checkFrame(s, pic);
    return 0;
}
