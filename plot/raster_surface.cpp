#include "raster_surface.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace {

// Device pixels beyond the image where clipped lines end: far enough that no
// clipped end shows, near enough that the line walk wastes no steps off the
// image and its integer coordinates cannot overflow.
constexpr double ClipMargin = 4.0;
// Text anchored further off than this cannot reach into the image.
constexpr double TextReach = 100000.0;
// Absorbs the last bits of rounding so that a sample computed as exactly pixel
// n does not fall into pixel n - 1.
constexpr double SnapEpsilon = 1e-7;

// Liang-Barsky: clips the segment to [lo, hi] on both axes; false when nothing
// of it lies inside.
bool clip(double &x1, double &y1, double &x2, double &y2, double loX, double hiX, double loY, double hiY)
{
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    double t0 = 0.0;
    double t1 = 1.0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x1 - loX, hiX - x1, y1 - loY, hiY - y1};
    for (std::size_t i = 0; i < std::size(p); ++i) {
        if (p[i] == 0.0) {
            if (q[i] < 0.0)
                return false;
            continue;
        }
        const double r = q[i] / p[i];
        if (p[i] < 0.0)
            t0 = std::max(t0, r);
        else
            t1 = std::min(t1, r);
        if (t0 > t1)
            return false;
    }
    const double ox = x1;
    const double oy = y1;
    x1 = ox + t0 * dx;
    y1 = oy + t0 * dy;
    x2 = ox + t1 * dx;
    y2 = oy + t1 * dy;
    return std::isfinite(x1) && std::isfinite(y1) && std::isfinite(x2) && std::isfinite(y2);
}

// The pixel a device coordinate falls in, the far edge counting as the last.
// Only for coordinates within ClipMargin of the image: there truncation is
// exact and floor, a library call on plain x86-64, is not needed.
int snap(double v, int pixels)
{
    const double shifted = v + SnapEpsilon;
    int p = int(shifted);
    if (p > shifted)
        --p;
    return p == pixels ? pixels - 1 : p;
}

} // namespace

RasterSurface::RasterSurface(
    int width, int height, double ratio, Rgb background, Rgb foreground, TextPainter &text, Layout layout)
    : m_width(width)
    , m_height(height)
    , m_ratio(ratio > 0 ? ratio : 1.0)
    , m_background(background)
    , m_foreground(foreground)
    , m_text(text)
    , m_layout(layout)
{
    allocateImage();
}

void RasterSurface::allocateImage()
{
    m_deviceWidth = int(std::lround(m_width * m_ratio));
    m_deviceHeight = int(std::lround(m_height * m_ratio));
    m_brush = std::max(1, int(std::lround(m_ratio)));
    m_pixels.assign(std::size_t(m_deviceWidth) * std::size_t(m_deviceHeight), devicePixel(m_background));
    m_textBoxes.clear();
    m_text.attach(m_pixels.data(), m_deviceWidth, m_deviceHeight, m_ratio, m_layout == Layout::Rgba);
}

void RasterSurface::setDevicePixelRatio(double ratio)
{
    if (ratio > 0 && ratio != m_ratio) {
        m_ratio = ratio;
        allocateImage();
    }
}

Rgb RasterSurface::devicePixel(Rgb colour) const
{
    return m_layout == Layout::Xrgb ? colour : SwapRedBlue(colour);
}

void RasterSurface::Cls()
{
    std::fill(m_pixels.begin(), m_pixels.end(), devicePixel(m_background));
    m_textBoxes.clear();
    m_text.cleared();
}

void RasterSurface::Refresh()
{
    ++m_presented;
    if (m_presenter)
        m_presenter();
}

double RasterSurface::toDeviceX(double x) const
{
    return (x - ScaleLeft()) / ScaleWidth() * m_deviceWidth;
}

double RasterSurface::toDeviceY(double y) const
{
    return (y - ScaleTop()) / ScaleHeight() * m_deviceHeight;
}

