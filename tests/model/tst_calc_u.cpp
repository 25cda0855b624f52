#include "test_registry.h"
#include "wave_model.h"

#include <QTest>

#include <cfloat>
#include <cmath>

namespace {

double heightAt(double x, double k, double c, double t)
{
    double u = -1.0;
    Calc_u(x, k, c, t, u);
    return u;
}

} // namespace

class TestCalcU : public QObject
{
    Q_OBJECT

private slots:
    void knownHeights_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("k");
        QTest::addColumn<double>("c");
        QTest::addColumn<double>("t");
        QTest::addColumn<double>("expected");
        // References are (k^2/2) sech^2(theta/2), evaluated independently.
        QTest::newRow("k=1 crest") << 0.0 << 1.0 << 0.0 << 0.0 << 0.5;
        QTest::newRow("k=1 one unit right") << 1.0 << 1.0 << 0.0 << 0.0 << 0.3932238664829638;
        QTest::newRow("k=1 one unit left") << -1.0 << 1.0 << 0.0 << 0.0 << 0.3932238664829638;
        QTest::newRow("k=2 t=1 half behind crest") << 3.5 << 2.0 << 0.0 << 1.0 << 1.5728954659318553;
        QTest::newRow("k=2 t=1 half ahead of crest") << 4.5 << 2.0 << 0.0 << 1.0 << 1.5728954659318553;
        QTest::newRow("C=2 mirror of the crest is low") << 2.0 << 1.0 << 2.0 << 0.0 << 0.03532541242658224;
        QTest::newRow("k=2 at x=1") << 1.0 << 2.0 << 0.0 << 0.0 << 0.8399486832280523;
        QTest::newRow("k=-2 has the same shape") << 1.0 << -2.0 << 0.0 << 0.0 << 0.8399486832280523;
    }
    void knownHeights()
    {
        QFETCH(double, x);
        QFETCH(double, k);
        QFETCH(double, c);
        QFETCH(double, t);
        QFETCH(double, expected);
        const double u = heightAt(x, k, c, t);
        QVERIFY2(std::abs(u - expected) <= 1e-12 * expected, qPrintable(QString::number(u, 'g', 17)));
    }

    void crestSitsAtExtremumX_data()
    {
        QTest::addColumn<double>("k");
        QTest::addColumn<double>("c");
        QTest::addColumn<double>("t");
        QTest::addColumn<double>("crestX");
        QTest::newRow("k=2 moved to 4 by t=1") << 2.0 << 0.0 << 1.0 << 4.0;
        QTest::newRow("k=3 at t=0.5") << 3.0 << 0.0 << 0.5 << 4.5;
        QTest::newRow("C=2 puts it left") << 1.0 << 2.0 << 0.0 << -2.0;
        QTest::newRow("negative k moves it right") << -1.0 << 2.0 << 0.0 << 2.0;
        QTest::newRow("both terms") << 0.5 << -3.0 << 8.0 << 8.0;
    }
    void crestSitsAtExtremumX()
    {
        QFETCH(double, k);
        QFETCH(double, c);
        QFETCH(double, t);
        QFETCH(double, crestX);
        QCOMPARE(ExtremumX(k, c, t), crestX);
        const double top = heightAt(crestX, k, c, t);
        QCOMPARE(top, k * k / 2);
        // Symmetric about the crest and lower on both sides.
        for (double d : {0.01, 0.5, 3.0}) {
            QVERIFY(heightAt(crestX - d, k, c, t) < top);
            QVERIFY(qFuzzyCompare(heightAt(crestX - d, k, c, t), heightAt(crestX + d, k, c, t)));
        }
    }

    void farPhaseGivesZero_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("k");
        // With C = 0 and t = 0 the phase is k x.
        QTest::newRow("phase 1420, just past exp") << 1420.0 << 1.0;
        QTest::newRow("phase -1420") << -1420.0 << 1.0;
        QTest::newRow("phase 1e6") << 1e6 << 1.0;
        QTest::newRow("phase -1e300") << -1e300 << 1.0;
        QTest::newRow("phase overflows to inf") << 1e300 << 1e300;
        QTest::newRow("k^2 t is inf*0: NaN phase") << 0.0 << 1e200;
    }
    void farPhaseGivesZero()
    {
        QFETCH(double, x);
        QFETCH(double, k);
        QCOMPARE(std::fpclassify(heightAt(x, k, 0.0, 0.0)), FP_ZERO);
    }

    void largestAbsK()
    {
        QCOMPARE(LargestAbsK({1, -3, 2}, 3), 3.0);
        QCOMPARE(LargestAbsK({-2, 2, 1}, 3), 2.0);
        QCOMPARE(LargestAbsK({0, 0, 0}, 3), 0.0);
        QCOMPARE(LargestAbsK({0.5, 0.25, -7}, 3), 7.0);
        QCOMPARE(LargestAbsK({1, 5, 9}, 1), 1.0);
    }

    void timeStaysFinite()
    {
        // 25 ticks a second: a fortieth of the rate per tick.
        QCOMPARE(TimeStep(1, 40), 0.04);
        QCOMPARE(TimeStep(-1, 40), -0.04);
        QCOMPARE(TimeStep(1e300, 40), 4e298);
        QCOMPARE(TimeStep(DBL_MAX, 40), DBL_MAX);
        QCOMPARE(TimeStep(-DBL_MAX, 40), -DBL_MAX);

        QCOMPARE(AdvanceTime(0.02, -0.04), -0.02);
        QCOMPARE(AdvanceTime(DBL_MAX, DBL_MAX), DBL_MAX);
        QCOMPARE(AdvanceTime(-DBL_MAX, -1e300), -DBL_MAX);
        QCOMPARE(AdvanceTime(DBL_MAX, -DBL_MAX), 0.0);
    }
};

REGISTER_TEST(TestCalcU)
#include "tst_calc_u.moc"
