#include "frame.h"
#include "number_format.h"
#include "pixels.h"
#include "qt_text_painter.h"
#include "raster_surface.h"
#include "recording_surface.h"
#include "text_layout.h"

#include <QTest>

#include <cfloat>

class TestPlot : public QObject
{
    Q_OBJECT

    static constexpr QRgb Black = qRgb(0, 0, 0), Red = qRgb(255, 0, 0), White = qRgb(255, 255, 255);
    static QPolygon lit(const QImage &image) { return pixels(image, Black, Pixels::NotIn); }
    // Graph 0 alone, with k and C at t, on a surface showing `scale`.
    struct Frame {
        double k = 0, c = 0, t = 0;
        FrameSwitches switches {}; // every box ticked
        QRectF scale = {-76.125, -0.9, 228.375, 6.3};
    };

private slots:
    // One unit a pixel, from (-60, -30): the pixels' bounds, and how many there are, in the first column and in the
    // first row. Clipped from a far end, rounding would lose the visible part; a line one column wide steps over
    // halfway along, and a line two across at its middle.
    void lines_data()
    {
        QTest::addColumn<QLineF>("line");
        QTest::addColumn<bool>("dotted");
        QTest::addColumn<QRect>("bounds");
        QTest::addColumn<QList<int>>("counts");
        const auto row
            = [](const char *name, QLineF line, QRect bounds, const QList<int> &counts, bool dotted = false) {
                  QTest::newRow(name) << line << dotted << bounds << counts;
              };
        row("far corner is the last pixel", {609, 337, 609, 337}, {608, 336, 1, 1}, {1, 1, 1});
        row("edge to edge", {0, 48, 609, 48}, {0, 48, 609, 1}, {609, 1, 609});
        row("clipped to the right", {152, 48, 1e38, 48}, {152, 48, 457, 1}, {457, 1, 457});
        row("clipped from far left", {-3e38, 48, 152, 48}, {0, 48, 153, 1}, {153, 1, 153});
        row("from just off the left edge", {-10, 48, 152, 48}, {0, 48, 153, 1}, {153, 1, 153});
        row("clipped to far below", {152, 0, 152, 1e38}, {152, 0, 1, 337}, {337, 337, 1});
        row("clipped from far below", {152, 1e38, 152, 0}, {152, 0, 1, 337}, {337, 337, 1});
        row("up and left, both ends outside", {700, 710, -100, -90}, {0, 10, 327, 327}, {327, 1, 1});
        row("two across, one down", {10, 20, 12, 21}, {10, 20, 3, 2}, {3, 1, 1});
        row("two across, four down", {10, 20, 12, 24}, {10, 20, 3, 5}, {5, 1, 1});
        row("one across, one down", {10, 20, 11, 21}, {10, 20, 2, 2}, {2, 1, 1});
        row("one across, two down", {10, 20, 11, 22}, {10, 20, 2, 3}, {3, 1, 1});
        row("one across, three down", {10, 20, 11, 23}, {10, 20, 2, 4}, {4, 2, 1});
        row("one across, eight down", {10, 20, 11, 28}, {10, 20, 2, 9}, {9, 4, 1});
        row("one across, eight up", {10, 20, 11, 12}, {10, 12, 2, 9}, {9, 4, 1});
        row("dotted, one across, one down", {10, 20, 11, 21}, {10, 20, 1, 1}, {1, 1, 1}, true);
        row("dotted, one across, eight down", {10, 20, 11, 28}, {10, 20, 2, 9}, {5, 2, 1}, true);
    }
    void lines()
    {
        QFETCH(QLineF, line);
        QFETCH(bool, dotted);
        QFETCH(QRect, bounds);
        QtTextPainter r {QFont()};
        RasterSurface s(609, 337, 1, Black, Black, r);
        s.setScaleLeft(-60);
        s.setScaleTop(-30);
        s.setScaleWidth(609);
        s.setScaleHeight(337);
        s.setDrawStyle(dotted ? PlotSurface::Dotted : PlotSurface::Solid);
        line.translate(-60, -30);
        s.Line(line.x1(), line.y1(), line.x2(), line.y2(), Red);
        const QPolygon drawn = lit(r.image());
        QCOMPARE(drawn.boundingRect(), bounds);
        const auto in = [&](QRect part) {
            return int(pixels(r.image(), Black, Pixels::NotIn, part).size());
        };
        QTEST(QList<int>({int(drawn.size()), in(bounds.adjusted(0, 0, 1 - bounds.width(), 0)),
                  in(bounds.adjusted(0, 0, 0, 1 - bounds.height()))}),
            "counts");
        s.Cls();
        QVERIFY(lit(r.image()).isEmpty());
    }

