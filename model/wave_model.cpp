#include "wave_model.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
// exp overflows once its argument passes ln(DBL_MAX); the phase enters halved.
const double PhaseLimit = 2.0 * std::log(std::numeric_limits<double>::max());
} // namespace

void Calc_u(const double &x, const double &k, const double &C, const double &t, double &u)
{
    const double theta = k * (x - std::pow(k, 2) * t) + C;
    // Past this bound one exponential is infinite and the true height is far
    // below anything drawable; answering 0 directly also keeps a phase that is
    // not a number (inf - inf for absurd k) from poisoning the curve.
    if (!(std::abs(theta) <= PhaseLimit)) {
        u = 0.0;
        return;
    }
    const double e1 = std::exp(theta / 2);
    const double e2 = std::exp(theta / (-2));
    const double q = k / (e2 + e1);
    u = 2 * std::pow(q, 2);
}

double ExtremumX(double k, double c, double t)
{
    return std::pow(k, 2) * t - c / k;
}

double LargestAbsK(const std::array<double, WaveModel::MaxGraphs> &k, int count)
{
    double largest = 0.0;
    for (int i = 0; i < std::min(count, WaveModel::MaxGraphs); ++i) {
        if (std::abs(k[i]) > std::abs(largest))
            largest = std::abs(k[i]);
    }
    return largest;
}

double TimeStep(double perSecond, int intervalMs)
{
    constexpr double MsPerSecond = 1000;
    const double step = perSecond * intervalMs / MsPerSecond;
    if (std::isfinite(step))
        return step;
    return std::copysign(std::numeric_limits<double>::max(), perSecond);
}

double AdvanceTime(double t, double dt)
{
    const double next = t + dt;
    return std::isfinite(next) ? next : t;
}
