// The page's module built natively: what the page reads back parses as JSON and holds the window table in CSS
// pixels and the state of the frame on screen; the plot's texts are set from the glyphs the page hands over.
#include "exports.h"
#include "glyph_painter.h"
#include "window_table.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <cstring>

class TestModule : public QObject
{
    Q_OBJECT

    // Null, which no comparison accepts, when the text is no JSON.
    static QJsonDocument json(const char *text)
    {
        return QJsonDocument::fromJson(QByteArray(text, qsizetype(textLength())));
    }
    static QJsonObject now() { return json(state()).object(); }
    static void type(Control box, std::string_view text)
    {
        std::memcpy(alloc(text.size()), text.data(), text.size());
        setText(int(box), text.size());
    }
    static std::uint32_t pixel(int x, int y) { return pixels()[y * deviceWidth() + x]; }

private slots:
    // Calls before the page has started the module, or naming no control, do nothing.
    void beforeInitAndStrangers()
    {
        load();
        tick();
        click(int(Control::Command1));
        QCOMPARE(
            QList<qint64>({qint64(pixels()), deviceWidth(), deviceHeight(), presented(), value(int(Control::ChkPause)),
                enabled(int(Control::ChkPause)), timerEnabled(), front(), qint64(textLength())}),
            QList<qint64>({0, 0, 0, 0, 0, 0, 0, int(Control::Picture1), 0}));
        QCOMPARE(QList<QByteArray>({state(), helpLines(), plotDescription()}), QList<QByteArray>({"null", "[]", ""}));
        init(2);
        setHelpFont(15, 7);
        load();
        QVERIFY(enabled(int(Control::Picture1))); // the first of the controls
        for (int c : {-1, ControlCount}) {
            click(c);
            setValue(c, 1);
            QVERIFY(!value(c) && !enabled(c));
        }
        QCOMPARE(presented(), 1u);
    }

    // The page builds its controls from the table: names, kinds, captions and colours, places in CSS pixels.
    void windowTable()
    {
        const QJsonObject table = json(::windowTable()).object();
        QCOMPARE(QList<QVariant>({table["caption"].toString(), table["width"].toInt(), table["height"].toInt(),
                     table["controls"].toArray().size(), timerInterval()}),
            QList<QVariant>({"Tarvelon 課題 8", 624, 419, ControlCount, 40}));
        QMap<QString, int> kinds;
        QStringList coloured;
        int ticked = 0;
        for (const QJsonValue c : table["controls"].toArray()) {
            kinds[c["kind"].toString()] += 1;
            ticked += c["value"].toInt();
            if (!c["colour"].isNull())
                coloured << c["name"].toString() + c["colour"].toString();
            if (c["name"] == "CmdHelp")
                QCOMPARE(c.toObject(),
                    QJsonObject({{"id", int(Control::CmdHelp)}, {"name", "CmdHelp"}, {"kind", "button"},
                        {"caption", "ヘルプ表示"}, {"colour", QJsonValue()}, {"left", 512}, {"top", 384},
                        {"width", 105}, {"height", 25}, {"tabIndex", 13}, {"value", 0}, {"accessibleName", ""},
                        {"accessibleDescription", ""}}));
        }
        QCOMPARE(kinds,
            (QMap<QString, int> {
                {"surface", 2}, {"option", 4}, {"label", 3}, {"textbox", 7}, {"checkbox", 6}, {"button", 4}}));
        QCOMPARE(coloured, QStringList({"OptChase(0)#ff0000", "OptChase(1)#00ff00", "OptChase(2)#0000ff"}));
        QCOMPARE(ticked, 6); // five boxes and following nothing
    }

