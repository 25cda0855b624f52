#pragma once

#include "single_precision.h"

#include "rgb.h"

#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

// A drawing area with a user coordinate system. User coordinates: x grows to
// the right from ScaleLeft over ScaleWidth units, y grows downward from
// ScaleTop over ScaleHeight units; both extents are positive in this program.
// Scale values and the current position are single precision; the setters and
// drawing operations take doubles and narrow them at the hand-over, so callers
// compute in double precision throughout.
//
// Drawing goes into a persistent image. A coordinate that is not finite or lies
// beyond the single-precision range never reaches the image: that line or text
// is skipped and drawing goes on.
class PlotSurface
{
public:
    enum DrawStyleKind : std::int16_t { Solid = 0, Dotted = 2 };
    // How a Print statement ends: with a line break, or with ';' (stay put).
    enum class PrintEnd { NewLine, Semicolon };

    virtual ~PlotSurface() = default;

    float ScaleLeft() const { return m_scaleLeft; }
    float ScaleTop() const { return m_scaleTop; }
    float ScaleWidth() const { return m_scaleWidth; }
    float ScaleHeight() const { return m_scaleHeight; }
    virtual void setScaleLeft(double v) { m_scaleLeft = narrow(v); }
    virtual void setScaleTop(double v) { m_scaleTop = narrow(v); }
    virtual void setScaleWidth(double v) { m_scaleWidth = narrow(v); }
    virtual void setScaleHeight(double v) { m_scaleHeight = narrow(v); }

    // Outer width in logical pixels.
    virtual int Width() const = 0;

    float CurrentX() const { return m_currentX; }
    float CurrentY() const { return m_currentY; }
    void setCurrentX(double v) { m_currentX = narrow(v); }
    void setCurrentY(double v) { m_currentY = narrow(v); }

    std::int16_t DrawStyle() const { return m_drawStyle; }
    void setDrawStyle(std::int16_t style) { m_drawStyle = style; }

    // Clears the whole image to the background colour.
    virtual void Cls() = 0;

    // A one-pixel line in the colour and the current DrawStyle; afterwards the
    // current position is the end point.
    void Line(double x1, double y1, double x2, double y2, Rgb colour)
    {
        const float fx1 = narrow(x1);
        const float fy1 = narrow(y1);
        m_currentX = narrow(x2);
        m_currentY = narrow(y2);
        if (std::isfinite(fx1) && std::isfinite(fy1) && std::isfinite(m_currentX) && std::isfinite(m_currentY))
            drawSegment(fx1, fy1, m_currentX, m_currentY, colour);
    }
    // The same from the current position.
    void Line(double x2, double y2, Rgb colour) { Line(m_currentX, m_currentY, x2, y2, colour); }

    // Texts are UTF-8. Draws the items one after another without gaps, top-left corner at the
    // current position, in the foreground colour on a transparent background.
    // CurrentX ends just right of the text; with a line break it then moves to
    // ScaleLeft of the next text line.
    void Print(std::initializer_list<std::string_view> items, PrintEnd end = PrintEnd::NewLine);

    // Print positioning: to the next print zone (every ZoneColumns columns of
    // the font's average character width) strictly right of CurrentX, and
    // forward by a number of blank columns.
    static constexpr int ZoneColumns = 14;
    void NextZone();
    void Spc(int columns);

    // Presents the persistent image on the screen now.
    virtual void Refresh() = 0;

protected:
    // Hooks with single-precision coordinates, all finite.
    virtual void drawSegment(float x1, float y1, float x2, float y2, Rgb colour) = 0;
    virtual void drawText(float x, float y, std::string_view text) = 0;
    // Font metrics in user units.
    virtual double textWidth(std::string_view text) const = 0;
    virtual double lineHeight() const = 0;
    virtual double columnWidth() const = 0;
    // Told each time a value handed over does not fit single precision (and
    // so was not drawn, or left the position unusable). Drawing code is meant
    // never to cause this; tests count it.
    virtual void unrepresentable() { }

private:
    // Inline, as Line: every sample of a curve passes here four times.
    float narrow(double v)
    {
        const float f = ToSingle(v);
        if (!std::isfinite(f))
            unrepresentable();
        return f;
    }

    float m_scaleLeft = 0.0f;
    float m_scaleTop = 0.0f;
    float m_scaleWidth = 1.0f;
    float m_scaleHeight = 1.0f;
    float m_currentX = 0.0f;
    float m_currentY = 0.0f;
    std::int16_t m_drawStyle = Solid;
};
