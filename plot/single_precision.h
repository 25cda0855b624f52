#pragma once

// Hand-overs between the double-precision arithmetic of the drawing code and
// the single-precision values of a plot surface. A plain static_cast of a
// double beyond the float range is undefined behaviour, so every narrowing in
// the program goes through here.

#include <cmath>
#include <limits>

constexpr double SingleMax = std::numeric_limits<float>::max();
constexpr double SingleMinNormal = std::numeric_limits<float>::min();

// Finite and within the single-precision range.
inline bool IsSingle(double v)
{
    return std::abs(v) <= SingleMax;
}

// Narrows to the nearest float; beyond the range gives the signed infinity and
// NaN stays NaN, so the receiver can tell the value was not representable.
inline float ToSingle(double v)
{
    if (std::isnan(v))
        return std::numeric_limits<float>::quiet_NaN();
    if (!IsSingle(v))
        return v > 0 ? std::numeric_limits<float>::infinity() : -std::numeric_limits<float>::infinity();
    return static_cast<float>(v);
}

// Finite values beyond the range are pinned to its edge; for line end points
// that lie off the plot anyway, where only the direction matters.
inline double ClampToSingle(double v)
{
    return v > SingleMax ? SingleMax : (v < -SingleMax ? -SingleMax : v);
}

// A usable scale extent: positive, finite and normal in single precision.
inline bool IsValidExtent(double v)
{
    return v >= SingleMinNormal && v <= SingleMax;
}
