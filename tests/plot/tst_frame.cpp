#include "frame.h"

#include "recording_surface.h"
#include "test_registry.h"

#include <QTest>

#include <algorithm>
#include <cmath>

namespace {

constexpr QRgb Red = qRgb(255, 0, 0);
constexpr QRgb Green = qRgb(0, 255, 0);
constexpr QRgb Blue = qRgb(0, 0, 255);
constexpr QRgb Grey = qRgb(128, 128, 128);
constexpr QRgb White = qRgb(255, 255, 255);
constexpr GraphColors Colours {Red, Green, Blue};

WaveModel waves(std::int16_t count, std::array<double, 3> k, std::array<double, 3> c = {}, double t = 0)
{
    WaveModel m;
    m.GraphCount = count;
    m.K = k;
    m.C = c;
    m.T = t;
    return m;
}

// The calls in order, runs of segments of one colour and style, and runs of
// texts, collapsed to one entry each.
QStringList outline(const RecordingSurface &pic)
{
    static const QHash<QRgb, QString> names {
        {Red, "red"}, {Green, "green"}, {Blue, "blue"}, {Grey, "grey"}, {White, "white"}};
    QStringList out;
    for (const RecordingSurface::Call &call : pic.calls) {
        QString entry = std::holds_alternative<RecordingSurface::Text>(call) ? "text"
            : std::holds_alternative<RecordingSurface::Cleared>(call)        ? "clear"
                                                                             : "refresh";
        if (const auto *s = std::get_if<RecordingSurface::Segment>(&call))
            entry = names.value(s->colour, "other colour") + (s->style == PlotSurface::Dotted ? " dotted" : "");
        if (out.isEmpty() || out.last() != entry)
            out << entry;
    }
    return out;
}

} // namespace

class TestFrame : public QObject
{
    Q_OBJECT

private slots:
    void crestLabel_data()
    {
        QTest::addColumn<double>("k");
        QTest::addColumn<double>("c");
        QTest::addColumn<double>("t");
        QTest::addColumn<QString>("text");

        QTest::newRow("abscissa 0: whole number") << 1.0 << 0.0 << 0.0 << "(0,-0.50)";
        QTest::newRow("abscissa 1: three digits") << 1.0 << 0.0 << 1.0 << "(1.000,-0.50)";
        QTest::newRow("k 2 at t 1: crest (4, 2)") << 2.0 << 0.0 << 1.0 << "(4.00,-2.0)";
        QTest::newRow("k 3 at t 0.5: crest (4.5, 4.5)") << 3.0 << 0.0 << 0.5 << "(4.50,-4.5)";
        QTest::newRow("C 2: crest left of 0") << 1.0 << 2.0 << 0.0 << "(-2,-0.50)";
        QTest::newRow("abscissa 99.5: last below 100") << 1.0 << 0.0 << 99.5 << "(99.5,-0.50)";
        QTest::newRow("abscissa exactly 100: whole") << 1.0 << 0.0 << 100.0 << "(100,-0.50)";
        QTest::newRow("abscissa 150.4: whole") << 1.0 << 0.0 << 150.4 << "(150,-0.50)";
        QTest::newRow("abscissa 0.05: four decimals") << 1.0 << -0.05 << 0.0 << "(0.0500,-0.50)";
        QTest::newRow("abscissa -3.7: whole, rounded") << 1.0 << 3.7 << 0.0 << "(-4,-0.50)";
        QTest::newRow("height 0.02: two digits") << 0.2 << 0.0 << 0.0 << "(0,-0.020)";
        QTest::newRow("height 9.5: last below 10") << std::sqrt(19.0) << 0.0 << 0.0 << "(0,-9.5)";
        QTest::newRow("height exactly 10: whole") << std::sqrt(20.0) << 0.0 << 0.0 << "(0,-10)";
        QTest::newRow("height 10.125: whole") << 4.5 << 0.0 << 0.0 << "(0,-10)";
        // The patterns follow what the surface holds, not the double before it.
        QTest::newRow("abscissa 99.999999, single 100") << 1.0 << 0.0 << 99.999999 << "(100,-0.50)";
        QTest::newRow("height 9.99999995, single 10") << std::sqrt(19.9999999) << 0.0 << 0.0 << "(0,-10)";
    }

    void crestLabel()
    {
        QFETCH(double, k);
        QFETCH(double, c);
        QFETCH(double, t);
        QFETCH(QString, text);
        RecordingSurface pic;
        pic.setScale(-76.125, -0.9, 228.375, 6.3);

        Draw_u(pic, waves(1, {k, 0, 0}, {c, 0, 0}, t), Colours, 1);

        QCOMPARE(pic.printed(), QStringList {text});
    }