    // Numbers set glyph by glyph are laid out as shaping lays them out, or
    // left to shaping where the font would set them otherwise.
    void numbersSetAsShaped_data()
    {
        QTest::addColumn<QFont>("font");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("set");
        QFont spaced;
        spaced.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
        QTest::newRow("crest label") << QFont() << QStringLiteral("(2.72,-0.50)") << true;
        QTest::newRow("help page's face") << QFont(QStringLiteral("IPAPGothic"), 14) << QStringLiteral("-1.25") << true;
        QTest::newRow("letter spacing") << spaced << QStringLiteral("(2.72,-0.50)") << false;
        QTest::newRow("not a number") << QFont() << QStringLiteral("k=1") << false;
    }
    void numbersSetAsShaped()
    {
        QFETCH(QFont, font);
        QFETCH(QString, text);
        QImage device(1, 1, QImage::Format_RGB32);
        const std::optional<TextLayout> set = NumberSetter(font, &device).set(text);
        QTEST(set.has_value(), "set");
        const TextLayout shaped = ShapeText(text, font, &device);
        QVERIFY(!set
            || (set->advance == shaped.advance && set->runs.size() == 1
                && set->runs[0].glyphIndexes() == shaped.runs[0].glyphIndexes()
                && set->runs[0].positions() == shaped.runs[0].positions()));
    }

    // One unit a logical pixel (for text two down), which is two device pixels square, dots included, to the edges.
    // Text starts at the position and moves it to just past its end.
    void textAndDots()
    {
        constexpr qreal dpr = 2;
        QtTextPainter r {QFont()};
        RasterSurface s(609, 337, dpr, Black, White, r);
        s.setScaleWidth(609);
        s.setScaleHeight(674);
        s.setCurrentX(50);
        s.setCurrentY(100);
        s.Print({"(", "1.000", ",", "-0.50", ")"}, PlotSurface::PrintEnd::Semicolon);
        const QRectF text = QRectF(lit(r.image()).boundingRect()).adjusted(0, 0, 1, 1);
        QVERIFY(text.left() >= 50 * dpr && text.left() < 52 * dpr && text.top() >= 50 * dpr && text.top() < 56 * dpr);
        QVERIFY(text.width() > 13 * 4 * dpr && std::abs(text.right() / dpr - s.CurrentX()) < 6);
        s.Print({"1"}, PlotSurface::PrintEnd::Semicolon); // another text, laid out anew
        QVERIFY(s.textBoxes().back().width * 5 < s.textBoxes().front().width);
        s.Print({}); // a line break: back to the left edge, one line of the font further down
        QCOMPARE(QPointF(s.CurrentX(), s.CurrentY()), QPointF(0, 100 + 2 * QFontMetricsF(QFont()).height()));
        s.setScaleHeight(337);
        s.Cls();
        s.setDrawStyle(PlotSurface::Dotted);
        s.Line(0, 0, 400, 0, Red);
        QCOMPARE(QRectF(lit(r.image()).boundingRect()), QRectF(0, 0, 401 * dpr, dpr));
        QCOMPARE(QList<int>({int(lit(r.image()).size()), s.Width()}), QList<int>({int(201 * dpr * dpr), 609}));
    }

