// The program as a WebAssembly module for the page: the window's core behind
// a flat set of C functions. The page builds the controls from the window
// table, hands their events on and reads the state back after every call.
// Texts cross as UTF-8: inward through the buffer alloc returns, outward as a
// pointer to the result whose size textLength then tells.

#include "exports.h"
#include "form1.h"
#include "glyph_painter.h"
#include "help_page.h"
#include "window_table.h"

#include <algorithm>
#include <charconv>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// Natively the same functions, for the tests.
#ifdef __wasm__
#define EXPORT(name) extern "C" __attribute__((export_name(name)))
#else
#define EXPORT(name) extern "C"
#endif

namespace {

// Of the plot area, and of the help panel on the same place, in CSS pixels.
int plotWidth()
{
    return ToPixels(Design(Control::Picture1).width);
}

int plotHeight()
{
    return ToPixels(Design(Control::Picture1).height);
}

class Host final : public FormHost
{
public:
    Host()
    {
        for (const ControlDesign &design : WindowTable()) {
            if (design.kind == ControlKind::TextBox)
                texts[std::size_t(design.id)] = design.caption;
        }
    }
    std::string Text(Control box) const override { return texts[std::size_t(box)]; }
    double DevicePixelRatio() const override { return ratio; }
    // The page reads everything back after each call anyway.
    void StateChanged() override { }

    std::array<std::string, ControlCount> texts;
    double ratio {};
};

// The help panel prints once; the page shows its lines as real text, placed
// where they were printed, in the font whose metrics it measured.
class HelpPanel final : public PlotSurface
{
public:
    struct Line {
        double x, y;
        std::string text;
    };

    int Width() const override { return plotWidth(); }
    void Cls() override { lines.clear(); }
    void Refresh() override { }

    std::vector<Line> lines;
    // In CSS pixels.
    double fontLineHeight {};
    double fontColumnWidth {};

protected:
    void drawSegment(float, float, float, float, Rgb) override { }
    void drawText(float x, float y, std::string_view text) override
    {
        // The panel's scale starts at 0, its top-left corner.
        lines.push_back({x / ScaleWidth() * plotWidth(), y / ScaleHeight() * plotHeight(), std::string(text)});
    }
    // Every line of the help page ends in a line break, which places the next
    // text anew: where a text ends never shows.
    double textWidth(std::string_view) const override { return 0; }
    double lineHeight() const override { return fontLineHeight * ScaleHeight() / plotHeight(); }
    double columnWidth() const override { return fontColumnWidth * ScaleWidth() / plotWidth(); }
};

struct Program {
    explicit Program(double ratio)
        : picture(plotWidth(), plotHeight(), ratio, MakeRgb(0, 0, 0), MakeRgb(255, 255, 255), glyphs,
            RasterSurface::Layout::Rgba)
        , form(picture, help, host)
    {
        host.ratio = picture.devicePixelRatio();
    }

    GlyphPainter glyphs;
    Host host;
    RasterSurface picture;
    HelpPanel help;
    Form1 form;
    bool loaded = false;
};

std::unique_ptr<Program> program;
std::vector<std::uint8_t> scratch;
std::string result;

bool isControl(int c)
{
    return c >= 0 && c < ControlCount;
}

// The texts that cross as JSON are the program's own, none with a quote, a
// backslash or a control character; the tests parse every result.
void appendQuoted(std::string &s, std::string_view text)
{
    s += '"';
    s += text;
    s += '"';
}

void appendNumber(std::string &s, double v, int digits = 17)
{
    char buf[32];
    // The model keeps every number finite; an infinity would make the JSON fail to parse, which tests would see.
    s.append(buf, std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, digits).ptr);
}

void appendField(std::string &s, std::string_view name)
{
    if (s.back() != '{')
        s += ',';
    appendQuoted(s, name);
    s += ':';
}

std::string_view kindName(ControlKind kind)
{
    switch (kind) {
    case ControlKind::Surface:
        return "surface";
    case ControlKind::Option:
        return "option";
    case ControlKind::Label:
        return "label";
    case ControlKind::TextBox:
        return "textbox";
    case ControlKind::CheckBox:
        return "checkbox";
    case ControlKind::Button:
        break;
    }
    return "button";
}

const char *give(std::string text)
{
    result = std::move(text);
    return result.c_str();
}

} // namespace

