#include "grid.h"

#include "recording_surface.h"
#include "test_registry.h"

#include <QTest>

#include <cmath>
#include <limits>

namespace {

constexpr QRgb Grey = qRgb(128, 128, 128);
constexpr QRgb White = qRgb(255, 255, 255);
constexpr double Largest = std::numeric_limits<float>::max();

} // namespace

class TestGrid : public QObject
{
    Q_OBJECT

    static QString at(double x, double y) { return QString("%1,%2").arg(float(x), 0, 'g', 9).arg(float(y), 0, 'g', 9); }
    static QString line(const char *colour, double x1, double y1, double x2, double y2)
    {
        return QStringLiteral("%1 %2 %3").arg(QLatin1String(colour), at(x1, y1), at(x2, y2));
    }
    static QString number(const QString &text, double x, double y) { return '"' + text + "\" at " + at(x, y); }
    // Every call in order, spelt like the expectations; anything not dotted or
    // foreign to the grid is marked so.
    static QStringList trace(const RecordingSurface &pic)
    {
        QStringList out;
        for (const RecordingSurface::Call &call : pic.calls) {
            if (const auto *s = std::get_if<RecordingSurface::Segment>(&call)) {
                const char *colour = s->colour == Grey ? "grey" : s->colour == White ? "white" : "other colour";
                out << line(colour, s->x1, s->y1, s->x2, s->y2)
                        + (s->style == PlotSurface::Dotted ? "" : " not dotted");
            } else if (const auto *t = std::get_if<RecordingSurface::Text>(&call)) {
                out << number(t->text, t->x, t->y);
            } else {
                out << QStringLiteral("other call");
            }
        }
        return out;
    }

    static QStringList wholes(int first, int step)
    {
        QStringList out;
        for (int i = 0; i < 11; ++i)
            out << QString::number(first + i * step);
        return out;
    }

    // The frame draws the grid dotted.
    static void draw(RecordingSurface &pic, bool vertical, std::int16_t labels)
    {
        pic.setDrawStyle(PlotSurface::Dotted);
        vertical ? Draw_VerticalAxis(pic, labels) : Draw_HorizontalAxis(pic, labels);
    }

    struct Extreme {
        bool vertical;
        double nearEdge, extent;
        std::int16_t labels;
        int fewest, most;
    };

private slots:
    // Lines lie at first, first + step, ...; one number per line, "" where none shows.
    void lines_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<double>("nearEdge");
        QTest::addColumn<double>("extent");
        QTest::addColumn<double>("first");
        QTest::addColumn<double>("step");
        QTest::addColumn<QStringList>("numbers");

