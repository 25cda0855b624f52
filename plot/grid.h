#pragma once

#include "plot_surface.h"

#include <cstdint>

// Dotted grey grid lines a power of two apart over the visible range, with
// their coordinates printed when the label switch is 1. Expect DrawStyle to be
// dotted already. Heights are printed negated (y grows downward on the plot).
// An extent that is not positive draws nothing for that direction.

// Lines of constant y across the width, numbers at the left edge.
void Draw_HorizontalAxis(PlotSurface &pic, std::int16_t horiLabel);

// Lines of constant x down the height, numbers at the top edge, then the white
// line on x = 0.
void Draw_VerticalAxis(PlotSurface &pic, std::int16_t verLabel);
