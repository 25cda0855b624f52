#pragma once

#include "wave_model.h"

#include <string>

// How a listener is told graph i (0 to 2): its number as the follow options
// count, and the colour it is drawn in.
std::string GraphName(int i);

// What a screen reader hears of a frame: for every graph in order the text of
// its crest label exactly as the plot prints it, whether or not labels are
// shown, or that the graph is a flat line. UTF-8.
std::string DescribeCrests(const WaveModel &frame);
