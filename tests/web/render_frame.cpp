// The frame the desktop program draws for a state the page reports: the same surface, with Qt's text in the
// desktop's font. Reads the state as JSON on stdin, writes the frame as PNG to the path given, and prints where
// its texts lie as JSON lines of [x, y, width, height] in device pixels.
#include "frame.h"
#include "raster.h"

#include <QApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QFile in;
    if (argc != 2 || !in.open(stdin, QIODevice::ReadOnly))
        return 2;
    const QJsonObject state = QJsonDocument::fromJson(in.readAll()).object();
    const QJsonArray k = state["K"].toArray(), c = state["C"].toArray(), scale = state["scale"].toArray(),
                     boxes = state["switches"].toArray();
    Raster pic(QSize(609, 337), state["ratio"].toDouble(), qRgb(0, 0, 0), qRgb(255, 255, 255), QApplication::font());
    RasterSurface &s = pic.surface;
    s.setScaleLeft(scale[0].toDouble());
    s.setScaleTop(scale[1].toDouble());
    s.setScaleWidth(scale[2].toDouble());
    s.setScaleHeight(scale[3].toDouble());
    WaveModel model {.GraphCount = 3, .T = state["T"].toDouble()};
    for (int i = 0; i < 3; ++i) {
        model.K[i] = k[i].toDouble();
        model.C[i] = c[i].toDouble();
    }
    const auto box = [&](int i) {
        return std::int16_t(boxes[i].toInt());
    };
    DrawGraph(s, model, {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)}, {box(0), box(1), box(2), box(3), box(4)});
    for (const RasterSurface::TextBox &t : s.textBoxes())
        std::printf("[%d, %d, %d, %d]\n", t.x, t.y, t.width, t.height);
    return pic.image().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