    void labelSitsOnCurveTip_data()
    {
        QTest::addColumn<double>("k");
        QTest::addColumn<double>("c");
        QTest::addColumn<double>("t");
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::newRow("C 2 moves the crest to -2") << 1.0 << 2.0 << 0.0 << -2.0f << 0.5f;
        QTest::newRow("t 1 moves it at speed k^2") << 2.0 << 0.0 << 1.0 << 4.0f << 2.0f;
        QTest::newRow("negative k: 4 - 4 / (-2)") << -2.0 << 4.0 << 1.0 << 6.0f << 2.0f;
    }

    void labelSitsOnCurveTip()
    {
        QFETCH(double, k);
        QFETCH(double, c);
        QFETCH(double, t);
        QFETCH(float, x);
        QFETCH(float, y);
        // s = 76.125 / 609 = 1/8: each crest above lies exactly on a sample.
        RecordingSurface pic;
        pic.setScale(-10, -0.9, 76.125, 6.3);

        Draw_u(pic, waves(1, {k, 0, 0}, {c, 0, 0}, t), Colours, 1);

        const auto curve = pic.segmentsIn(Red);
        const auto tip = std::max_element(curve.begin(), curve.end(), [](auto a, auto b) {
            return a.y2 < b.y2;
        });
        QCOMPARE(QPointF(tip->x2, tip->y2), QPointF(x, y));
        QCOMPARE(QPointF(pic.texts()[0].x, pic.texts()[0].y), QPointF(x, y));
    }

    void sampling_data()
    {
        QTest::addColumn<double>("left");
        QTest::addColumn<double>("width");
        QTest::addColumn<bool>("exactSum");
        QTest::newRow("design view: s 3/8") << -76.125 << 228.375 << true;
        QTest::newRow("half the width: s halves, same count") << -76.125 << 114.1875 << true;
        QTest::newRow("-10 to 30: s 40/609") << -10.0 << 40.0 << false;
    }

    void sampling()
    {
        QFETCH(double, left);
        QFETCH(double, width);
        QFETCH(bool, exactSum);
        const double step = width / 609;
        RecordingSurface pic;
        pic.setScale(left, -0.9, width, 6.3);

        Draw_u(pic, waves(1, {1, 0, 0}), Colours, 0);

        const auto curve = pic.segmentsIn(Red);
        // The running sum of an inexact step may carry the last sample past the end.
        QVERIFY(curve.size() == 610 || (!exactSum && curve.size() == 609));
        QCOMPARE(QPointF(curve[0].x1, curve[0].y1), QPointF(curve[0].x2, curve[0].y2));
        QCOMPARE(curve[0].x1, float(left));
        for (std::size_t n = 1; n < curve.size(); ++n) {
            QCOMPARE(QPointF(curve[n].x1, curve[n].y1), QPointF(curve[n - 1].x2, curve[n - 1].y2));
            QVERIFY(std::abs(curve[n].x2 - (left + double(n) * step)) < step / 100);
            QCOMPARE(curve[n].style, std::int16_t(PlotSurface::Solid));
        }
        QVERIFY(std::abs(curve.back().x2 - (left + width)) < step);
    }

    void zeroWaveNumberIsFlatLine()
    {
        RecordingSurface pic;
        pic.setScale(-76.125, -0.9, 228.375, 6.3);

        Draw_u(pic, waves(3, {1, 0, 2}), Colours, 1);

        const auto flat = pic.segmentsIn(Green);
        QCOMPARE(int(flat.size()), 1);
        QCOMPARE(QLineF(flat[0].x1, flat[0].y1, flat[0].x2, flat[0].y2), QLineF(-76.125, 0, 152.25, 0));
        QCOMPARE(pic.printed(), QStringList({"(0,-0.50)", "(0,-2.0)"}));
        QCOMPARE(outline(pic), QStringList({"red", "text", "green", "blue", "text"}));
    }

    void frameOrder()
    {
        RecordingSurface pic;
        pic.setScale(-76.125, -0.9, 228.375, 6.3);

        DrawGraph(pic, waves(3, {1, 2, 3}), Colours, FrameSwitches {1, 0, 1, 0, 1});

        QCOMPARE(outline(pic),
            QStringList(
                {"clear", "grey dotted", "white dotted", "red", "text", "green", "text", "blue", "text", "refresh"}));
    }

