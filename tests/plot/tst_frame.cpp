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

WaveModel wave(double k, double c = 0, double t = 0)
{
    return {.GraphCount = 1, .K = {k}, .C = {c}, .T = t};
}
const WaveModel ThreeWaves {.GraphCount = 3, .K = {1, 2, 3}};

// Draw_u on a surface showing x from left over width pixels wide, heights -0.9 to 5.4.
RecordingSurface curves(const WaveModel &m, std::int16_t minLabel = 1, double left = -76.125, double width = 228.375,
    int pixels = RecordingSurface::DesignWidth)
{
    RecordingSurface pic(pixels);
    pic.setScale(left, -0.9, width, 6.3);
    Draw_u(pic, m, Colours, minLabel);
    return pic;
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

    struct Limit {
        int pixels;
        double left, width, k, c;
        int segments, labels;
    };

private slots:
    void crestLabel_data()
    {
        QTest::addColumn<WaveModel>("wave");
        QTest::addColumn<QString>("text");

        QTest::newRow("abscissa 0: whole number") << wave(1.0, 0.0, 0.0) << "(0,-0.50)";
        QTest::newRow("abscissa 1: three digits") << wave(1.0, 0.0, 1.0) << "(1.000,-0.50)";
        QTest::newRow("k 2 at t 1: crest (4, 2)") << wave(2.0, 0.0, 1.0) << "(4.00,-2.0)";
        QTest::newRow("k 3 at t 0.5: crest (4.5, 4.5)") << wave(3.0, 0.0, 0.5) << "(4.50,-4.5)";
        QTest::newRow("C 2: crest left of 0") << wave(1.0, 2.0, 0.0) << "(-2,-0.50)";
        QTest::newRow("abscissa 99.5: last below 100") << wave(1.0, 0.0, 99.5) << "(99.5,-0.50)";
        QTest::newRow("abscissa exactly 100: whole") << wave(1.0, 0.0, 100.0) << "(100,-0.50)";
        QTest::newRow("abscissa 150.4: whole") << wave(1.0, 0.0, 150.4) << "(150,-0.50)";
        QTest::newRow("abscissa 0.05: four decimals") << wave(1.0, -0.05, 0.0) << "(0.0500,-0.50)";
        QTest::newRow("abscissa -3.7: whole, rounded") << wave(1.0, 3.7, 0.0) << "(-4,-0.50)";
        QTest::newRow("height 0.02: two digits") << wave(0.2, 0.0, 0.0) << "(0,-0.020)";
        QTest::newRow("height 9.5: last below 10") << wave(std::sqrt(19.0), 0.0, 0.0) << "(0,-9.5)";
        QTest::newRow("height exactly 10: whole") << wave(std::sqrt(20.0), 0.0, 0.0) << "(0,-10)";
        QTest::newRow("height 10.125: whole") << wave(4.5, 0.0, 0.0) << "(0,-10)";
        // The patterns follow what the surface holds, not the double before it.
        QTest::newRow("abscissa 99.999999, single 100") << wave(1.0, 0.0, 99.999999) << "(100,-0.50)";
        QTest::newRow("height 9.99999995, single 10") << wave(std::sqrt(19.9999999), 0.0, 0.0) << "(0,-10)";
    }

    void crestLabel()
    {
        QFETCH(WaveModel, wave);
        QFETCH(QString, text);
        QCOMPARE(curves(wave).printed(), QStringList {text});
    }

    void labelSitsOnCurveTip_data()
    {
        QTest::addColumn<WaveModel>("wave");
        QTest::addColumn<QPointF>("tip");
        QTest::newRow("C 2 moves the crest to -2") << wave(1, 2) << QPointF(-2, 0.5);
        QTest::newRow("t 1 moves it at speed k^2") << wave(2, 0, 1) << QPointF(4, 2);
        QTest::newRow("negative k: 4 - 4 / (-2)") << wave(-2, 4, 1) << QPointF(6, 2);
    }

    void labelSitsOnCurveTip()
    {
        QFETCH(WaveModel, wave);
        QFETCH(QPointF, tip);
        // s = 76.125 / 609 = 1/8: each crest above lies exactly on a sample.
        const RecordingSurface pic = curves(wave, 1, -10, 76.125);
        const auto curve = pic.segmentsIn(Red);
        const auto lowest = std::ranges::max_element(curve, {}, &RecordingSurface::Segment::y2);
        QCOMPARE(QPointF(lowest->x2, lowest->y2), tip);
        QCOMPARE(QPointF(pic.texts()[0].x, pic.texts()[0].y), tip);
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
        const auto curve = curves(wave(1), 0, left, width).segmentsIn(Red);
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
        const RecordingSurface pic = curves(WaveModel {.GraphCount = 3, .K = {1, 0, 2}});
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
        DrawGraph(pic, ThreeWaves, Colours, FrameSwitches {1, 0, 1, 0, 1});
        QCOMPARE(outline(pic),
            QStringList(
                {"clear", "grey dotted", "white dotted", "red", "text", "green", "text", "blue", "text", "refresh"}));
    }

    void switches_data()
    {
        QTest::addColumn<FrameSwitches>("switches");
        QTest::addColumn<QList<int>>("drawn"); // grey lines, white lines, texts
        // Design view: 13 lines across (s 1/2), 15 down (s 16, -80 to 144).
        QTest::newRow("all ticked") << FrameSwitches {1, 1, 1, 1, 1} << QList<int> {28, 1, 13 + 15 + 3};
        QTest::newRow("grid numbers cleared") << FrameSwitches {1, 0, 1, 0, 1} << QList<int> {28, 1, 3};
        QTest::newRow("both grid switches cleared") << FrameSwitches {0, 1, 0, 1, 1} << QList<int> {0, 0, 3};
        QTest::newRow("across only") << FrameSwitches {1, 1, 0, 1, 0} << QList<int> {13, 0, 13};
        QTest::newRow("down only") << FrameSwitches {0, 1, 1, 1, 0} << QList<int> {15, 1, 15};
        QTest::newRow("2 counts as cleared") << FrameSwitches {2, 2, 2, 2, 2} << QList<int> {0, 0, 0};
        QTest::newRow("-1 counts as cleared") << FrameSwitches {1, -1, 1, -1, -1} << QList<int> {28, 1, 0};
    }

    void switches()
    {
        QFETCH(FrameSwitches, switches);
        QFETCH(QList<int>, drawn);
        RecordingSurface pic;
        pic.setScale(-76.125, -0.9, 228.375, 6.3);
        DrawGraph(pic, ThreeWaves, Colours, switches);
        QCOMPARE(QList<int>({pic.count(Grey), pic.count(White), int(pic.texts().size())}), drawn);
        for (const QRgb colour : Colours)
            QCOMPARE(pic.count(colour), 610);
    }

    void limits_data()
    {
        QTest::addColumn<Limit>("row");
        // Doubles near 1e12 lie 2^-13 apart, far more than s = 1e-3 / 609.
        QTest::newRow("x + s == x: Width + 1 passes") << Limit {609, 1e12, 1e-3, 1, 0, 610, 1};
        QTest::newRow("zero-width surface: s infinite") << Limit {0, -10, 40, 1, 0, 1, 0};
        // The end 2^24 + 609 has no single form: it is summed in double, not read back.
        QTest::newRow("end between two singles") << Limit {609, 16777216, 609, 1, 0, 610, 1};
        // Only the crest sample at 0 is out of range: the segments into and out of it go.
        QTest::newRow("crest height beyond single: k 1e20") << Limit {609, -76.125, 228.375, 1e20, 0, 608, 0};
        // k^2 overflows: the phase is no number and every height reads 0; the label has nowhere to go.
        QTest::newRow("k 1e200: crest height beyond double") << Limit {609, -76.125, 228.375, 1e200, 0, 610, 0};
        QTest::newRow("crest abscissa -1e39: label skipped") << Limit {609, -76.125, 228.375, 1e-39, 1, 610, 0};
        // Every sample after the first lies past the largest single.
        QTest::newRow("abscissas beyond single: pen stays up") << Limit {609, 3.4e38, 3e38, 1, 0, 1, 1};
        QTest::newRow("flat line reaching past single") << Limit {609, 3.4e38, 3e38, 0, 0, 1, 0};
    }
    void limits()
    {
        QFETCH(Limit, row);
        // No labels on a zero-width surface: its text metrics divide by the width.
        const RecordingSurface pic = curves(wave(row.k, row.c), row.pixels > 0, row.left, row.width, row.pixels);
        QCOMPARE(pic.count(Red), row.segments);
        QCOMPARE(int(pic.texts().size()), row.labels);
        QCOMPARE(pic.unrepresentableCount, 0);
    }
};

REGISTER_TEST(TestFrame)
#include "tst_frame.moc"
