#pragma once

#include <QFont>
#include <QGlyphRun>
#include <QList>
#include <QPaintDevice>
#include <QRawFont>
#include <QString>

#include <optional>

// A text shaped once: its glyphs placed from its top-left corner, in logical
// pixels of the device it was laid out for, and how far it advances the pen.
struct TextLayout {
    QList<QGlyphRun> runs;
    qreal advance = 0;
};

// One line of text in font, laid out for device.
TextLayout ShapeText(const QString &text, const QFont &font, const QPaintDevice *device);

// Sets numbers (digits and the signs that go with them) glyph by glyph from
// the font's own glyphs and advances. Shaping costs tens of microseconds once
// its code has gone cold between two frames, and a crest label is a new text
// every frame; looking glyphs up costs a few. The layout is the one shaping
// gives, for fonts that set these characters side by side unchanged (no
// kerning, no ligature between them), which one shaping of every pair of
// them tells; for other fonts nothing is set here.
class NumberSetter
{
public:
    NumberSetter() = default;
    NumberSetter(const QFont &font, const QPaintDevice *device);

    // Nothing when text holds any other character, or the font needs shaping.
    std::optional<TextLayout> set(const QString &text) const;

private:
    QRawFont m_font;
    qreal m_baseline = 0;
};