    // One glyph for every character, a full and a faint column, 7 CSS pixels apart: at ratio 2 each text's box is 14
    // device pixels a character, and each glyph starts on its place in the text's colour, white or a graph's.
    void loadedFrame()
    {
        const std::uint8_t columns[] = {255, 64};
        for (const char c : GlyphPainter::Characters) {
            std::memcpy(alloc(2), columns, 2);
            setGlyph(c, 7, 0, 0, 2, 1);
        }
        setPlotFont(15, 7);
        click(int(Control::Command1));
        QCOMPARE(QList<int>({deviceWidth(), deviceHeight(), int(presented())}), QList<int>({1218, 674, 2}));
        const QJsonArray boxes = now()["TextBoxes"].toArray();
        int onLeftEdge = 0, onTopEdge = 0; // numbers along the edges start on their first pixel
        for (const QJsonValue box : boxes) {
            const auto [x, y, w] = std::tuple(box[0].toInt(), box[1].toInt(), box[2].toInt());
            onLeftEdge += x == 0;
            onTopEdge += y == 0;
            QVERIFY(w > 0 && w % 14 == 0 && box[3].toInt() == 30);
            for (int at = x; at < std::min(x + w, 1218); at += 14)
                QVERIFY(at < 0 || y < 0 || y >= 674
                    || QList<std::uint32_t>({0xffffffff, 0xff0000ff, 0xff00ff00, 0xffff0000}).contains(pixel(at, y)));
        }
        QVERIFY(onLeftEdge > 10 && onTopEdge > 10);
        QCOMPARE(pixel(1217, 673), 0xff000000); // the background, black
        setGlyph('(', 3.5, 0, 0, 0, 0); // no ink, half the room
        click(int(Control::Command1));
        QCOMPARE(now()["TextBoxes"].toArray().last()[2].toInt() % 14, 7); // a crest label, "(" its first character
        // Printed once at start-up in the metrics the page measured, columns of 7 pixels and lines of 15: the title two
        // print zones in on the second line, each body line one column in, blank lines between paragraphs.
        QList<QPoint> at;
        for (const QJsonValue line : json(helpLines()).array())
            at << QPoint(qRound(line["x"].toDouble() / 7), qRound(line["y"].toDouble() / 15));
        QCOMPARE(
            at, QList<QPoint>({{28, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 7}, {1, 8}, {1, 10}, {1, 11}, {1, 13}}));
    }

    // Typed text, boxes, presses and ticks reach the core; the state tells the frame on screen, exactly.
    void reactions()
    {
        type(TxtK(0), "-5");
        type(Control::TxtDT, "2.5");
        setValue(int(Control::ChkHoriAxis), 0);
        click(int(Control::Command1));
        tick();
        setDevicePixelRatio(0); // ignored
        tick();
        QJsonObject s = now();
        QCOMPARE(QList<QVariant>({s["K"].toArray().first().toDouble(), s["T"].toDouble(), s["Kmax"].toDouble(),
                     s["ChkHoriAxis"].toInt(), s["ChkVerAxis"].toInt(), enabled(int(Control::ChkHoriLabel)),
                     s["DevicePixelRatio"].toDouble(), float(s["ScaleWidth"].toDouble()), s["Presented"].toInt()}),
            QList<QVariant>({-5.0, 0.1, 5.0, 0, 1, 0, 2.0, 228.375f, 6}));
        setDevicePixelRatio(1);
        click(int(Control::CmdHelp));
        tick();
        QCOMPARE(QList<int>({front(), timerEnabled(), value(int(Control::ChkPause)), int(presented())}),
            QList<int>({int(Control::PicHelp), 0, 1, 6}));
        setValue(int(Control::ChkPause), 0);
        tick();
        QCOMPARE(QList<int>({front(), timerEnabled(), deviceWidth()}), QList<int>({int(Control::Picture1), 1, 609}));
    }

    // Blended into a red-and-blue-swapped image: clipped at its edges, its pen moved by the advance at the pixel
    // ratio, a character without a glyph taking the average width once for all its bytes.
    void glyphPainter()
    {
        GlyphPainter painter;
        const std::uint8_t columns[] = {255, 64};
        painter.setGlyph('1', 1.25, 0, 0, 2, 1, columns);
        painter.setMetrics(15, 3);
        std::uint32_t row[10];
        std::fill(std::begin(row), std::end(row), 0xff000000);
        painter.attach(row, 10, 1, 2, true);
        painter.draw(-1, 0, "12€1", MakeRgb(255, 0, 0)); // no glyph for 2 given: it takes no room
        QCOMPARE(QList<std::uint32_t>(std::begin(row), std::end(row)),
            QList<std::uint32_t>({0xff000040, 0xff000000, 0xff000000, 0xff000000, 0xff000000, 0xff000000, 0xff000000,
                0xff000000, 0xff0000ff, 0xff000040}));
        QCOMPARE(painter.advance("12€1"), 5.5);
    }
};

QTEST_APPLESS_MAIN(TestModule)
#include "tst_module.moc"
