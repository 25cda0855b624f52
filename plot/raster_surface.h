#pragma once

#include "plot_surface.h"
#include "text_layout.h"

#include <QFont>
#include <QHash>
#include <QImage>
#include <QPainter>

#include <functional>
#include <memory>

// A plot surface whose persistent image is a QImage back buffer. The image has
// logicalSize x devicePixelRatio device pixels, so lines and text are drawn at
// full resolution on a HiDPI screen while Width() stays in logical pixels.
// There is no border: the inner area is the whole image.
//
// Mapping, in device pixels: px = (x - ScaleLeft) / ScaleWidth * width,
// py = (y - ScaleTop) / ScaleHeight * height; a point on the far edge itself
// (x = ScaleLeft + ScaleWidth) lands in the last pixel.
class RasterSurface final : public PlotSurface
{
public:
    RasterSurface(QSize logicalSize, qreal devicePixelRatio, QRgb background, QRgb foreground, const QFont &font);
    ~RasterSurface() override;

    int Width() const override { return m_logicalSize.width(); }
    // A new ratio (the window moved to a screen of another density) gives a
    // new, blank image of the matching device size; the same ratio does nothing.
    void setDevicePixelRatio(qreal devicePixelRatio);
    void Cls() override;
    void Refresh() override;

    // The image as drawn so far.
    const QImage &image() const { return m_image; }
    // Called by Refresh, so that whoever shows the image can repaint.
    void setPresenter(std::function<void()> presenter) { m_presenter = std::move(presenter); }

protected:
    void drawSegment(float x1, float y1, float x2, float y2, QRgb colour) override;
    void drawText(float x, float y, const QString &text) override;
    double textWidth(const QString &text) const override;
    double lineHeight() const override;
    double columnWidth() const override;

private:
    void allocateImage();
    QPainter &painter();
    // A one-pixel line between device pixels, written straight into the image.
    void plotLine(int x1, int y1, int x2, int y2, QRgb colour, bool dotted);
    double toDeviceX(double x) const;
    double toDeviceY(double y) const;
    double unitsPerPixelX() const;
    double unitsPerPixelY() const;

    QSize m_logicalSize;
    qreal m_dpr;
    // Of the image, set with it: the size in device pixels, and the side of
    // the square of device pixels that draws one logical pixel of a line.
    QSize m_deviceSize;
    int m_brush = 1;
    QRgb m_background;
    QRgb m_foreground;
    QFont m_font;
    QImage m_image;
    // The font's line height and average character width on the image, in
    // logical pixels.
    qreal m_lineHeight = 0;
    qreal m_columnWidth = 0;
    std::unique_ptr<QPainter> m_painter;
    const TextLayout &layout(const QString &text) const;

    // Grid numbers recur every frame and crest labels change with t: texts
    // are kept with the frame that last used them, and those of older frames
    // dropped once there are many.
    struct KeptLayout {
        TextLayout layout;
        unsigned frame = 0;
    };
    mutable QHash<QString, KeptLayout> m_layouts;
    // The text looked up last and its layout, valid until the next insertion,
    // which sets them anew.
    mutable QString m_lastText;
    mutable const TextLayout *m_lastLayout = nullptr;
    NumberSetter m_numbers;
    unsigned m_frame = 0;
    std::function<void()> m_presenter;
};
