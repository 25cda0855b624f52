#pragma once

#include "plot_surface.h"

#include <map>
#include <string>
#include <vector>

// A plot surface that logs what is drawn, with fixed font metrics: 7 pixels a character, 15 a line of 609 x 337.
class RecordingSurface final : public PlotSurface
{
public:
    // A segment 'S', a text 'T' at (x1, y1), a Cls 'C' or a Refresh 'R'; the texts themselves are in `printed`.
    struct Call {
        char kind;
        float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        Rgb colour = 0;
        std::int16_t style = Solid;
    };
    std::vector<Call> calls;
    std::map<Rgb, int> segments; // of each colour
    std::vector<std::string> printed;
    int unrepresentableCount = 0;

    void setScale(double left, double top, double width, double height)
    {
        setScaleLeft(left);
        setScaleTop(top);
        setScaleWidth(width);
        setScaleHeight(height);
    }

    int Width() const override { return 609; }
    void Cls() override { calls.push_back({'C'}); }
    void Refresh() override { calls.push_back({'R'}); }

protected:
    void drawSegment(float x1, float y1, float x2, float y2, Rgb c) override
    {
        calls.push_back({'S', x1, y1, x2, y2, c, DrawStyle()});
        ++segments[c];
    }
    void drawText(float x, float y, std::string_view t) override
    {
        calls.push_back({'T', x, y, x, y});
        printed.emplace_back(t);
    }
    // In characters, as the texts are ASCII.
    double textWidth(std::string_view t) const override { return double(t.size()) * 7 * ScaleWidth() / 609; }
    double lineHeight() const override { return 15 * ScaleHeight() / 337; }
    double columnWidth() const override { return 7 * ScaleWidth() / 609; }
    void unrepresentable() override { ++unrepresentableCount; }
};
