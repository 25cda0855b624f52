#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

// Parameters of the three solitary waves and the simulated time.
// x, t, k and C are dimensionless model units; heights share the plot's
// vertical unit. A graph's height is (k^2/2) sech^2((k (x - k^2 t) + C) / 2).
struct WaveModel {
    static constexpr int MaxGraphs = 3;

    std::int16_t GraphCount = 0;
    std::array<double, MaxGraphs> K {};
    std::array<double, MaxGraphs> C {};
    double Kmax = 0.0;
    double T = 0.0;
    double DT = 0.0;
};

// GraphCount within the bounds of the model's arrays: the graphs that apply
// reads and a frame draws.
inline int GraphsInUse(const WaveModel &model)
{
    return std::clamp<int>(model.GraphCount, 0, WaveModel::MaxGraphs);
}

// Height u of one wave at abscissa x and time t. Arguments by reference as
// callers hand over the model's own variables; u receives the result.
// Beyond the exponential's range (and for a phase that is not finite) the
// height is 0: the wave lies immeasurably far away.
void Calc_u(const double &x, const double &k, const double &C, const double &t, double &u);

// Abscissa of a wave's crest at time t, k^2 t - C/k. Meaningless for k = 0.
double ExtremumX(double k, double c, double t);

// The largest |K(i)| for i < count, 0 when all are 0; the comparison is the
// strict one that apply uses, so the first of equal magnitudes wins.
double LargestAbsK(const std::array<double, WaveModel::MaxGraphs> &k, int count);

// The time step per timer tick for a rate of `perSecond` units of t per second
// and a period of intervalMs: perSecond x intervalMs / 1000. A product beyond
// the double range gives the largest finite step of that sign.
double TimeStep(double perSecond, int intervalMs);

// t + dt, or t unchanged where the sum would leave the double range: time then
// stands still at the edge instead of turning infinite.
double AdvanceTime(double t, double dt);
