#include "frame.h"

#include "grid.h"
#include "number_format.h"
#include "single_precision.h"

#include <cmath>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace {

#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx"), noinline)) void zeroUpperHalves()
{
    _mm256_zeroupper();
}
#endif

// The toolkit's AVX code (its fills, text blending, even its string hashes)
// can return with the upper halves of the vector registers still in use. Until
// they are cleared, plain SSE instructions after it, ours and the C library's
// exp alike, run several times slower on many processors; a curve is nearly
// all such instructions. Clearing changes no value: code built for plain SSE
// keeps nothing there.
void leaveVectorStateClean()
{
#if defined(__x86_64__) || defined(__i386__)
    // The instruction does not exist without AVX.
    if (__builtin_cpu_supports("avx"))
        zeroUpperHalves();
#endif
}

void drawCurve(PlotSurface &pic, const WaveModel &model, int i, double step, Rgb colour)
{
    // Whatever ran since the last curve may have been the toolkit's.
    leaveVectorStateClean();
    const double left = pic.ScaleLeft();
    double u {};
    Calc_u(left, model.K[i], model.C[i], model.T, u);
    // A sample that does not fit the surface lifts the pen: the segments into
    // and out of it are skipped and the curve resumes at the next good one.
    bool penDown = IsSingle(u);
    if (penDown) {
        pic.setCurrentX(left);
        pic.setCurrentY(u);
    }

    const double end = double(pic.ScaleLeft()) + double(pic.ScaleWidth());
    // Once the step no longer moves x (a narrow range far from 0) the sum
    // would stall; the ordinary case never needs more passes than this.
    const int maxPasses = pic.Width() + 1;
    double x = left;
    for (int pass = 0; x <= end && pass < maxPasses; ++pass) {
        const double sampleX = x;
        Calc_u(sampleX, model.K[i], model.C[i], model.T, u);
        if (!IsSingle(sampleX) || !IsSingle(u)) {
            penDown = false;
        } else if (penDown) {
            pic.Line(sampleX, u, colour);
        } else {
            pic.setCurrentX(sampleX);
            pic.setCurrentY(u);
            penDown = true;
        }
        x = x + step;
    }
}

// Fixed point with Int(-log10 v) + extraDigits decimals for v in (0, bound),
// so small values keep their significant digits; a whole number otherwise.
std::string labelPattern(double v, double bound, int extraDigits)
{
    if (!(v > 0 && v < bound))
        return "#0";
    const int decimals = static_cast<int>(Int(-Log(v) / Log(10))) + extraDigits;
    return std::string("0.") + String(decimals, '0');
}

struct Crest {
    double x;
    double y;
};

Crest crestOf(const WaveModel &model, int i)
{
    return {ExtremumX(model.K[i], model.C[i], model.T), std::pow(model.K[i], 2) / 2};
}

// The label's text for a crest, in the patterns of the values a surface holds
// for the label's corner; null when either does not fit single precision.
std::string crestText(const Crest &crest)
{
    // k near 0 throws the crest beyond any representable abscissa.
    if (!IsSingle(crest.x) || !IsSingle(crest.y))
        return {};
    const double xl = ToSingle(crest.x);
    const double yl = ToSingle(crest.y);
    constexpr double AbscissaBound = 100;
    constexpr double HeightBound = 10;
    return "(" + Format(xl, labelPattern(xl, AbscissaBound, 3)) + "," + Format(-yl, labelPattern(yl, HeightBound, 2))
        + ")";
}

void printExtremumLabel(PlotSurface &pic, const WaveModel &model, int i)
{
    const Crest crest = crestOf(model, i);
    const std::string label = crestText(crest);
    if (label.empty())
        return;
    pic.setCurrentX(crest.x);
    pic.setCurrentY(crest.y);
    pic.Print({label});
}

} // namespace

std::string CrestLabel(const WaveModel &model, int i)
{
    return model.K[i] == 0 ? std::string() : crestText(crestOf(model, i));
}

void Draw_u(PlotSurface &pic, const WaveModel &model, const GraphColors &colors, std::int16_t minLabel)
{
    const double step = double(pic.ScaleWidth()) / pic.Width();
    const int count = GraphsInUse(model);
    for (int i = 0; i < count; ++i) {
        if (model.K[i] != 0) {
            drawCurve(pic, model, i, step, colors[i]);
            if (minLabel == 1)
                printExtremumLabel(pic, model, i);
        } else {
            const double left = pic.ScaleLeft();
            pic.Line(left, 0, ClampToSingle(left + pic.ScaleWidth()), 0, colors[i]);
        }
    }
}

void DrawGraph(PlotSurface &pic, const WaveModel &model, const GraphColors &colors, const FrameSwitches &switches)
{
    pic.Cls();
    pic.setDrawStyle(PlotSurface::Dotted);
    if (switches.HoriAxis == 1)
        Draw_HorizontalAxis(pic, switches.HoriLabel);
    if (switches.VerAxis == 1)
        Draw_VerticalAxis(pic, switches.VerLabel);
    pic.setDrawStyle(PlotSurface::Solid);
    Draw_u(pic, model, colors, switches.MinLabel);
    pic.Refresh();
}
