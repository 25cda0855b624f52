#include "recording_surface.h"

RecordingSurface::RecordingSurface(int width, int height)
    : m_width(width)
    , m_height(height)
{ }

void RecordingSurface::setScale(double left, double top, double width, double height)
{
    m_recording = false;
    setScaleLeft(left);
    setScaleTop(top);
    setScaleWidth(width);
    setScaleHeight(height);
    m_recording = true;
}

void RecordingSurface::setScaleLeft(double v)
{
    PlotSurface::setScaleLeft(v);
    if (m_recording)
        calls.emplace_back(ScaleWrite {'L', ScaleLeft()});
}

void RecordingSurface::setScaleTop(double v)
{
    PlotSurface::setScaleTop(v);
    if (m_recording)
        calls.emplace_back(ScaleWrite {'T', ScaleTop()});
}

void RecordingSurface::setScaleWidth(double v)
{
    PlotSurface::setScaleWidth(v);
    if (m_recording)
        calls.emplace_back(ScaleWrite {'W', ScaleWidth()});
}

void RecordingSurface::setScaleHeight(double v)
{
    PlotSurface::setScaleHeight(v);
    if (m_recording)
        calls.emplace_back(ScaleWrite {'H', ScaleHeight()});
}

void RecordingSurface::drawSegment(float x1, float y1, float x2, float y2, QRgb colour)
{
    calls.emplace_back(Segment {x1, y1, x2, y2, colour, DrawStyle()});
}

void RecordingSurface::drawText(float x, float y, const QString &text)
{
    calls.emplace_back(Text {x, y, text});
}

double RecordingSurface::textWidth(const QString &text) const
{
    return text.size() * CharPixels * ScaleWidth() / m_width;
}

double RecordingSurface::lineHeight() const
{
    return LinePixels * ScaleHeight() / m_height;
}

double RecordingSurface::columnWidth() const
{
    return CharPixels * ScaleWidth() / m_width;
}

std::vector<RecordingSurface::Segment> RecordingSurface::segments() const
{
    std::vector<Segment> out;
    for (const Call &c : calls) {
        if (const auto *s = std::get_if<Segment>(&c))
            out.push_back(*s);
    }
    return out;
}

std::vector<RecordingSurface::Segment> RecordingSurface::segmentsIn(QRgb colour) const
{
    std::vector<Segment> out;
    for (const Segment &s : segments()) {
        if (s.colour == colour)
            out.push_back(s);
    }
    return out;
}

std::vector<RecordingSurface::Text> RecordingSurface::texts() const
{
    std::vector<Text> out;
    for (const Call &c : calls) {
        if (const auto *t = std::get_if<Text>(&c))
            out.push_back(*t);
    }
    return out;
}

QStringList RecordingSurface::printed() const
{
    QStringList out;
    for (const Text &t : texts())
        out << t.text;
    return out;
}
