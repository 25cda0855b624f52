#pragma once

#include <QImage>
#include <QPointF>

// Heights grow downward: a crest is the lowest row drawn in its colour, x the middle of its pixels; else (-1, -1).
inline QPointF crestOf(const QImage &image, QRgb colour)
{
    for (int y = image.height() - 1; y >= 0; --y) {
        int first = -1, last = -1;
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == colour) {
                first = first < 0 ? x : first;
                last = x;
            }
        }
        if (first >= 0)
            return {(first + last) / 2.0, double(y)};
    }
    return {-1, -1};
}
