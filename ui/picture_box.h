#pragma once

#include "qt_text_painter.h"
#include "raster_surface.h"

#include <QAccessible>
#include <QWidget>

#include <functional>

// A drawing control: shows the persistent image of its raster surface, which
// has the control's size in logical pixels and the screen's pixel ratio, and
// draws its text with Qt. Painting only copies the image; all drawing goes
// through surface().
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    PictureBox(QWidget *parent, const QRect &geometry, Rgb background, Rgb foreground, const QFont &font);

    RasterSurface &surface() { return m_surface; }
    const QImage &image() const { return m_text.image(); }

    // What a screen reader is told of the picture: its role, and a description
    // worked out anew each time one asks, so that a picture that changes 25
    // times a second needs no event per frame. Without a describer the
    // description is the widget's accessibleDescription.
    QAccessible::Role accessibleRole() const { return m_role; }
    void setAccessibleRole(QAccessible::Role role) { m_role = role; }
    QString describe() const { return m_describe ? m_describe() : accessibleDescription(); }
    void setDescriber(std::function<QString()> describe) { m_describe = std::move(describe); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QtTextPainter m_text;
    RasterSurface m_surface;
    QAccessible::Role m_role = QAccessible::Graphic;
    std::function<QString()> m_describe;
};