void RasterSurface::drawSegment(float x1, float y1, float x2, float y2, Rgb colour)
{
    const int w = m_deviceWidth;
    const int h = m_deviceHeight;
    // toDeviceX and toDeviceY with the scale and size read once for all four
    // ends; a curve is nearly all short segments.
    const double left = ScaleLeft();
    const double top = ScaleTop();
    const double scaleWidth = ScaleWidth();
    const double scaleHeight = ScaleHeight();
    double px1 = (x1 - left) / scaleWidth * w;
    double py1 = (y1 - top) / scaleHeight * h;
    double px2 = (x2 - left) / scaleWidth * w;
    double py2 = (y2 - top) / scaleHeight * h;
    auto near = [&](double x, double y) {
        return x >= -ClipMargin && x <= w + ClipMargin && y >= -ClipMargin && y <= h + ClipMargin;
    };
    // Most segments of a frame lie on the image and need no clipping.
    if (!(near(px1, py1) && near(px2, py2))) {
        // Clipping interpolates from the first end; from an end far off the
        // image rounding would swamp the visible part, so start from the
        // nearer one.
        const bool reversed = std::abs(px1) + std::abs(py1) > std::abs(px2) + std::abs(py2);
        if (reversed) {
            std::swap(px1, px2);
            std::swap(py1, py2);
        }
        if (!clip(px1, py1, px2, py2, -ClipMargin, w + ClipMargin, -ClipMargin, h + ClipMargin))
            return;
        if (reversed) {
            std::swap(px1, px2);
            std::swap(py1, py2);
        }
    }

    // Straight into the pixels; a painter open for text draws synchronously
    // into the same memory, so the two may interleave.
    plotLine(snap(px1, w), snap(py1, h), snap(px2, w), snap(py2, h), devicePixel(colour), DrawStyle() == Dotted);
}

void RasterSurface::plotLine(int x1, int y1, int x2, int y2, Rgb colour, bool dotted)
{
    // One logical pixel is a square brush of m_brush device pixels; a dot is
    // one brush stamp and the gap after it one brush long.
    const int brush = m_brush;
    const int w = m_deviceWidth;
    const int h = m_deviceHeight;
    std::uint32_t *const bits = m_pixels.data();
    auto stamp = [&](int x, int y) {
        if (brush == 1) {
            if (x >= 0 && x < w && y >= 0 && y < h)
                bits[std::size_t(y) * std::size_t(w) + std::size_t(x)] = colour;
            return;
        }
        for (int by = std::max(y, 0); by < std::min(y + brush, h); ++by) {
            std::uint32_t *row = bits + std::size_t(by) * std::size_t(w);
            for (int bx = std::max(x, 0); bx < std::min(x + brush, w); ++bx)
                row[bx] = colour;
        }
    };
    const int dx = std::abs(x2 - x1);
    const int ady = std::abs(y2 - y1);
    const int sx = x1 < x2 ? 1 : -1;
    const int sy = y1 < y2 ? 1 : -1;
    const int period = dotted ? 2 * brush : 1;
    // Rows, and lines at most one column wide (the grid's columns, and nearly
    // every segment of a curve, one sample per pixel), need no error term:
    // they step from dot to dot, changing column where Bresenham's walk below
    // takes its one diagonal step, after (ady - 1) / 2 steps.
    // Most of a curve is its flat parts, one pixel or two apart: both ends,
    // without a loop whose length keeps changing.
    if (dx <= 1 && ady <= 1 && period == 1) {
        stamp(x1, y1);
        stamp(x2, y2);
        return;
    }
    if (ady == 0) {
        for (int i = 0; i <= dx; i += period)
            stamp(x1 + i * sx, y1);
        return;
    }
    if (dx <= 1) {
        const int turn = dx == 0 ? ady : (ady - 1) / 2;
        for (int i = 0; i <= ady; i += period)
            stamp(i <= turn ? x1 : x2, y1 + i * sy);
        return;
    }
    // Bresenham, both end pixels included, so chained segments join.
    const int dy = -ady;
    int error = dx + dy;
    // Counts down the steps to the next dot; a division per pixel would cost
    // more than the whole step.
    int untilDot = 0;
    for (;;) {
        if (untilDot == 0) {
            stamp(x1, y1);
            untilDot = period;
        }
        --untilDot;
        if (x1 == x2 && y1 == y2)
            break;
        const int e2 = 2 * error;
        if (e2 >= dy) {
            error += dy;
            x1 += sx;
        }
        if (e2 <= dx) {
            error += dx;
            y1 += sy;
        }
    }
}

void RasterSurface::drawText(float x, float y, std::string_view text)
{
    const double px = toDeviceX(x);
    const double py = toDeviceY(y);
    if (!(std::abs(px) < TextReach && std::abs(py) < TextReach))
        return;
    const int left = int(std::floor(px + SnapEpsilon));
    const int top = int(std::floor(py + SnapEpsilon));
    m_text.draw(left, top, text, m_foreground);
    m_textBoxes.push_back(
        {left, top, int(std::ceil(m_text.advance(text) * m_ratio)), int(std::ceil(m_text.lineHeight() * m_ratio))});
}

double RasterSurface::textWidth(std::string_view text) const
{
    return m_text.advance(text) * ScaleWidth() / m_width;
}

double RasterSurface::lineHeight() const
{
    return m_text.lineHeight() * ScaleHeight() / m_height;
}

double RasterSurface::columnWidth() const
{
    return m_text.averageCharWidth() * ScaleWidth() / m_width;
}
