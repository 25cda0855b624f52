#include "grid.h"

#include "number_format.h"
#include "single_precision.h"

#include <cmath>
#include <optional>

namespace {

constexpr Rgb GridColour = MakeRgb(128, 128, 128);
constexpr Rgb AxisColour = MakeRgb(255, 255, 255);
// Sixteen spacings fit at most, plus the line just before the near edge and
// the one on the far edge.
constexpr int MaxLines = 18;

struct Spacing {
    double step;
    std::string pattern;
};

// The largest power of two not above extent / 8, and the number pattern that
// shows enough decimals for it.
std::optional<Spacing> spacingFor(double extent, const char *wholePattern)
{
    if (!(extent > 0) || !std::isfinite(extent))
        return std::nullopt;
    const double a = Log(extent) / Log(2) - 3;
    const double step = std::pow(2.0, Int(a));
    if (step >= 1)
        return Spacing {step, wholePattern};
    const int decimals = static_cast<int>(Int(-Log(step) / Log(10) + 1));
    return Spacing {step, std::string("0.") + String(decimals, '0')};
}

// Calls lineAt for first, first + s, ... up to and including end. The count
// bound covers a range so far from 0 that adding the step changes nothing.
template<typename LineAt> void forEachLine(double nearEdge, double extent, double step, LineAt lineAt)
{
    const double end = nearEdge + extent;
    const double first = Int(nearEdge / step) * step;
    double v = first;
    for (int n = 0; v <= end && n < MaxLines; ++n) {
        lineAt(v);
        if (v + step == v)
            break;
        v += step;
    }
}

bool finiteOrigin(const PlotSurface &pic)
{
    return std::isfinite(pic.ScaleLeft()) && std::isfinite(pic.ScaleTop());
}

} // namespace

void Draw_HorizontalAxis(PlotSurface &pic, std::int16_t horiLabel)
{
    const auto spacing = spacingFor(pic.ScaleHeight(), "##");
    if (!spacing || !finiteOrigin(pic))
        return;
    const double left = pic.ScaleLeft();
    const double right = ClampToSingle(left + pic.ScaleWidth());
    forEachLine(pic.ScaleTop(), pic.ScaleHeight(), spacing->step, [&](double y) {
        pic.Line(left, ClampToSingle(y), right, ClampToSingle(y), GridColour);
        if (horiLabel == 1) {
            pic.setCurrentX(left);
            pic.setCurrentY(ClampToSingle(y));
            pic.Print({Format(-y, spacing->pattern)});
        }
    });
}

void Draw_VerticalAxis(PlotSurface &pic, std::int16_t verLabel)
{
    const auto spacing = spacingFor(pic.ScaleWidth(), "#0");
    if (!spacing || !finiteOrigin(pic))
        return;
    const double top = pic.ScaleTop();
    const double bottom = ClampToSingle(top + pic.ScaleHeight());
    forEachLine(pic.ScaleLeft(), pic.ScaleWidth(), spacing->step, [&](double x) {
        pic.Line(ClampToSingle(x), top, ClampToSingle(x), bottom, GridColour);
        if (verLabel == 1) {
            pic.setCurrentY(top);
            pic.setCurrentX(ClampToSingle(x));
            pic.Print({Format(x, spacing->pattern)});
        }
    });
    pic.Line(0, top, 0, bottom, AxisColour);
}
