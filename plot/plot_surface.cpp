#include "plot_surface.h"

#include "single_precision.h"

#include <cmath>

void PlotSurface::Print(std::initializer_list<std::string_view> items, PrintEnd end)
{
    std::string text;
    for (const std::string_view item : items)
        text += item;
    if (!text.empty() && std::isfinite(m_currentX) && std::isfinite(m_currentY)) {
        drawText(m_currentX, m_currentY, text);
        // Text near the edge of the single range may end beyond it, and so
        // may the next line; the position then rests on the edge.
        m_currentX = ToSingle(ClampToSingle(double(m_currentX) + textWidth(text)));
    }
    if (end == PrintEnd::NewLine) {
        m_currentX = m_scaleLeft;
        m_currentY = ToSingle(ClampToSingle(double(m_currentY) + lineHeight()));
    }
}

void PlotSurface::NextZone()
{
    const double zone = ZoneColumns * columnWidth();
    if (!(zone > 0))
        return;
    const double column = (double(m_currentX) - m_scaleLeft) / zone;
    // Strictly right of the current position, even when it sits on a zone start.
    setCurrentX(m_scaleLeft + (std::floor(column) + 1) * zone);
}

void PlotSurface::Spc(int columns)
{
    setCurrentX(double(m_currentX) + columns * columnWidth());
}
