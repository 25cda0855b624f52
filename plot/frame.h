#pragma once

#include "plot_surface.h"
#include "wave_model.h"

#include <array>
#include <cstdint>
#include <string>

using GraphColors = std::array<Rgb, WaveModel::MaxGraphs>;

// The values of the five check boxes a frame reads: 1 is ticked, anything
// else counts as cleared.
struct FrameSwitches {
    std::int16_t HoriAxis = 1;
    std::int16_t HoriLabel = 1;
    std::int16_t VerAxis = 1;
    std::int16_t VerLabel = 1;
    std::int16_t MinLabel = 1;
};

// One whole frame at the model's T in the surface's present coordinate
// system: clear, dotted grid when switched on, solid curves with their crest
// labels, then one Refresh.
void DrawGraph(PlotSurface &pic, const WaveModel &model, const GraphColors &colors, const FrameSwitches &switches);

// The curves in graph order, each sampled once per pixel of Width as a running
// sum of abscissas, each followed by its crest label "(x,y)" when minLabel is
// 1; a graph with k = 0 is a flat line at height 0 without label. At most
// Width + 1 samples per curve, and samples or labels that cannot be handed to
// the surface in single precision are skipped.
void Draw_u(PlotSurface &pic, const WaveModel &model, const GraphColors &colors, std::int16_t minLabel);

// The text of graph i's crest label, "(x,y)" with the crest's abscissa and its
// height negated, in the patterns the plot prints; empty for a flat line (k = 0)
// and for a crest beyond the single-precision range, which get no label.
std::string CrestLabel(const WaveModel &model, int i);
