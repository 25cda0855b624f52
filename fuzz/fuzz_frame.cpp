// A frame after any history of applies, ticks, follow choices and zoom presses, from any inputs and check box values,
// keeps to its drawing budget and hands the surface only values single precision can hold. Input bytes that run out
// read as the start-up state: the design inputs and scale, every box ticked, no graph followed.

#include "frame.h"
#include "recording_surface.h"
#include "single_precision.h"
#include "val.h"
#include "view_scaling.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <regex.h>

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <locale.h>

#define CHECK(ok, what) ((ok) ? void() : (std::fputs(what "\n", stderr), std::abort()))

namespace {

constexpr GraphColors Colours = {MakeRgb(255, 0, 0), MakeRgb(0, 255, 0), MakeRgb(0, 0, 255)};

// Val of a box's text, checked against a reading that shares no code with it: a POSIX regular expression (the
// longest match at the start) finds the number, and the C library converts it, infinity as the largest double.
double typed(const std::string &text)
{
    static regex_t number;
    static const int compiled
        = regcomp(&number, "^[ \t]*([+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][+-]?[0-9]+)?)", REG_EXTENDED);
    static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t {});
    regmatch_t match[2];
    double want = 0.0;
    // A NUL ends the text for the expression; nothing after it can be part of the number anyway.
    if (compiled == 0 && regexec(&number, text.c_str(), 2, match, 0) == 0)
        want = std::clamp(strtod_l(text.substr(match[1].rm_so, match[1].rm_eo - match[1].rm_so).c_str(), nullptr, c),
            -DBL_MAX, DBL_MAX);
    const double got = Val(text);
    // == also makes -0 and 0 equal, which the reading does not distinguish.
    CHECK(std::isfinite(got) && got == want, "Val read a text otherwise than a strict reading of it");
    return got;
}

// Any finite double, as the input boxes can produce every one of them.
double number(FuzzedDataProvider &in, double fallback)
{
    static constexpr double Edges[] = {0, 1, -1, 0.5, 2.2e19, 2.7e19, 1e154, 3e-39, FLT_MIN, FLT_MAX, DBL_MIN, DBL_MAX,
        -DBL_MAX, std::numeric_limits<double>::denorm_min()};
    const int kind = in.ConsumeIntegralInRange(0, 4);
    if (kind == 1)
        return in.PickValueInArray(Edges);
    if (kind == 2)
        return in.ConsumeFloatingPointInRange(-1000.0, 1000.0);
    const double raw = kind == 3 ? std::bit_cast<double>(in.ConsumeIntegral<std::uint64_t>()) : fallback;
    return kind == 4 ? typed(in.ConsumeRandomLengthString(500)) : std::isfinite(raw) ? raw : fallback;
}

// The input boxes as apply reads them, t back to 0; boxes left alone keep their numbers. `rate` is t per second.
void apply(FuzzedDataProvider &in, WaveModel &m, double &rate)
{
    m.T = 0;
    for (int i = 0; i < WaveModel::MaxGraphs; ++i) {
        m.K[i] = number(in, m.K[i]);
        m.C[i] = number(in, m.C[i]);
    }
    m.Kmax = LargestAbsK(m.K, m.GraphCount);
    rate = number(in, rate);
    m.DT = TimeStep(rate, 40);
}

// At most 18 grid lines each way and the white one, a segment a pixel per curve.
void checkFrame(RecordingSurface &pic, const WaveModel &m, const FrameSwitches &switches)
{
    pic.calls.clear(); // only the segment counts matter here; a log of every frame would slow the fuzzing
    pic.segments.clear();
    DrawGraph(pic, m, Colours, switches);
    CHECK(pic.unrepresentableCount == 0, "a value beyond single precision was handed over, by this frame or before");
    CHECK(pic.segments[MakeRgb(128, 128, 128)] <= 2 * 18 && pic.segments[MakeRgb(255, 255, 255)] <= 1,
        "too many grid lines");
    for (Rgb colour : Colours)
        CHECK(pic.segments[colour] <= pic.Width() + 1, "a curve has more segments than one a pixel and one more");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzedDataProvider in(data, size);
    RecordingSurface pic;
    WaveModel m {.GraphCount = 3, .K = {1, 2, 3}};
    double rate = 1;
    apply(in, m, rate);
    m.T = number(in, 0);
    // Scales the program can hold: finite, with positive normal extents.
    double scale[] = {-10, -5, 228.375, 325.49905};
    for (int i = 0; i < 4; ++i)
        if (const double v = number(in, scale[i]); i < 2 ? IsSingle(v) : IsValidExtent(v))
            scale[i] = v;
    pic.setScale(scale[0], scale[1], scale[2], scale[3]);
    FrameSwitches s;
    // An exhausted input reads 0, which leaves a box ticked.
    for (std::int16_t *box : {&s.HoriAxis, &s.HoriLabel, &s.VerAxis, &s.VerLabel, &s.MinLabel})
        *box = static_cast<std::int16_t>(1 + in.ConsumeIntegral<std::uint16_t>());
    std::int16_t chase = -1;
    // Past four frames, the costly part, applies and ticks only move the state on.
    for (int step = 0, frames = 0; step < 64 && in.remaining_bytes() > 0; ++step) {
        const int action = in.ConsumeIntegralInRange(0, 4);
        // Hundreds of presses in a row take the width to the edges of its range.
        for (int n = action < 2 ? 1 + in.ConsumeIntegral<std::uint8_t>() : 0; n > 0; --n)
            action == 0 ? Widen(pic) : Narrow(pic);
        if (action == 2)
            chase = in.ConsumeIntegralInRange<std::int16_t>(-1, 2);
        if (action == 3)
            apply(in, m, rate);
        if (action >= 3) {
            SetScale(pic, m, static_cast<std::int16_t>(action == 3 ? 0 : chase), action == 3 ? 1 : 0);
            if (frames++ < 4)
                checkFrame(pic, m, s);
            m.T = action == 4 ? AdvanceTime(m.T, m.DT) : m.T;
        }
    }
    checkFrame(pic, m, s);
    return 0;
}