// A buffer of at least size bytes for the page to write into, valid until the
// next call of alloc; it may grow the memory.
EXPORT("alloc") std::uint8_t *alloc(std::size_t size)
{
    scratch.resize(std::max<std::size_t>(size, 1));
    return scratch.data();
}

// Size in bytes of the text the last text function returned.
EXPORT("textLength") std::size_t textLength()
{
    return result.size();
}

// Creates the window at `ratio` device pixels a CSS pixel, not loaded yet; a
// window made before goes.
EXPORT("init") void init(double ratio)
{
    program = std::make_unique<Program>(ratio);
}

// One of GlyphPainter::Characters, its coverage the first width x height
// bytes of the buffer.
EXPORT("setGlyph") void setGlyph(int c, double advance, int left, int top, int width, int height)
{
    if (program && width >= 0 && height >= 0 && std::size_t(width) * std::size_t(height) <= scratch.size())
        program->glyphs.setGlyph(char(c), advance, left, top, width, height, scratch.data());
}

EXPORT("setPlotFont") void setPlotFont(double lineHeight, double averageCharWidth)
{
    if (program)
        program->glyphs.setMetrics(lineHeight, averageCharWidth);
}

EXPORT("setHelpFont") void setHelpFont(double lineHeight, double averageCharWidth)
{
    if (program) {
        program->help.fontLineHeight = lineHeight;
        program->help.fontColumnWidth = averageCharWidth;
    }
}

// Prints the help page and draws the first frame; once, after the fonts.
EXPORT("load") void load()
{
    if (program && !program->loaded) {
        program->loaded = true;
        program->form.Form_Load();
    }
}

// A text box's text: the first length bytes of the buffer.
EXPORT("setText") void setText(int box, std::size_t length)
{
    if (program && isControl(box) && Design(Control(box)).kind == ControlKind::TextBox)
        program->host.texts[std::size_t(box)].assign(
            reinterpret_cast<const char *>(scratch.data()), std::min(length, scratch.size()));
}

EXPORT("setValue") void setValue(int c, int value)
{
    if (program && program->loaded && isControl(c))
        program->form.SetValue(Control(c), std::int16_t(value != 0));
}

EXPORT("click") void click(int c)
{
    if (program && program->loaded && isControl(c))
        program->form.Click(Control(c));
}

EXPORT("tick") void tick()
{
    if (program && program->loaded && program->form.TimerEnabled())
        program->form.Timer1_Timer();
}

// Takes effect with the next frame drawn; the picture keeps its ratio for
// one that is no positive number.
EXPORT("setDevicePixelRatio") void setDevicePixelRatio(double ratio)
{
    if (program)
        program->host.ratio = ratio;
}

EXPORT("value") int value(int c)
{
    return program && isControl(c) ? program->form.Value(Control(c)) : 0;
}

EXPORT("enabled") int enabled(int c)
{
    return program && isControl(c) && program->form.Enabled(Control(c));
}

EXPORT("front") int front()
{
    return program ? int(program->form.Front()) : int(Control::Picture1);
}

EXPORT("timerEnabled") int timerEnabled()
{
    return program && program->loaded && program->form.TimerEnabled();
}

EXPORT("timerInterval") int timerInterval()
{
    return TimerIntervalMs;
}

EXPORT("presented") unsigned presented()
{
    return program ? program->picture.presented() : 0;
}

// The plot's image, deviceWidth x deviceHeight pixels as RGBA bytes.
EXPORT("pixels") const std::uint32_t *pixels()
{
    return program ? program->picture.pixels() : nullptr;
}

EXPORT("deviceWidth") int deviceWidth()
{
    return program ? program->picture.deviceWidth() : 0;
}

EXPORT("deviceHeight") int deviceHeight()
{
    return program ? program->picture.deviceHeight() : 0;
}

