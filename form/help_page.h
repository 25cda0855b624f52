#pragma once

#include "plot_surface.h"

#include <string>

// Prints the fixed Japanese help page, fourteen lines from the current
// position (the top-left corner of an empty panel). Printed once at start-up.
void PrintHelpPage(PlotSurface &panel);

// The page's lines for a screen reader, from the title on: UTF-8, a line
// break between lines, an empty line between paragraphs.
std::string HelpText();
