#pragma once

#include "plot_surface.h"
#include "wave_model.h"

#include <cstdint>

// The only writers of a plot's four scale values. A value that cannot be
// computed or would not be a valid single-precision scale (k = 0 for the
// placed graph, Kmax = 0, overflow, a width shrunk to nothing) leaves that
// scale value as it was.

// q == 1: fit the vertical range to the tallest wave, heights from
// -0.1 Kmax^2 (top edge) to 0.6 Kmax^2 (bottom edge). p >= 0: slide the
// horizontal range so that graph p's crest lies one third of the width from
// the left edge.
void SetScale(PlotSurface &pic, const WaveModel &model, const std::int16_t &p, const std::int16_t &q);

// ScaleWidth x 1.2 and / 1.2; ScaleLeft stays, so only the right edge moves.
void Widen(PlotSurface &pic);
void Narrow(PlotSurface &pic);
