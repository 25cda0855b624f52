#include "text_layout.h"

#include <QTextLayout>

namespace {

constexpr QStringView NumberCharacters = u"0123456789.,()-";

bool isNumber(const QString &text)
{
    for (const QChar c : text) {
        if (!NumberCharacters.contains(c))
            return false;
    }
    return !text.isEmpty();
}

} // namespace

TextLayout ShapeText(const QString &text, const QFont &font, const QPaintDevice *device)
{
    QTextLayout shaped(text, font, device);
    shaped.beginLayout();
    QTextLine line = shaped.createLine();
    line.setLeadingIncluded(true);
    shaped.endLayout();
    return {shaped.glyphRuns(), line.horizontalAdvance()};
}

NumberSetter::NumberSetter(const QFont &font, const QPaintDevice *device)
{
    QString pairs;
    for (const QChar first : NumberCharacters) {
        for (const QChar second : NumberCharacters)
            pairs.append(first).append(second);
    }
    const TextLayout shaped = ShapeText(pairs, font, device);
    // More than one run: some character comes from a fallback font.
    if (shaped.runs.size() != 1)
        return;
    const QGlyphRun &run = shaped.runs.front();
    const QRawFont raw = run.rawFont();
    const QList<quint32> glyphs = raw.glyphIndexesForString(pairs);
    const QList<QPointF> advances = raw.advancesForGlyphIndexes(glyphs);
    const QList<QPointF> positions = run.positions();
    if (run.glyphIndexes() != glyphs || positions.size() != glyphs.size())
        return;
    qreal x = 0;
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        if (positions[i] != QPointF(x, positions.front().y()) || advances[i].y() != 0)
            return;
        x += advances[i].x();
    }
    if (x != shaped.advance)
        return;
    m_font = raw;
    m_baseline = positions.front().y();
}

std::optional<TextLayout> NumberSetter::set(const QString &text) const
{
    if (!m_font.isValid() || !isNumber(text))
        return std::nullopt;
    const QList<quint32> glyphs = m_font.glyphIndexesForString(text);
    const QList<QPointF> advances = m_font.advancesForGlyphIndexes(glyphs);
    QList<QPointF> positions;
    positions.reserve(glyphs.size());
    qreal x = 0;
    for (const QPointF &advance : advances) {
        positions.append(QPointF(x, m_baseline));
        x += advance.x();
    }
    QGlyphRun run;
    run.setRawFont(m_font);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    return TextLayout {{run}, x};
}
