// The frame the desktop program draws for the state the page reports (its JSON on stdin): the same surface, with
// Qt's text in the desktop's font. Writes the frame as PNG to the path given and prints where its texts lie, as
// JSON lines of [x, y, width, height] in device pixels.
#include "frame.h"
#include "qt_text_painter.h"
#include "raster_surface.h"

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
    QtTextPainter text(QApplication::font());
    RasterSurface s(609, 337, state["DevicePixelRatio"].toDouble(), qRgb(0, 0, 0), qRgb(255, 255, 255), text);
    s.setScaleLeft(state["ScaleLeft"].toDouble());
    s.setScaleTop(state["ScaleTop"].toDouble());
    s.setScaleWidth(state["ScaleWidth"].toDouble());
    s.setScaleHeight(state["ScaleHeight"].toDouble());
    WaveModel model {.GraphCount = 3, .T = state["T"].toDouble()};
    for (int i = 0; i < 3; ++i) {
        model.K[i] = state["K"][i].toDouble();
        model.C[i] = state["C"][i].toDouble();
    }
    const auto box = [&](const char *name) {
        return std::int16_t(state[name].toInt());
    };
    DrawGraph(s, model, {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)},
        {box("ChkHoriAxis"), box("ChkHoriLabel"), box("ChkVerAxis"), box("ChkVerLabel"), box("ChkMinLabel")});
    for (const RasterSurface::TextBox &t : s.textBoxes())
        std::printf("[%d, %d, %d, %d]\n", t.x, t.y, t.width, t.height);
    return text.image().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
