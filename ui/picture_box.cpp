#include "picture_box.h"

#include <QPainter>

PictureBox::PictureBox(QWidget *parent, const QRect &geometry, QRgb background, QRgb foreground, const QFont &font)
    : QWidget(parent)
    , m_surface(geometry.size(), parent ? parent->devicePixelRatioF() : 1.0, background, foreground, font)
{
    setGeometry(geometry);
    setFont(font);
    setFocusPolicy(Qt::NoFocus);
    // The image covers every pixel, so Qt need not erase underneath first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_surface.setPresenter([this] {
        update();
    });
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), m_surface.image());
}
