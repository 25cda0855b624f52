#include "view_scaling.h"

#include "single_precision.h"

#include <cmath>

namespace {
constexpr double TopFraction = -0.1;
constexpr double HeightFraction = 0.7;
constexpr double ZoomFactor = 1.2;
constexpr double CrestPlace = 3; // the crest sits at one third of the width
} // namespace

void SetScale(PlotSurface &pic, const WaveModel &model, const std::int16_t &p, const std::int16_t &q)
{
    if (q == 1) {
        const double top = std::pow(model.Kmax, 2) * TopFraction;
        const double height = std::pow(model.Kmax, 2) * HeightFraction;
        if (IsSingle(top) && IsValidExtent(height)) {
            pic.setScaleTop(top);
            pic.setScaleHeight(height);
        }
    }
    if (p >= 0) {
        const double width = pic.ScaleWidth();
        if (p >= WaveModel::MaxGraphs || model.K[p] == 0)
            return;
        const double x0 = ExtremumX(model.K[p], model.C[p], model.T);
        const double left = x0 - width / CrestPlace;
        if (IsSingle(left))
            pic.setScaleLeft(left);
    }
}

void Widen(PlotSurface &pic)
{
    const double width = double(pic.ScaleWidth()) * ZoomFactor;
    if (IsValidExtent(width))
        pic.setScaleWidth(width);
}

void Narrow(PlotSurface &pic)
{
    const double width = double(pic.ScaleWidth()) / ZoomFactor;
    if (IsValidExtent(width))
        pic.setScaleWidth(width);
}
