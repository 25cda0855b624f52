#include "test_registry.h"
#include "wave_model.h"

#include <QTest>

#include <cfloat>
#include <cmath>

class TestCalcU : public QObject
{
    Q_OBJECT

    struct At {
        double x, k, c, t;
    };

private slots:
    void heights_data()
    {
        QTest::addColumn<At>("at");
        QTest::addColumn<double>("expected");
        // References are (k^2/2) sech^2(theta/2), evaluated independently. A height of k^2/2 marks a crest.
        QTest::newRow("k=1 crest") << At {0, 1, 0, 0} << 0.5;
        QTest::newRow("k=1 one unit right") << At {1, 1, 0, 0} << 0.3932238664829638;
        QTest::newRow("k=1 one unit left") << At {-1, 1, 0, 0} << 0.3932238664829638;
        QTest::newRow("k=2 t=1 crest moved to 4") << At {4, 2, 0, 1} << 2.0;
        QTest::newRow("k=2 t=1 half behind crest") << At {3.5, 2, 0, 1} << 1.5728954659318553;
        QTest::newRow("k=2 t=1 half ahead of crest") << At {4.5, 2, 0, 1} << 1.5728954659318553;
        QTest::newRow("k=3 t=0.5 crest") << At {4.5, 3, 0, 0.5} << 4.5;
        QTest::newRow("C=2 puts the crest left") << At {-2, 1, 2, 0} << 0.5;
        QTest::newRow("C=2 mirror of the crest is low") << At {2, 1, 2, 0} << 0.03532541242658224;
        QTest::newRow("C=2 negative k puts the crest right") << At {2, -1, 2, 0} << 0.5;
        QTest::newRow("crest moved by both terms") << At {8, 0.5, -3, 8} << 0.125;
        QTest::newRow("k=2 at x=1") << At {1, 2, 0, 0} << 0.8399486832280523;
        QTest::newRow("k=-2 has the same shape") << At {1, -2, 0, 0} << 0.8399486832280523;
        // Beyond the exponential's range the height is exactly 0, never NaN or inf.
        QTest::newRow("phase 1420, just past exp") << At {1420, 1, 0, 0} << 0.0;
        QTest::newRow("phase -1420") << At {-1420, 1, 0, 0} << 0.0;
        QTest::newRow("phase 1e6") << At {1e6, 1, 0, 0} << 0.0;
        QTest::newRow("phase -1e300") << At {-1e300, 1, 0, 0} << 0.0;
        QTest::newRow("phase overflows to inf") << At {1e300, 1e300, 0, 0} << 0.0;
        QTest::newRow("k^2 t is inf*0: NaN phase") << At {0, 1e200, 0, 0} << 0.0;
    }
    void heights()
    {
        QFETCH(At, at);
        QFETCH(double, expected);
        const auto u = [&at](double x) {
            double v = -1.0;
            Calc_u(x, at.k, at.c, at.t, v);
            return v;
        };
        QVERIFY2(std::abs(u(at.x) - expected) <= 1e-12 * expected, qPrintable(QString::number(u(at.x), 'g', 17)));
        if (expected != at.k * at.k / 2)
            return;
        QCOMPARE(ExtremumX(at.k, at.c, at.t), at.x);
        for (double d : {0.01, 0.5, 3.0}) {
            QVERIFY(u(at.x - d) < expected);
            QVERIFY(qFuzzyCompare(u(at.x - d), u(at.x + d)));
        }
    }

    void kmaxAndTimeSteps()
    {
        QCOMPARE(LargestAbsK({1, -3, 2}, 3), 3.0);
        QCOMPARE(LargestAbsK({-2, 2, 1}, 3), 2.0);
        QCOMPARE(LargestAbsK({0, 0, 0}, 3), 0.0);
        QCOMPARE(LargestAbsK({0.5, 0.25, -7}, 3), 7.0);
        QCOMPARE(LargestAbsK({1, 5, 9}, 1), 1.0);
        // Time steps stay finite: 25 ticks a second, a fortieth of the rate per tick.
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
