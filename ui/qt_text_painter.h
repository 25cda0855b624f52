#pragma once

#include "text_layout.h"
#include "text_painter.h"

#include <QFont>
#include <QHash>
#include <QImage>
#include <QPainter>

#include <memory>

// Text drawn with Qt into a raster surface's pixels, in `font` at its design
// size (96 dpi) whatever the screen's.
class QtTextPainter final : public TextPainter
{
public:
    explicit QtTextPainter(const QFont &font);
    ~QtTextPainter() override;

    void attach(std::uint32_t *pixels, int width, int height, double ratio, bool bgr) override;
    void cleared() override { ++m_frame; }
    void draw(int x, int y, std::string_view text, Rgb colour) override;
    double advance(std::string_view text) override;
    double lineHeight() const override { return m_lineHeight; }
    double averageCharWidth() const override { return m_columnWidth; }

    // The surface's pixels as an image; a copy of it is a deep one.
    const QImage &image() const { return m_image; }

private:
    const TextLayout &layout(std::string_view utf8);

    QFont m_font;
    QImage m_image;
    // Open from frame to frame: opening one costs more than all the text of
    // a frame. While it is open, QImage makes every copy of the image deep, so
    // no copy changes later.
    std::unique_ptr<QPainter> m_painter;
    qreal m_lineHeight {};
    qreal m_columnWidth {};

    // Grid numbers recur every frame and crest labels change with t: texts
    // are kept with the frame that last used them, and those of older frames
    // dropped once there are many.
    struct KeptLayout {
        TextLayout layout;
        unsigned frame = 0;
    };
    QHash<QString, KeptLayout> m_layouts;
    // The text looked up last and its layout, valid until the next insertion,
    // which sets them anew: Print measures the text it has just drawn.
    QString m_lastText;
    const TextLayout *m_lastLayout = nullptr;
    NumberSetter m_numbers;
    unsigned m_frame = 0;
};
