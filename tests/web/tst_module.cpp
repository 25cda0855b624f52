// The window's core as the page drives it, through its module built natively: no toolkit, no display. The
// reactions; what the page reads back, as JSON that parses: the window table in CSS pixels, the state of the frame
// on screen; the plot's texts set from the glyphs the page hands over.
#include "exports.h"
#include "glyph_painter.h"
#include "pixels.h"
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
    static QImage image()
    {
        return QImage(
            reinterpret_cast<const uchar *>(pixels()), deviceWidth(), deviceHeight(), QImage::Format_RGBA8888);
    }
    // A new window at the pixel ratio, loaded with the help page's metrics and no glyphs: its texts take no room.
    static void start(double ratio)
    {
        init(ratio);
        setHelpFont(15, 7);
        load();
    }
    static float scale(const char *side) { return float(now()[QLatin1String("Scale") + side].toDouble()); }
    // Presses ("Name") and changes ("Name=value"), by the controls' names.
    static void act(const QString &changes)
    {
        for (const QString &change : changes.split(' ', Qt::SkipEmptyParts)) {
            const std::string name = change.section('=', 0, 0).toStdString();
            const int c = int(std::ranges::find(WindowTable(), name, &ControlDesign::name)->id);
            change.contains('=') ? setValue(c, change.section('=', 1).toInt()) : click(c);
        }
    }

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
        start(0); // a ratio that is no positive number: 1
        QCOMPARE(deviceWidth(), 609);
        start(2);
        QVERIFY(enabled(int(Control::Picture1))); // the first of the controls
        for (int c : {-1, ControlCount}) {
            click(c);
            setValue(c, 1);
            QVERIFY(!value(c) && !enabled(c));
        }
        QCOMPARE(presented(), 1u);
    }

    // All three crests start together on x = 0, one third of the width in; each tick draws the time before its step.
    // The plot tells a screen reader the crests of the frame on screen.
    void startUpAndTicks()
    {
        start(1);
        QJsonObject s = now();
        QCOMPARE(QList<float>({float(s["T"].toDouble()), float(s["Kmax"].toDouble()), float(s["DT"].toDouble()),
                     float(s["ChaseIndex"].toDouble()), scale("Left"), scale("Top"), scale("Width"), scale("Height")}),
            QList<float>({0, 3, 0.04f, -1, -76.125f, -0.9f, 228.375f, 6.3f}));
        QCOMPARE(QList<QPointF>({crestOf(image(), qRgb(0, 255, 0)), crestOf(image(), qRgb(0, 0, 255))}),
            QList<QPointF>({{203, 155}, {203, 288}}));
        QCOMPARE(QString(plotDescription()),
            "頂点の座標: グラフ1 (赤) の頂点 (0,-0.50)、グラフ2 (緑) の頂点 (0,-2.0)、グラフ3 (青) の頂点 (0,-4.5)");
        QCOMPARE(json(helpLines()).array().size(), 10); // the help page, printed once
        // Read whole, all 40002 characters, k is -5: the second tick draws the red crest at x = 25 t = 1.
        type(TxtK(0), '-' + std::string(40000, '0') + '5');
        type(TxtK(1), "0");
        click(int(Control::Command1));
        tick();
        tick();
        s = now();
        QCOMPARE(QList<double>({s["T"].toDouble(), s["Kmax"].toDouble(), crestOf(image(), qRgb(255, 0, 0)).x()}),
            QList<double>({0.04, 5, 206})); // the nearest sample, x = 1.125
        QCOMPARE(QString(plotDescription()),
            "頂点の座標: グラフ1 (赤) の頂点 (1.000,-13)、グラフ2 (緑) は高さ 0 の平らな直線、"
            "グラフ3 (青) の頂点 (0.360,-4.5)");
    }

    // A control's change, then what the window holds: the pause box, the timer, the surface in front, the enabled
    // flags of the two label boxes, the follow choice, and whether the picture was drawn anew.
    void reactions_data()
    {
        QTest::addColumn<QString>("changes");
        QTest::addColumn<QList<int>>("state");
        QTest::newRow("pause") << "ChkPause=1" << QList<int> {1, 0, 0, 1, 1, -1, 0};
        QTest::newRow("help while running: paused and covered; cleared pause runs in front")
            << "CmdHelp ChkPause=0" << QList<int> {0, 1, 0, 1, 1, -1, 0};
        QTest::newRow("help twice, apply behind it") << "CmdHelp CmdHelp Command1" << QList<int> {1, 0, 1, 1, 1, -1, 1};
        QTest::newRow("grid boxes disable their label boxes, which keep their ticks")
            << "ChkHoriAxis=0 ChkVerAxis=0 ChkVerAxis=1" << QList<int> {0, 1, 0, 0, 1, -1, 0};
        QTest::newRow("follow 3, then 2; a second selection changes nothing")
            << "OptChase(2)=1 OptChase(1)=1 OptChase(1)=1" << QList<int> {0, 1, 0, 1, 1, 1, 0};
        QTest::newRow("follow nothing again") << "OptChase(0)=1 OptNoChase=1" << QList<int> {0, 1, 0, 1, 1, -1, 0};
        QTest::newRow("zoom presses draw nothing") << "CmdWide CmdNarrow" << QList<int> {0, 1, 0, 1, 1, -1, 0};
    }
    void reactions()
    {
        QFETCH(QString, changes);
        start(1);
        const unsigned shown = presented();
        act(changes);
        QTEST(QList<int>({now()["ChkPause"].toInt(), timerEnabled(), front() == int(Control::PicHelp),
                  enabled(int(Control::ChkHoriLabel)), enabled(int(Control::ChkVerLabel)), now()["ChaseIndex"].toInt(),
                  int(presented() - shown)}),
            "state");
        int selected = 0;
        for (Control option : {OptChase(0), OptChase(1), OptChase(2), Control::OptNoChase})
            selected += value(int(option));
        QCOMPARE(QList<int>({selected, value(int(Control::ChkHoriLabel)), value(int(Control::ChkVerLabel))}),
            QList<int>({1, 1, 1}));
    }

    // Zoom presses and the graph followed show from the next frame on, its crest one third of the width in; apply
    // places graph 1 whatever is followed. A pixel ratio that is no positive number leaves the picture as it is.
    void nextFrameFollowsZoomAndGraph()
    {
        start(2);
        act("CmdNarrow CmdNarrow CmdWide");
        QCOMPARE(scale("Width"), 190.3125f);
        const double third = 190.3125 / 3;
        type(TxtC(1), "3"); // graph 2's crest at -3 / 2 + 4 t, graph 3's at 8 / 3 + 9 t, graph 1's at t
        type(TxtC(2), "-8");
        act("Command1 OptChase(2)=1");
        QCOMPARE(scale("Left"), float(-third));
        setDevicePixelRatio(0);
        tick();
        QCOMPARE(QList<float>({scale("Left"), float(deviceWidth())}), QList<float>({float(8.0 / 3 - third), 1218}));
        act("OptChase(0)=1");
        setDevicePixelRatio(1);
        tick();
        act("OptNoChase=1");
        tick();
        QCOMPARE(QList<float>({scale("Left"), float(deviceWidth())}), QList<float>({float(0.04 - third), 609}));
        click(int(Control::Command1));
        QCOMPARE(scale("Left"), float(-third));
    }

    // The page builds its controls from the table: names, kinds, captions and colours, places in CSS pixels.
    void windowTable()
    {
        const QJsonObject table = json(::windowTable()).object();
        QCOMPARE(QList<QVariant>({table["caption"].toString(), table["width"].toInt(), table["height"].toInt(),
                     table["controls"].toArray().size(), timerInterval()}),
            QList<QVariant>({"Tarvelon 課題 8", 624, 419, ControlCount, 40}));
        QStringList coloured;
        int ticked = 0;
        for (const QJsonValue c : table["controls"].toArray()) {
            ticked += c["value"].toInt();
            if (!c["colour"].isNull())
                coloured << c["name"].toString() + c["colour"].toString();
            if (c["name"] == "CmdHelp")
                QCOMPARE(QList<QJsonValue>({c["left"], c["top"], c["width"], c["height"], c["tabIndex"], c["kind"]}),
                    QList<QJsonValue>({512, 384, 105, 25, 13, "button"}));
        }
        QCOMPARE(coloured, QStringList({"OptChase(0)#ff0000", "OptChase(1)#00ff00", "OptChase(2)#0000ff"}));
        QCOMPARE(ticked, 6); // five boxes and following nothing
    }

    // One glyph for every character, a full and a faint column, 7 CSS pixels apart: at ratio 2 each text's box is 14
    // device pixels a character, and each glyph starts on its place in the text's colour, white or a graph's.
    void loadedFrame()
    {
        start(2);
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

    // Blended into a red-and-blue-swapped image: clipped at its edges, its pen moved by the advance at the pixel
    // ratio, a character without a glyph taking the average width once for all its bytes.
    void glyphPainter()
    {
        GlyphPainter painter;
        const std::uint8_t coverage[] = {255, 64, 64, 255}; // two columns, two rows
        painter.setGlyph('1', 1.25, 0, 0, 2, 2, coverage);
        painter.setMetrics(15, 3);
        std::uint32_t rows[30]; // the third stays as it is
        std::fill(std::begin(rows), std::end(rows), 0xff000000);
        painter.attach(rows, 10, 3, 2, true);
        painter.draw(-1, 0, "12€1", MakeRgb(255, 0, 0)); // no glyph for 2 given: it takes no room
        QList<std::uint32_t> want(30, 0xff000000);
        want[0] = want[9] = want[18] = 0xff000040;
        want[8] = want[10] = want[19] = 0xff0000ff;
        QCOMPARE(QList<std::uint32_t>(std::begin(rows), std::end(rows)), want);
        QCOMPARE(painter.advance("12€1"), 5.5);
    }
};

QTEST_APPLESS_MAIN(TestModule)
#include "tst_module.moc"