    // Whole numbers beyond 2^53, whose shortest text ends in zeros that the value lacks, against their exact digits.
    void wholeNumbers_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("pattern");
        QTest::newRow("single 1e17, #0") << double(1e17F) << "#0";
        QTest::newRow("single -1e20, ##") << double(-1e20F) << "##";
        QTest::newRow("largest single, 0.000") << double(FLT_MAX) << "0.000";
        QTest::newRow("2^64 + 2^12, 0.0") << 0x1.0000000000001p64 << "0.0";
    }
    void wholeNumbers()
    {
        QFETCH(double, value);
        QFETCH(QString, pattern);
        __extension__ using Exact = unsigned __int128; // holds every whole single exactly
        QString digits;
        for (auto n = Exact(std::abs(value)); n != 0; n /= 10)
            digits.prepend(QChar('0' + int(n % 10)));
        QCOMPARE(QString::fromStdString(Format(value, pattern.toStdString())),
            (value < 0 ? "-" : "") + digits + (pattern.startsWith("0.") ? pattern.mid(1) : ""));
    }

    // Everything printed ("*": not compared), counts of grey and white lines, red segments and texts, and never a
    // value beyond single precision. The white line on x = 0 and the crest label are drawn wherever they lie.
    void frame_data()
    {
        QTest::addColumn<Frame>("frame");
        QTest::addColumn<QString>("printed");
        QTest::addColumn<QList<int>>("drawn");
        // 13 lines s = 1/2 apart across, -0 shown as 0.0; 15 down, s = 16, from -80; a sample a pixel, 610 passes.
        QTest::newRow("design view") << Frame {1}
                                     << "1.0 0.5 0.0 -0.5 -1.0 -1.5 -2.0 -2.5 -3.0 -3.5 -4.0 -4.5 -5.0 "
                                        "-80 -64 -48 -32 -16 0 16 32 48 64 80 96 112 128 144 (0,-0.50)"
                                     << QList<int> {28, 1, 610, 29};
        // The crest label alone: two or three significant digits of the single-precision position, whole from 100.
        QTest::newRow("label of negative k: crest 4 - 5.9996 / (-2), rounded up to 10")
            << Frame {-2, 11.9992, 1, {0, 1, 0, 1, 1}} << "(10.00,-2.0)" << QList<int> {0, 0, 610, 1};
        QTest::newRow("label beyond 2^53: every digit of the single") << Frame {1, 0, 21240000553156610.0,
            {0, 1, 0, 1, 1}} << "(21240000553156608,-0.50)" << QList<int> {0, 0, 610, 1};
        QTest::newRow("label at 99.999999, single 100")
            << Frame {1, 0, 99.999999, {0, 1, 0, 1, 1}} << "(100,-0.50)" << QList<int> {0, 0, 610, 1};
        QTest::newRow("k 0: a flat line, no label; 2 counts as cleared")
            << Frame {0, 0, 0, {2, 1, 1, 0, 1}} << "" << QList<int> {15, 1, 1, 0};
        // s = 1/64, two decimals, ties away from 0; the last line at 28 lies right of the edge; the running sum of
        // the inexact step 40 / 609 stays within the end.
        QTest::newRow("fine heights, numbers down cleared")
            << Frame {2, -2, 0, {1, 1, 1, 0, 1}, {-10, -0.025, 40, 0.175}}
            << "0.03 0.02 0.00 -0.02 -0.03 -0.05 -0.06 -0.08 -0.09 -0.11 -0.13 -0.14 (1.000,-2.0)"
            << QList<int> {23, 1, 610, 13};
        // ## leaves the line on 0 unnumbered; the sum of the step 10 / 609 carries the last sample past the end.
        QTest::newRow("heights numbered ##")
            << Frame {3, 0, 0.5, {1, 1, 1, 1, 1}, {-5, -5, 10, 10}}
            << "5 4 3 2 1 -1 -2 -3 -4 -5 -5 -4 -3 -2 -1 0 1 2 3 4 5 (4.50,-4.5)" << QList<int> {22, 1, 609, 22};
        // 1e30 is 2^113 spacings of 2^-13 from 0: the running sums of grid lines and samples stand still.
        QTest::newRow("far from 0, the step no longer moves")
            << Frame {1, 0, 0, {1, 1, 1, 1, 1}, {1e30, 1e30, 1e-3, 1e-3}} << "*" << QList<int> {2, 1, 610, 3};
        // s = 2^124 from -2^128, beyond the single range; 17 lines each way. Numbers near the far edges end past the
        // largest single, and so would their line breaks: the position rests on the edge instead.
        QTest::newRow("from the lowest single to 0")
            << Frame {1, 0, 0, {1, 1, 1, 1, 1}, {-FLT_MAX, -FLT_MAX, FLT_MAX, FLT_MAX}} << "*"
            << QList<int> {34, 1, 609, 34};
        // Lines 8 s .. 23 s, and samples, half of them and every far end past the largest single.
        QTest::newRow("from 2^127 over the largest extent") << Frame {1, 0, 0, {1, 1, 1, 1, 1},
            {0x1p127, 0x1p127, FLT_MAX, FLT_MAX}} << "*" << QList<int> {32, 1, 305, 33};
        QTest::newRow("extents of 0: no grid")
            << Frame {1, 0, 0, {1, 1, 1, 1, 1}, {-10, -1, 0, 0}} << "*" << QList<int> {0, 0, 610, 1};
        QTest::newRow("extents not a number: no grid, no curve")
            << Frame {1, 0, 0, {1, 1, 1, 1, 1}, {-10, -1, qQNaN(), qQNaN()}} << "(0,-0.50)" << QList<int> {0, 0, 0, 1};
        // Only the crest sample at 0 is out of range: the segments into and out of it go, and so does its label.
        QTest::newRow("crest height beyond single: k 1e20") << Frame {1e20} << "*" << QList<int> {28, 1, 608, 28};
        QTest::newRow("crest abscissa -1e39: label skipped") << Frame {1e-39, 1} << "*" << QList<int> {28, 1, 610, 28};
    }
    void frame()
    {
        QFETCH(Frame, frame);
        QFETCH(QString, printed);
        QFETCH(QList<int>, drawn);
        RecordingSurface pic;
        pic.setScale(frame.scale.left(), frame.scale.top(), frame.scale.width(), frame.scale.height());
        pic.unrepresentableCount = 0; // a scale that is no number is itself a bad hand-over
        const GraphColors colours {Red, qRgb(0, 255, 0), qRgb(0, 0, 255)};
        DrawGraph(pic, {.GraphCount = 1, .K = {frame.k}, .C = {frame.c}, .T = frame.t}, colours, frame.switches);
        const QList<int> counts {pic.segments[qRgb(128, 128, 128)], pic.segments[White], pic.segments[Red],
            int(pic.printed.size()), pic.unrepresentableCount};
        QCOMPARE(counts, drawn << 0);
        QStringList texts;
        for (const std::string &t : pic.printed)
            texts << QString::fromStdString(t);
        QVERIFY(printed == "*" || texts.join(' ') == printed);
        // Cleared first and presented last; grid lines dotted across the view, x = 0 white, curves solid.
        QVERIFY(pic.calls.front().kind == 'C' && pic.calls.back().kind == 'R');
        const float left = pic.ScaleLeft(), right = static_cast<float>(left + double(pic.ScaleWidth())),
                    top = pic.ScaleTop(), bottom = static_cast<float>(top + double(pic.ScaleHeight()));
        for (const RecordingSurface::Call &c : pic.calls) {
            const bool across = c.y1 == c.y2 && c.x1 == left && c.x2 == right;
            const bool down = c.x1 == c.x2 && c.y1 == top && c.y2 == bottom && (c.colour != White || c.x1 == 0);
            QVERIFY(c.kind != 'S' || (c.style == PlotSurface::Dotted) == (c.colour != Red));
            QVERIFY(c.kind != 'S' || (c.colour == Red && frame.k) || printed == "*" || across || down);
        }
    }
};

QTEST_MAIN(TestPlot)
#include "tst_plot.moc"
