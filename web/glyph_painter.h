#pragma once

#include "text_painter.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

// Draws the plot's texts, which are numbers only, from glyph masks the page
// rendered once in the browser's own font for the present pixel ratio.
class GlyphPainter final : public TextPainter
{
public:
    static constexpr std::string_view Characters = "0123456789.,()-";

    // A glyph's alpha coverage, width x height bytes, with its top-left corner
    // at (left, top) device pixels from the pen on the top of the line;
    // advance in logical pixels.
    void setGlyph(char c, double advance, int left, int top, int width, int height, const std::uint8_t *coverage);
    // Of the font, in logical pixels.
    void setMetrics(double lineHeight, double averageCharWidth);

    void attach(std::uint32_t *pixels, int width, int height, double ratio, bool bgr) override;
    void draw(int x, int y, std::string_view text, Rgb colour) override;
    double advance(std::string_view text) override;
    double lineHeight() const override { return m_lineHeight; }
    double averageCharWidth() const override { return m_averageCharWidth; }

private:
    struct Glyph {
        double advance {};
        int left {}, top {}, width {}, height {};
        std::vector<std::uint8_t> coverage;
    };
    // Null for a character the plot never prints.
    const Glyph *glyph(char c) const;
    // How far a byte of UTF-8 moves the pen, in logical pixels.
    double step(char c) const;
    void blend(const Glyph &g, int x, int y, std::uint32_t colour);

    std::array<Glyph, Characters.size()> m_glyphs;
    double m_lineHeight {};
    double m_averageCharWidth {};
    std::uint32_t *m_pixels {};
    int m_width {};
    int m_height {};
    double m_ratio {};
    bool m_bgr {};
};
