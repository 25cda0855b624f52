#pragma once

#include "plot_surface.h"

// Prints the fixed Japanese help page, fourteen lines from the current
// position (the top-left corner of an empty panel). Printed once at start-up.
void PrintHelpPage(PlotSurface &panel);

// The same page as plain text for a screen reader, a line break between lines.
QString HelpText();
