#include "raster_surface.h"

#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace {

// Fonts given in points render at the size the layout was designed for.
constexpr int DesignDotsPerMeter = 3780; // 96 dpi
// Device pixels beyond the image where clipped lines end: far enough that no
// clipped end shows, near enough that the line walk wastes no steps off the
// image and its integer coordinates cannot overflow.
constexpr double ClipMargin = 4.0;
// Text anchored further off than this cannot reach into the image.
constexpr double TextReach = 100000.0;
// Texts kept at most; several times what a frame shows, so that pruning is
// rare, and a bound too for a surface printed on without ever being cleared.
constexpr qsizetype KeptTexts = 128;
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
    for (int i = 0; i < 4; ++i) {
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
    QSize logicalSize, qreal devicePixelRatio, QRgb background, QRgb foreground, const QFont &font)
    : m_logicalSize(logicalSize)
    , m_dpr(devicePixelRatio > 0 ? devicePixelRatio : 1.0)
    , m_background(background)
    , m_foreground(foreground)
    , m_font(font)
{
    allocateImage();
}

RasterSurface::~RasterSurface() = default;

void RasterSurface::allocateImage()
{
    m_painter.reset();
    m_deviceSize = (QSizeF(m_logicalSize) * m_dpr).toSize();
    m_brush = std::max(1, int(std::lround(m_dpr)));
    m_image = QImage(m_deviceSize, QImage::Format_RGB32);
    m_image.setDevicePixelRatio(m_dpr);
    m_image.setDotsPerMeterX(DesignDotsPerMeter);
    m_image.setDotsPerMeterY(DesignDotsPerMeter);
    m_image.fill(m_background);
    // Measured once: each line of text asks for the height again.
    const QFontMetricsF metrics(m_font, &m_image);
    m_lineHeight = metrics.height();
    m_columnWidth = metrics.averageCharWidth();
    // What was laid out belongs to the old device.
    m_layouts.clear();
    m_lastLayout = nullptr;
    m_numbers = NumberSetter(m_font, &m_image);
}

void RasterSurface::setDevicePixelRatio(qreal devicePixelRatio)
{
    if (devicePixelRatio > 0 && devicePixelRatio != m_dpr) {
        m_dpr = devicePixelRatio;
        allocateImage();
    }
}

// The painter stays open from frame to frame: opening one costs more than all
// the text of a frame. It draws straight into the image's memory, and QImage
// makes a copy taken while it is open a deep one, so no copy changes later.
QPainter &RasterSurface::painter()
{
    if (!m_painter) {
        m_painter = std::make_unique<QPainter>(&m_image);
        // The painter only ever draws text.
        m_painter->setFont(m_font);
        m_painter->setPen(QColor::fromRgb(m_foreground));
    }
    return *m_painter;
}

void RasterSurface::Cls()
{
    m_image.fill(m_background);
    ++m_frame;
}

void RasterSurface::Refresh()
{
    if (m_presenter)
        m_presenter();
}

double RasterSurface::unitsPerPixelX() const
{
    return double(ScaleWidth()) / m_logicalSize.width();
}
double RasterSurface::unitsPerPixelY() const
{
    return double(ScaleHeight()) / m_logicalSize.height();
}

double RasterSurface::toDeviceX(double x) const
{
    return (x - ScaleLeft()) / ScaleWidth() * m_deviceSize.width();
}

double RasterSurface::toDeviceY(double y) const
{
    return (y - ScaleTop()) / ScaleHeight() * m_deviceSize.height();
}

void RasterSurface::drawSegment(float x1, float y1, float x2, float y2, QRgb colour)
{
    const int w = m_deviceSize.width();
    const int h = m_deviceSize.height();
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
    plotLine(snap(px1, w), snap(py1, h), snap(px2, w), snap(py2, h), colour, DrawStyle() == Dotted);
}

void RasterSurface::plotLine(int x1, int y1, int x2, int y2, QRgb colour, bool dotted)
{
    // One logical pixel is a square brush of m_brush device pixels; a dot is
    // one brush stamp and the gap after it one brush long.
    const int brush = m_brush;
    const int w = m_deviceSize.width();
    const int h = m_deviceSize.height();
    uchar *const bits = m_image.bits();
    const qsizetype stride = m_image.bytesPerLine();
    auto stamp = [&](int x, int y) {
        if (brush == 1) {
            if (x >= 0 && x < w && y >= 0 && y < h)
                reinterpret_cast<QRgb *>(bits + y * stride)[x] = colour;
            return;
        }
        for (int by = std::max(y, 0); by < std::min(y + brush, h); ++by) {
            auto *row = reinterpret_cast<QRgb *>(bits + by * stride);
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

void RasterSurface::drawText(float x, float y, const QString &text)
{
    const double px = toDeviceX(x);
    const double py = toDeviceY(y);
    if (!(std::abs(px) < TextReach && std::abs(py) < TextReach))
        return;
    const QPointF topLeft(std::floor(px + SnapEpsilon) / m_dpr, std::floor(py + SnapEpsilon) / m_dpr);
    for (const QGlyphRun &run : layout(text).runs)
        painter().drawGlyphRun(topLeft, run);
}

double RasterSurface::textWidth(const QString &text) const
{
    return layout(text).advance * unitsPerPixelX();
}

const TextLayout &RasterSurface::layout(const QString &text) const
{
    // Print measures the text it has just drawn.
    if (m_lastLayout && text == m_lastText)
        return *m_lastLayout;
    m_lastText = text;
    const auto kept = m_layouts.find(text);
    if (kept != m_layouts.end()) {
        kept->frame = m_frame;
        m_lastLayout = &kept->layout;
        return kept->layout;
    }
    if (m_layouts.size() >= KeptTexts) {
        m_layouts.removeIf([this](const auto &entry) {
            return entry.value().frame + 1 < m_frame;
        });
        if (m_layouts.size() >= KeptTexts)
            m_layouts.clear();
    }
    // One layout gives both the glyphs and the advance. Laid out for the
    // image, so the text has its design size whatever the screen's dpi.
    std::optional<TextLayout> number = m_numbers.set(text);
    TextLayout result = number ? *std::move(number) : ShapeText(text, m_font, &m_image);
    m_lastLayout = &m_layouts.insert(text, {std::move(result), m_frame})->layout;
    return *m_lastLayout;
}

double RasterSurface::lineHeight() const
{
    return m_lineHeight * unitsPerPixelY();
}

double RasterSurface::columnWidth() const
{
    return m_columnWidth * unitsPerPixelX();
}
