#pragma once

#include "plot_surface.h"
#include "text_painter.h"

#include <cstdint>
#include <functional>
#include <vector>

// A plot surface whose persistent image is a buffer of 32-bit pixels. The
// image has a logical size of width x height pixels and `ratio` device pixels
// a logical pixel, so lines and text are drawn at full resolution on a HiDPI
// screen while Width() stays in logical pixels. There is no border: the inner
// area is the whole image. Text goes to the front-end's TextPainter.
//
// Mapping, in device pixels: px = (x - ScaleLeft) / ScaleWidth * width,
// py = (y - ScaleTop) / ScaleHeight * height; a point on the far edge itself
// (x = ScaleLeft + ScaleWidth) lands in the last pixel.
class RasterSurface final : public PlotSurface
{
public:
    // Pixels as 0xffRRGGBB (Qt's RGB32), or as the bytes R, G, B, A in memory
    // (a canvas's ImageData on a little-endian machine).
    enum class Layout { Xrgb, Rgba };
    // Where a text was printed, in device pixels: its top-left corner, how far
    // it advanced the pen and one line high.
    struct TextBox {
        int x, y, width, height;
    };

    RasterSurface(int width, int height, double ratio, Rgb background, Rgb foreground, TextPainter &text,
        Layout layout = Layout::Xrgb);

    int Width() const override { return m_width; }
    int Height() const { return m_height; }
    // A new ratio (the window moved to a screen of another density) gives a
    // new, blank image of the matching device size; the same ratio does nothing.
    void setDevicePixelRatio(double ratio);
    double devicePixelRatio() const { return m_ratio; }
    void Cls() override;
    void Refresh() override;

    // The image as drawn so far, row after row, and its size in device pixels.
    const std::uint32_t *pixels() const { return m_pixels.data(); }
    int deviceWidth() const { return m_deviceWidth; }
    int deviceHeight() const { return m_deviceHeight; }
    // The texts printed since the last Cls.
    const std::vector<TextBox> &textBoxes() const { return m_textBoxes; }
    // Frames presented so far; whoever shows the image copies it when this moves.
    unsigned presented() const { return m_presented; }
    // Called by Refresh, so that whoever shows the image can repaint.
    void setPresenter(std::function<void()> presenter) { m_presenter = std::move(presenter); }

protected:
    void drawSegment(float x1, float y1, float x2, float y2, Rgb colour) override;
    void drawText(float x, float y, std::string_view text) override;
    double textWidth(std::string_view text) const override;
    double lineHeight() const override;
    double columnWidth() const override;

private:
    void allocateImage();
    // A one-pixel line between device pixels, written straight into the image.
    void plotLine(int x1, int y1, int x2, int y2, Rgb colour, bool dotted);
    Rgb devicePixel(Rgb colour) const;
    double toDeviceX(double x) const;
    double toDeviceY(double y) const;

    int m_width;
    int m_height;
    double m_ratio;
    // Of the image, set with it: the size in device pixels, and the side of
    // the square of device pixels that draws one logical pixel of a line.
    int m_deviceWidth {};
    int m_deviceHeight {};
    int m_brush {};
    Rgb m_background;
    Rgb m_foreground;
    TextPainter &m_text;
    Layout m_layout;
    std::vector<std::uint32_t> m_pixels;
    std::vector<TextBox> m_textBoxes;
    unsigned m_presented = 0;
    std::function<void()> m_presenter;
};
