#pragma once

#include "qt_text_painter.h"
#include "raster_surface.h"

#include <QFont>
#include <QImage>

// A raster surface with Qt's text, and its pixels as an image.
struct Raster {
    QtTextPainter text;
    RasterSurface surface;
    Raster(QSize size, double ratio, QRgb background, QRgb foreground, const QFont &font)
        : text(font)
        , surface(size.width(), size.height(), ratio, background, foreground, text)
    { }
    QImage image() const { return text.image(); }
};
