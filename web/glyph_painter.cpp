#include "glyph_painter.h"

#include <algorithm>
#include <cmath>

void GlyphPainter::setGlyph(
    char c, double advance, int left, int top, int width, int height, const std::uint8_t *coverage)
{
    const std::size_t i = Characters.find(c);
    if (i == std::string_view::npos || width < 0 || height < 0)
        return;
    Glyph &g = m_glyphs[i];
    g.advance = advance;
    g.left = left;
    g.top = top;
    g.width = width;
    g.height = height;
    g.coverage.assign(coverage, coverage + std::size_t(width) * std::size_t(height));
}

void GlyphPainter::setMetrics(double lineHeight, double averageCharWidth)
{
    m_lineHeight = lineHeight;
    m_averageCharWidth = averageCharWidth;
}

void GlyphPainter::attach(std::uint32_t *pixels, int width, int height, double ratio, bool bgr)
{
    m_pixels = pixels;
    m_width = width;
    m_height = height;
    m_ratio = ratio;
    m_bgr = bgr;
}

const GlyphPainter::Glyph *GlyphPainter::glyph(char c) const
{
    const std::size_t i = Characters.find(c);
    return i == std::string_view::npos ? nullptr : &m_glyphs[i];
}

double GlyphPainter::step(char c) const
{
    if (const Glyph *g = glyph(c))
        return g->advance;
    // A stranger, should one ever come, takes the room of an average
    // character once, not once for each of its UTF-8 bytes.
    return (c & 0xc0) != 0x80 ? m_averageCharWidth : 0;
}

double GlyphPainter::advance(std::string_view text)
{
    double sum = 0;
    for (const char c : text)
        sum += step(c);
    return sum;
}

void GlyphPainter::draw(int x, int y, std::string_view text, Rgb colour)
{
    if (!m_pixels)
        return;
    const std::uint32_t device = m_bgr ? SwapRedBlue(colour) : colour;
    // The pen moves in fractions of a device pixel and each glyph lands on the
    // pixel nearest to it, as the browser would place it in a line of text.
    double pen = x;
    for (const char c : text) {
        if (const Glyph *g = glyph(c))
            blend(*g, int(std::lround(pen)) + g->left, y + g->top, device);
        pen += step(c) * m_ratio;
    }
}

void GlyphPainter::blend(const Glyph &g, int x, int y, std::uint32_t colour)
{
    const int x0 = std::max(0, -x);
    const int x1 = std::min(g.width, m_width - x);
    const int y0 = std::max(0, -y);
    const int y1 = std::min(g.height, m_height - y);
    for (int gy = y0; gy < y1; ++gy) {
        const std::uint8_t *cover = g.coverage.data() + std::size_t(gy) * std::size_t(g.width);
        std::uint32_t *row = m_pixels + std::size_t(y + gy) * std::size_t(m_width);
        for (int gx = x0; gx < x1; ++gx) {
            const std::uint32_t a = cover[gx];
            if (a == 0)
                continue;
            const std::uint32_t dst = row[x + gx];
            std::uint32_t out = dst & 0xff000000u;
            // Each colour channel alike, so the byte order does not matter;
            // alpha stays as the image has it.
            for (int shift = 0; shift < 24; shift += 8) {
                const std::uint32_t d = dst >> shift & 0xffu;
                const std::uint32_t s = colour >> shift & 0xffu;
                out |= ((d * (255 - a) + s * a + 127) / 255) << shift;
            }
            row[x + gx] = out;
        }
    }
}
