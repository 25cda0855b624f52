#include "qt_text_painter.h"

#include <QFontMetricsF>

namespace {

// Fonts given in points render at the size the layout was designed for.
constexpr int DesignDotsPerMeter = 3780; // 96 dpi
// Texts kept at most; several times what a frame shows, so that pruning is
// rare, and a bound too for a surface printed on without ever being cleared.
constexpr qsizetype KeptTexts = 128;

} // namespace

QtTextPainter::QtTextPainter(const QFont &font)
    : m_font(font)
{ }

QtTextPainter::~QtTextPainter() = default;

void QtTextPainter::attach(std::uint32_t *pixels, int width, int height, double ratio, bool bgr)
{
    m_painter.reset();
    m_image = QImage(reinterpret_cast<uchar *>(pixels), width, height,
        qsizetype(width) * qsizetype(sizeof(std::uint32_t)), bgr ? QImage::Format_RGBX8888 : QImage::Format_RGB32);
    m_image.setDevicePixelRatio(ratio);
    m_image.setDotsPerMeterX(DesignDotsPerMeter);
    m_image.setDotsPerMeterY(DesignDotsPerMeter);
    // Measured once: each line of text asks for the height again.
    const QFontMetricsF metrics(m_font, &m_image);
    m_lineHeight = metrics.height();
    m_columnWidth = metrics.averageCharWidth();
    // What was laid out belongs to the old device.
    m_layouts.clear();
    m_lastLayout = nullptr;
    m_numbers = NumberSetter(m_font, &m_image);
    m_painter = std::make_unique<QPainter>(&m_image);
    m_painter->setFont(m_font);
}

void QtTextPainter::draw(int x, int y, std::string_view text, Rgb colour)
{
    if (m_painter->pen().color().rgb() != colour)
        m_painter->setPen(QColor::fromRgb(colour));
    const qreal ratio = m_image.devicePixelRatio();
    for (const QGlyphRun &run : layout(text).runs)
        m_painter->drawGlyphRun(QPointF(x / ratio, y / ratio), run);
}

double QtTextPainter::advance(std::string_view text)
{
    return layout(text).advance;
}

const TextLayout &QtTextPainter::layout(std::string_view utf8)
{
    const QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
    if (m_lastLayout && text == m_lastText)
        return *m_lastLayout;
    m_lastText = text;
    const auto kept = m_layouts.find(text);
    if (kept != m_layouts.end()) {
        kept->frame = m_frame;
        m_lastLayout = &kept->layout;
        return kept->layout;
    }
    if (m_layouts.size() >= KeptTexts) {
        m_layouts.removeIf([this](const auto &entry) {
            return entry.value().frame + 1 < m_frame;
        });
        if (m_layouts.size() >= KeptTexts)
            m_layouts.clear();
    }
    // One layout gives both the glyphs and the advance. Laid out for the
    // image, so the text has its design size whatever the screen's dpi.
    std::optional<TextLayout> number = m_numbers.set(text);
    TextLayout result = number ? *std::move(number) : ShapeText(text, m_font, &m_image);
    m_lastLayout = &m_layouts.insert(text, {std::move(result), m_frame})->layout;
    return *m_lastLayout;
}
