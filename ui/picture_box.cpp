#include "picture_box.h"

#include <QPainter>

PictureBox::PictureBox(QWidget *parent, const QRect &geometry, Rgb background, Rgb foreground, const QFont &font)
    : QWidget(parent)
    , m_text(font)
    , m_surface(geometry.width(), geometry.height(), parent ? parent->devicePixelRatioF() : 1.0, background, foreground,
          m_text)
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
    painter.drawImage(QPoint(0, 0), m_text.image());
}
