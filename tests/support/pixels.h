#pragma once

#include <QImage>
#include <QPolygon>

enum class Pixels { In, NotIn };

// The pixels of `region` (the whole image when null), row by row, in the colour or in any other.
inline QPolygon pixels(const QImage &image, QRgb colour, Pixels which = Pixels::In, QRect region = {})
{
    QPolygon found;
    region = region.isNull() ? image.rect() : region;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x)
            if ((image.pixel(x, y) == colour) == (which == Pixels::In))
                found << QPoint(x, y);
    return found;
}

// Heights grow downward: a crest is the lowest row drawn in its colour, x the middle of its pixels; else (-1, -1).
inline QPointF crestOf(const QImage &image, QRgb colour)
{
    const QPolygon drawn = pixels(image, colour);
    if (drawn.isEmpty())
        return {-1, -1};
    const QRect row = pixels(image, colour, Pixels::In, {0, drawn.last().y(), image.width(), 1}).boundingRect();
    return {(row.left() + row.right()) / 2.0, double(row.y())};
}
