#include "recording_surface.h"

RecordingSurface::RecordingSurface(int width, int height)
    : m_width(width)
    , m_height(height)
{ }

void RecordingSurface::setScale(double left, double top, double width, double height)
{
    PlotSurface::setScaleLeft(left);
    PlotSurface::setScaleTop(top);
    PlotSurface::setScaleWidth(width);
    PlotSurface::setScaleHeight(height);
}

void RecordingSurface::setScaleLeft(double v)
{
    PlotSurface::setScaleLeft(v);
    calls.emplace_back(ScaleWrite {'L', ScaleLeft()});
}

void RecordingSurface::setScaleTop(double v)
{
    PlotSurface::setScaleTop(v);
    calls.emplace_back(ScaleWrite {'T', ScaleTop()});
}

void RecordingSurface::setScaleWidth(double v)
{
    PlotSurface::setScaleWidth(v);
    calls.emplace_back(ScaleWrite {'W', ScaleWidth()});
}

void RecordingSurface::setScaleHeight(double v)
{
    PlotSurface::setScaleHeight(v);
    calls.emplace_back(ScaleWrite {'H', ScaleHeight()});
}

std::vector<RecordingSurface::Segment> RecordingSurface::segmentsIn(QRgb colour) const
{
    std::vector<Segment> out = all<Segment>();
    std::erase_if(out, [colour](const Segment &s) {
        return s.colour != colour;
    });
    return out;
}

QStringList RecordingSurface::printed() const
{
    QStringList out;
    for (const Text &t : texts())
        out << t.text;
    return out;
}
