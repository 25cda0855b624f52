#include "raster_surface.h"

#include <algorithm>
#include <cmath>

namespace {

// Fonts given in points render at the size the layout was designed for.
constexpr int DesignDotsPerMeter = 3780; // 96 dpi
// Device pixels beyond the image where clipped lines end: far enough that no
// clipped end shows, near enough for the rasteriser's fixed-point arithmetic.
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
double snap(double v, int pixels)
{
    const double p = std::floor(v + SnapEpsilon);
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
    , m_image((QSizeF(logicalSize) * m_dpr).toSize(), QImage::Format_RGB32)
{
    m_image.setDevicePixelRatio(m_dpr);
    m_image.setDotsPerMeterX(DesignDotsPerMeter);
    m_image.setDotsPerMeterY(DesignDotsPerMeter);
    m_image.fill(m_background);
    m_metrics = std::make_unique<QFontMetricsF>(m_font, &m_image);
    // Cosmetic: one logical pixel wide whatever the pixel ratio, drawn pixel by
    // pixel so that a curve's tip and the dots of the grid land exactly.
    m_pen.setCosmetic(true);
    m_pen.setWidthF(std::max(1.0, std::round(m_dpr)));
}

RasterSurface::~RasterSurface() = default;

QPainter &RasterSurface::painter()
{
    if (!m_painter) {
        m_painter = std::make_unique<QPainter>(&m_image);
        m_painter->setFont(m_font);
        m_painter->setPen(m_pen);
    }
    return *m_painter;
}

void RasterSurface::endPainting()
{
    m_painter.reset();
}

const QImage &RasterSurface::image()
{
    endPainting();
    return m_image;
}

void RasterSurface::Cls()
{
    endPainting();
    m_image.fill(m_background);
}

void RasterSurface::Refresh()
{
    endPainting();
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
    return (x - ScaleLeft()) / ScaleWidth() * m_image.width();
}

double RasterSurface::toDeviceY(double y) const
{
    return (y - ScaleTop()) / ScaleHeight() * m_image.height();
}

void RasterSurface::drawSegment(float x1, float y1, float x2, float y2, QRgb colour)
{
    double px1 = toDeviceX(x1);
    double py1 = toDeviceY(y1);
    double px2 = toDeviceX(x2);
    double py2 = toDeviceY(y2);
    const int w = m_image.width();
    const int h = m_image.height();
    // Clipping interpolates from the first end; from an end far off the image
    // rounding would swamp the visible part, so start from the nearer one.
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

    const Qt::PenStyle style = DrawStyle() == Dotted ? Qt::DotLine : Qt::SolidLine;
    QPainter &p = painter();
    if (m_pen.color().rgb() != colour || m_pen.style() != style) {
        m_pen.setColor(QColor::fromRgb(colour));
        m_pen.setStyle(style);
        if (style == Qt::DotLine)
            m_pen.setDashPattern({1.0, 1.0});
        // Square caps would fill the gaps of a pen wider than one device pixel.
        m_pen.setCapStyle(style == Qt::DotLine ? Qt::FlatCap : Qt::SquareCap);
        p.setPen(m_pen);
    }
    const QPointF from(snap(px1, w), snap(py1, h));
    const QPointF to(snap(px2, w), snap(py2, h));
    if (from == to) {
        // Qt puts a line of no length a pixel below and right of its centre;
        // fill the pixel (the pen's square at higher ratios) itself.
        const qreal side = m_pen.widthF();
        p.fillRect(QRectF(from / m_dpr, QSizeF(side, side) / m_dpr), m_pen.color());
        return;
    }
    // Through pixel centres: a line between two samples covers exactly their pixels.
    const QPointF centre(0.5, 0.5);
    p.drawLine((from + centre) / m_dpr, (to + centre) / m_dpr);
}

void RasterSurface::drawText(float x, float y, const QString &text)
{
    const double px = toDeviceX(x);
    const double py = toDeviceY(y);
    if (!(std::abs(px) < TextReach && std::abs(py) < TextReach))
        return;
    QPainter &p = painter();
    p.setPen(QColor::fromRgb(m_foreground));
    const QPointF topLeft(std::floor(px + SnapEpsilon) / m_dpr, std::floor(py + SnapEpsilon) / m_dpr);
    p.drawText(topLeft + QPointF(0, m_metrics->ascent()), text);
    p.setPen(m_pen);
}

double RasterSurface::textWidth(const QString &text) const
{
    return m_metrics->horizontalAdvance(text) * unitsPerPixelX();
}

double RasterSurface::lineHeight() const
{
    return m_metrics->height() * unitsPerPixelY();
}

double RasterSurface::columnWidth() const
{
    return m_metrics->averageCharWidth() * unitsPerPixelX();
}
