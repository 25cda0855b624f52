#pragma once

#include "raster_surface.h"

#include <QWidget>

// A drawing control: shows the persistent image of its raster surface, which
// has the control's size in logical pixels and the screen's pixel ratio.
// Painting only copies the image; all drawing goes through surface().
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    PictureBox(QWidget *parent, const QRect &geometry, QRgb background, QRgb foreground, const QFont &font);

    RasterSurface &surface() { return m_surface; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    RasterSurface m_surface;
};
