#include "view_scaling.h"

#include "frame.h"
#include "recording_surface.h"
#include "test_registry.h"

#include <QTest>

#include <cmath>
#include <limits>

namespace {

// Nine significant digits tell any two floats apart, so equal texts are equal values.
QString write(char which, float v)
{
    return QString(QLatin1Char(which)) + ' ' + QString::number(v, 'g', 9);
}

QStringList scaleWrites(const RecordingSurface &pic)
{
    QStringList out;
    for (const RecordingSurface::Call &call : pic.calls) {
        if (const auto *w = std::get_if<RecordingSurface::ScaleWrite>(&call))
            out << write(w->which, w->value);
    }
    return out;
}

} // namespace

class TestViewScaling : public QObject
{
    Q_OBJECT

    // SetScale's p and q, and graph p's k and C at t under kmax.
    struct Fit {
        short p, q;
        double k, c, t, kmax;
    };

private slots:
    void setScale_data()
    {
        QTest::addColumn<Fit>("fit");
        QTest::addColumn<QStringList>("writes");
        // k and C are those of graph p (of graph 0 when p < 0); the width is 30.
        QTest::newRow("Kmax 3: nearest singles to -0.9 and 6.3, fit first") << Fit {
            0, 1, 1, 0, 0, 3} << QStringList {write('T', -0.89999998f), write('H', 6.3000002f), write('L', -10)};
        QTest::newRow("Kmax 1: -0.1 and 0.7")
            << Fit {-1, 1, 1, 0, 0, 1} << QStringList {write('T', -0.1f), write('H', 0.7f)};
        QTest::newRow("graph 2 at t 2: crest 18") << Fit {2, 0, 3, 0, 2, 3} << QStringList {write('L', 8)};
        QTest::newRow("C 2: crest -2") << Fit {0, 0, 1, 2, 0, 3} << QStringList {write('L', -12)};
        QTest::newRow("negative k: crest 4 - 4 / (-2) = 6") << Fit {1, 0, -2, 4, 1, 3} << QStringList {write('L', -4)};
        QTest::newRow("p -1, q 0: nothing") << Fit {-1, 0, 1, 0, 0, 3} << QStringList();
        QTest::newRow("q 2 fits nothing") << Fit {0, 2, 1, 0, 0, 3} << QStringList {write('L', -10)};
        QTest::newRow("k 0 leaves the left edge") << Fit {0, 0, 0, 0, 0, 3} << QStringList();
        QTest::newRow("Kmax 0 leaves top and height") << Fit {-1, 1, 0, 0, 0, 0} << QStringList();
        QTest::newRow("Kmax 1e20: height beyond single") << Fit {-1, 1, 1, 0, 0, 1e20} << QStringList();
        QTest::newRow("Kmax 1e-20: height below normal") << Fit {-1, 1, 1, 0, 0, 1e-20} << QStringList();
        // The crest lies at -1 / 1e-39 = -1e39, outside single precision.
        QTest::newRow("k 1e-39, C 1: left edge beyond single") << Fit {0, 0, 1e-39, 1, 0, 3} << QStringList();
    }
    void setScale()
    {
        QFETCH(Fit, fit);
        QFETCH(QStringList, writes);
        WaveModel model {.GraphCount = 3, .K = {1, 1, 1}, .Kmax = fit.kmax, .T = fit.t};
        model.K[std::max<short>(fit.p, 0)] = fit.k;
        model.C[std::max<short>(fit.p, 0)] = fit.c;
        RecordingSurface pic;
        pic.setScale(7, 7, 30, 7);
        ::SetScale(pic, model, fit.p, fit.q);
        QCOMPARE(scaleWrites(pic), writes);
        QCOMPARE(pic.unrepresentableCount, 0);
    }

    void zoom_data()
    {
        QTest::addColumn<double>("width");
        QTest::addColumn<QString>("presses");
        QTest::addColumn<float>("expected");

        QTest::newRow("widen 30") << 30.0 << "W" << 36.0f;
        QTest::newRow("widen then narrow is 30 again") << 30.0 << "WN" << 30.0f;
        QTest::newRow("narrow 30") << 30.0 << "N" << 25.0f;
        QTest::newRow("narrow twice") << 30.0 << "NN" << 20.833334f;
        QTest::newRow("design width widened") << 228.375 << "W" << 274.04999f;
        QTest::newRow("design width narrowed") << 228.375 << "N" << 190.3125f;
        const double largest = std::numeric_limits<float>::max();
        const double smallest = std::numeric_limits<float>::min();
        QTest::newRow("widen near the largest single: kept") << largest / 1.1 << "W" << float(largest / 1.1);
        QTest::newRow("narrow near the smallest normal: kept") << smallest * 1.1 << "N" << float(smallest * 1.1);
    }

    void zoom()
    {
        QFETCH(double, width);
        QFETCH(QString, presses);
        QFETCH(float, expected);
        RecordingSurface pic;
        pic.setScale(-76.125, -0.9, width, 6.3);

        for (const QChar press : presses)
            press == 'W' ? Widen(pic) : Narrow(pic);

        QCOMPARE(write('W', pic.ScaleWidth()), write('W', expected));
        for (const QString &w : scaleWrites(pic))
            QVERIFY2(w.startsWith('W'), qPrintable(w));
        QCOMPARE(pic.unrepresentableCount, 0);
    }

    void refusedFitKeepsLabelsInRange()
    {
        // A fit to k 2.2e19 nearly fills the single range; the next, to 2.6e19,
        // is refused, and that crest's label sits where a line break would
        // carry the position past the largest single.
        RecordingSurface pic;
        pic.setScale(-76.125, -0.9, 228.375, 6.3);
        WaveModel model {.GraphCount = 3, .K = {2.2e19, 0, 0}, .Kmax = 2.2e19};
        SetScale(pic, model, 0, 1);
        const float height = pic.ScaleHeight();
        model.K[0] = model.Kmax = 2.6e19;
        SetScale(pic, model, 0, 1);
        QCOMPARE(pic.ScaleHeight(), height);
        DrawGraph(pic, model, {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)}, FrameSwitches {});
        QCOMPARE(pic.unrepresentableCount, 0);
    }

    void thousandPresses_data()
    {
        QTest::addColumn<bool>("widen");
        QTest::newRow("widen") << true;
        QTest::newRow("narrow") << false;
    }

    void thousandPresses()
    {
        QFETCH(bool, widen);
        RecordingSurface pic;
        pic.setScale(-76.125, -0.9, 228.375, 6.3);

        for (int i = 0; i < 1000; ++i)
            widen ? Widen(pic) : Narrow(pic);
        QVERIFY(std::isnormal(pic.ScaleWidth()) && pic.ScaleWidth() > 0);

        const WaveModel model {.GraphCount = 3, .K = {1, 2, 3}};
        const GraphColors colours {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)};
        pic.clearLog();
        DrawGraph(pic, model, colours, FrameSwitches {});

        int across = 0;
        int down = 0;
        for (const RecordingSurface::Segment &s : pic.segmentsIn(qRgb(128, 128, 128)))
            ++(s.y1 == s.y2 ? across : down);
        QCOMPARE(across, 13);
        QVERIFY2(down >= 1 && down <= 18, qPrintable(QString::number(down)));
        for (const QRgb colour : colours)
            QVERIFY(pic.count(colour) >= 1 && pic.count(colour) <= 610);
        QCOMPARE(pic.unrepresentableCount, 0);
    }
};

REGISTER_TEST(TestViewScaling)
#include "tst_view_scaling.moc"