        QTest::newRow("Kmax 3: s 1/2, first line above the edge, -0 shows as 0.0")
            << false << -0.9 << 6.3 << -1.0 << 0.5
            << QStringList {
                   "1.0", "0.5", "0.0", "-0.5", "-1.0", "-1.5", "-2.0", "-2.5", "-3.0", "-3.5", "-4.0", "-4.5", "-5.0"};
        QTest::newRow("Kmax 2: s 1/4 with one decimal, ties away from 0")
            << false << -0.4 << 2.8 << -0.5 << 0.25
            << QStringList {
                   "0.5", "0.3", "0.0", "-0.3", "-0.5", "-0.8", "-1.0", "-1.3", "-1.5", "-1.8", "-2.0", "-2.3"};
        QTest::newRow("Kmax 0.5: s 1/64 with two decimals")
            << false << -0.025 << 0.175 << -0.03125 << 1.0 / 64
            << QStringList {"0.03", "0.02", "0.00", "-0.02", "-0.03", "-0.05", "-0.06", "-0.08", "-0.09", "-0.11",
                   "-0.13", "-0.14"};
        QTest::newRow("across, s 1: ## leaves the line on 0 unnumbered")
            << false << -5.0 << 10.0 << -5.0 << 1.0
            << QStringList {"5", "4", "3", "2", "1", "", "-1", "-2", "-3", "-4", "-5"};
        QTest::newRow("width 40: s 4, first line left of the edge, 32 past the end")
            << true << -10.0 << 40.0 << -12.0 << 4.0 << wholes(-12, 4);
        QTest::newRow("width 80: s 8") << true << -10.0 << 80.0 << -16.0 << 8.0 << wholes(-16, 8);
        QTest::newRow("width 20: s 2, lines on both edges") << true << -10.0 << 20.0 << -10.0 << 2.0 << wholes(-10, 2);
        QTest::newRow("down, s 1: #0 numbers the line on 0, x not negated")
            << true << -5.0 << 10.0 << -5.0 << 1.0 << wholes(-5, 1);
    }

    void lines()
    {
        QFETCH(bool, vertical);
        QFETCH(double, nearEdge);
        QFETCH(double, extent);
        QFETCH(double, first);
        QFETCH(double, step);
        QFETCH(QStringList, numbers);
        // The other direction runs from -1 to exactly 5.
        RecordingSurface pic;
        pic.setScale(vertical ? nearEdge : -1, vertical ? -1 : nearEdge, vertical ? extent : 6, vertical ? 6 : extent);
        draw(pic, vertical, 1);
        QStringList expected;
        for (int i = 0; i < numbers.size(); ++i) {
            const double v = first + i * step;
            expected << (vertical ? line("grey", v, -1, v, 5) : line("grey", -1, v, 5, v));
            if (!numbers[i].isEmpty())
                expected << (vertical ? number(numbers[i], v, -1) : number(numbers[i], -1, v));
        }
        if (vertical)
            expected << line("white", 0, -1, 0, 5);
        QCOMPARE(trace(pic), expected);
        QCOMPARE(pic.unrepresentableCount, 0);
    }

    // The same range across and down, so the lines' far ends go as far as they do.
    // An extent that gives no spacing draws nothing at all, not even the white line.
    void extremeRanges_data()
    {
        QTest::addColumn<Extreme>("row");

        for (const bool vertical : {false, true}) {
            const char *which = vertical ? "down" : "across";
            // 1e30 is 2^113 spacings of 2^-13 from 0: the running sum stands still.
            QTest::addRow("%s: far from 0, the step no longer moves the line", which)
                << Extreme {vertical, 1e30, 1e-3, 1, 1, 18};
            // s = 2^124: lines 0 .. 15 s.
            QTest::addRow("%s: from 0 to the largest single", which) << Extreme {vertical, 0.0, Largest, 1, 16, 16};
            // The first line, -16 s = -2^128, lies beyond the single range itself.
            QTest::addRow("%s: from the lowest single to 0", which) << Extreme {vertical, -Largest, Largest, 1, 17, 17};
            // Lines 8 s .. 23 s, half of them and every far end past the largest single.
            QTest::addRow("%s: from 2^127 over the largest extent", which)
                << Extreme {vertical, std::ldexp(1.0, 127), Largest, 0, 16, 16};
            QTest::addRow("%s: extent 0", which) << Extreme {vertical, -10.0, 0.0, 1, 0, 0};
            QTest::addRow("%s: extent negative", which) << Extreme {vertical, -10.0, -6.3, 1, 0, 0};
            QTest::addRow("%s: extent NaN", which) << Extreme {vertical, -10.0, qQNaN(), 1, 0, 0};
            QTest::addRow("%s: extent infinite", which) << Extreme {vertical, -10.0, qInf(), 1, 0, 0};
        }
    }

    void extremeRanges()
    {
        QFETCH(Extreme, row);
        RecordingSurface pic;
        pic.setScale(row.nearEdge, row.nearEdge, row.extent, row.extent);
        pic.clearLog(); // setting up a scale that is no number is itself a bad hand-over
        draw(pic, row.vertical, row.labels);
        const int lines = pic.count(Grey);
        QVERIFY2(lines >= row.fewest && lines <= row.most, qPrintable(QString::number(lines)));
        QCOMPARE(pic.count(White), row.vertical && lines > 0 ? 1 : 0);
        QCOMPARE(int(pic.calls.size()), lines + pic.count(White) + int(pic.texts().size()));
        QCOMPARE(pic.texts().empty(), row.labels != 1 || lines == 0);
        QCOMPARE(pic.unrepresentableCount, 0);
    }
};

REGISTER_TEST(TestGrid)
#include "tst_grid.moc"