// JSON: the window's caption and client size, and every control of the table
// in its order with places in CSS pixels.
EXPORT("windowTable") const char *windowTable()
{
    std::string s = "{";
    appendField(s, "caption");
    appendQuoted(s, FormCaption);
    appendField(s, "width");
    s += std::to_string(ClientWidth);
    appendField(s, "height");
    s += std::to_string(ClientHeight);
    appendField(s, "controls");
    s += '[';
    for (const ControlDesign &design : WindowTable()) {
        s += s.back() == '[' ? "{" : ",{";
        appendField(s, "id");
        s += std::to_string(int(design.id));
        appendField(s, "name");
        appendQuoted(s, design.name);
        appendField(s, "kind");
        appendQuoted(s, kindName(design.kind));
        appendField(s, "caption");
        appendQuoted(s, design.caption);
        appendField(s, "colour");
        if (design.captionColour != 0) {
            std::string hex = "#";
            for (int shift = 20; shift >= 0; shift -= 4)
                hex += "0123456789abcdef"[design.captionColour >> shift & 15];
            appendQuoted(s, hex);
        } else {
            s += "null";
        }
        for (const auto &[name, twips] : {std::pair {"left", design.left}, std::pair {"top", design.top},
                 std::pair {"width", design.width}, std::pair {"height", design.height}}) {
            appendField(s, name);
            s += std::to_string(ToPixels(twips));
        }
        appendField(s, "tabIndex");
        s += std::to_string(design.tabIndex);
        appendField(s, "value");
        s += std::to_string(design.value);
        appendField(s, "accessibleName");
        appendQuoted(s, design.accessibleName);
        appendField(s, "accessibleDescription");
        appendQuoted(s, design.accessibleDescription);
        s += '}';
    }
    return give(s + "]}");
}

// The help page's lines, a line break between them, for measuring the font
// before the page is printed.
EXPORT("helpText") const char *helpText()
{
    return give(HelpText());
}

// JSON: the help page as printed, [{"x", "y", "text"}], in CSS pixels.
EXPORT("helpLines") const char *helpLines()
{
    std::string s = "[";
    for (const HelpPanel::Line &line : program ? program->help.lines : std::vector<HelpPanel::Line> {}) {
        s += s.size() == 1 ? "{" : ",{";
        appendField(s, "x");
        appendNumber(s, line.x, 9);
        appendField(s, "y");
        appendNumber(s, line.y, 9);
        appendField(s, "text");
        appendQuoted(s, line.text);
        s += '}';
    }
    return give(s + "]");
}

EXPORT("plotDescription") const char *plotDescription()
{
    return give(program ? program->form.PlotDescription() : std::string());
}

// JSON for tests: the model of the frame on screen (time has moved on since),
// the plot's scale, the check boxes, the follow
// choice, the pixel ratio and where the last frame printed its texts.
EXPORT("state") const char *state()
{
    if (!program)
        return give("null");
    const Form1 &form = program->form;
    const WaveModel &shown = form.ShownFrame();
    const RasterSurface &picture = program->picture;
    std::string s = "{";
    for (const auto &[name, values] : {std::pair {"K", &shown.K}, std::pair {"C", &shown.C}}) {
        appendField(s, name);
        s += '[';
        for (const double v : *values) {
            if (s.back() != '[')
                s += ',';
            appendNumber(s, v);
        }
        s += ']';
    }
    for (const auto &[name, v] :
        {std::pair {"T", shown.T}, std::pair {"DT", shown.DT}, std::pair {"Kmax", shown.Kmax}}) {
        appendField(s, name);
        appendNumber(s, v);
    }
    // Single precision: nine digits tell each value exactly.
    for (const auto &[name, v] :
        {std::pair {"ScaleLeft", picture.ScaleLeft()}, std::pair {"ScaleTop", picture.ScaleTop()},
            std::pair {"ScaleWidth", picture.ScaleWidth()}, std::pair {"ScaleHeight", picture.ScaleHeight()}}) {
        appendField(s, name);
        appendNumber(s, v, 9);
    }
    for (const ControlDesign &design : WindowTable()) {
        if (design.kind == ControlKind::CheckBox) {
            appendField(s, design.name);
            s += std::to_string(form.Value(design.id));
        }
    }
    appendField(s, "ChaseIndex");
    s += std::to_string(form.ChaseIndex);
    appendField(s, "DevicePixelRatio");
    appendNumber(s, picture.devicePixelRatio());
    appendField(s, "Presented");
    s += std::to_string(picture.presented());
    appendField(s, "TextBoxes");
    s += '[';
    for (const RasterSurface::TextBox &box : picture.textBoxes()) {
        if (s.back() != '[')
            s += ',';
        s += '[' + std::to_string(box.x) + ',' + std::to_string(box.y) + ',' + std::to_string(box.width) + ','
            + std::to_string(box.height) + ']';
    }
    return give(s + "]}");
}
