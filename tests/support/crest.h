#pragma once

#include <QImage>
#include <QPointF>

// Heights grow downward on the plot, so a wave's crest is the lowest row
// drawn in its colour; x is the middle of that row's pixels. (-1, -1) when
// the colour is nowhere.
inline QPointF crestOf(const QImage &image, QRgb colour)
{
    for (int y = image.height() - 1; y >= 0; --y) {
        int first = -1;
        int last = -1;
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