    void switches_data()
    {
        QTest::addColumn<FrameSwitches>("switches");
        QTest::addColumn<int>("grey");
        QTest::addColumn<int>("white");
        QTest::addColumn<int>("texts");
        // Design view: 13 lines across (s 1/2), 15 down (s 16, -80 to 144).
        QTest::newRow("all ticked") << FrameSwitches {1, 1, 1, 1, 1} << 28 << 1 << 13 + 15 + 3;
        QTest::newRow("grid numbers cleared") << FrameSwitches {1, 0, 1, 0, 1} << 28 << 1 << 3;
        QTest::newRow("both grid switches cleared") << FrameSwitches {0, 1, 0, 1, 1} << 0 << 0 << 3;
        QTest::newRow("across only") << FrameSwitches {1, 1, 0, 1, 0} << 13 << 0 << 13;
        QTest::newRow("down only") << FrameSwitches {0, 1, 1, 1, 0} << 15 << 1 << 15;
        QTest::newRow("2 counts as cleared") << FrameSwitches {2, 2, 2, 2, 2} << 0 << 0 << 0;
        QTest::newRow("-1 counts as cleared") << FrameSwitches {1, -1, 1, -1, -1} << 28 << 1 << 0;
    }

    void switches()
    {
        QFETCH(FrameSwitches, switches);
        QFETCH(int, grey);
        QFETCH(int, white);
        QFETCH(int, texts);
        RecordingSurface pic;
        pic.setScale(-76.125, -0.9, 228.375, 6.3);

        DrawGraph(pic, waves(3, {1, 2, 3}), Colours, switches);

        QCOMPARE(pic.count(Grey), grey);
        QCOMPARE(pic.count(White), white);
        QCOMPARE(int(pic.texts().size()), texts);
        for (const QRgb colour : Colours)
            QCOMPARE(pic.count(colour), 610);
    }

    void limits_data()
    {
        QTest::addColumn<int>("surfaceWidth");
        QTest::addColumn<double>("left");
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("k");
        QTest::addColumn<double>("c");
        QTest::addColumn<int>("segments");
        QTest::addColumn<int>("labels");

        // Doubles near 1e12 lie 2^-13 apart, far more than s = 1e-3 / 609.
        QTest::newRow("x + s == x: Width + 1 passes") << 609 << 1e12 << 1e-3 << 1.0 << 0.0 << 610 << 1;
        QTest::newRow("zero-width surface: s infinite") << 0 << -10.0 << 40.0 << 1.0 << 0.0 << 1 << 0;
        // The end 2^24 + 609 has no single form: it is summed in double, not read back.
        QTest::newRow("end between two singles") << 609 << 16777216.0 << 609.0 << 1.0 << 0.0 << 610 << 1;
        // Only the crest sample at 0 is out of range: the segments into and out of it go.
        QTest::newRow("crest height beyond single: k 1e20") << 609 << -76.125 << 228.375 << 1e20 << 0.0 << 608 << 0;
        // k^2 overflows: the phase is no number and every height reads 0; the label has nowhere to go.
        QTest::newRow("k 1e200: crest height beyond double") << 609 << -76.125 << 228.375 << 1e200 << 0.0 << 610 << 0;
        QTest::newRow("crest abscissa -1e39: label skipped") << 609 << -76.125 << 228.375 << 1e-39 << 1.0 << 610 << 0;
        // Every sample after the first lies past the largest single.
        QTest::newRow("abscissas beyond single: pen stays up") << 609 << 3.4e38 << 3e38 << 1.0 << 0.0 << 1 << 1;
        QTest::newRow("flat line reaching past single") << 609 << 3.4e38 << 3e38 << 0.0 << 0.0 << 1 << 0;
    }

    void limits()
    {
        QFETCH(int, surfaceWidth);
        QFETCH(double, left);
        QFETCH(double, width);
        QFETCH(double, k);
        QFETCH(double, c);
        QFETCH(int, segments);
        QFETCH(int, labels);
        RecordingSurface pic(surfaceWidth);
        pic.setScale(left, -0.9, width, 6.3);

        // No labels on a zero-width surface: its text metrics divide by the width.
        Draw_u(pic, waves(1, {k, 0, 0}, {c, 0, 0}), Colours, surfaceWidth > 0 ? 1 : 0);

        QCOMPARE(pic.count(Red), segments);
        QCOMPARE(int(pic.texts().size()), labels);
        QCOMPARE(pic.unrepresentableCount, 0);
    }
};

REGISTER_TEST(TestFrame)
#include "tst_frame.moc"
