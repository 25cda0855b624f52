#pragma once

#include "rgb.h"

#include <cstdint>
#include <string_view>

// Draws text for a raster surface: each front-end with its own toolkit, into
// the surface's pixels, at the moment the surface prints it.
class TextPainter
{
public:
    virtual ~TextPainter() = default;

    // The surface has a new image: width x height device pixels of 32 bits,
    // row after row, at `ratio` device pixels a logical pixel, and with red and
    // blue swapped when `bgr` (0xffBBGGRR, a canvas's RGBA bytes). The painter
    // draws into it from now on; the old one is gone.
    virtual void attach(std::uint32_t *pixels, int width, int height, double ratio, bool bgr) = 0;
    // The image was cleared for a new frame.
    virtual void cleared() { }
    // One line of UTF-8 text with its top-left corner at device pixel (x, y),
    // in `colour`, on a transparent background.
    virtual void draw(int x, int y, std::string_view text, Rgb colour) = 0;
    // In logical pixels: how far the text moves the pen, the height of a line,
    // and the average width of a character.
    virtual double advance(std::string_view text) = 0;
    virtual double lineHeight() const = 0;
    virtual double averageCharWidth() const = 0;
};
