#include "val.h"
#include "wave_model.h"

#include <QTest>

#include <cfloat>

class TestModel : public QObject
{
    Q_OBJECT

private slots:
    void calcU_data()
    {
        QTest::addColumn<QList<double>>("xkct");
        QTest::addColumn<double>("expected");
        // References are (k^2/2) sech^2(theta/2), evaluated independently. A height of k^2/2 marks a crest.
        QTest::newRow("C 2, negative k: crest right of 0") << QList<double> {2, -1, 2, 0} << 0.5;
        QTest::newRow("k 2 at t 1 half behind the crest") << QList<double> {3.5, 2, 0, 1} << 1.5728954659318553;
        QTest::newRow("k^2 t is inf * 0: height 0, never NaN") << QList<double> {0, 1e200, 0, 0} << 0.0;
    }
    void calcU()
    {
        QFETCH(QList<double>, xkct);
        QFETCH(double, expected);
        double u = -1.0;
        Calc_u(xkct[0], xkct[1], xkct[2], xkct[3], u);
        QVERIFY2(std::abs(u - expected) <= 1e-12 * expected, qPrintable(QString::number(u, 'g', 17)));
    }

    void val_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("expected");
        // Expected values are the doubles nearest the literals: compared exactly.
        QTest::newRow("blanks and a tab first, comma ends it") << QByteArray(" \t 25,3") << 25.0;
        QTest::newRow("leading point, second point ends it") << QByteArray(".5.3") << 0.5;
        QTest::newRow("point alone") << QByteArray("-.") << 0.0;
        QTest::newRow("hex stops at x") << QByteArray("0x10") << 0.0;
        QTest::newRow("a point, then no digit") << QByteArray("7.x") << 7.0;
        QTest::newRow("exponent of one digit") << QByteArray("2e1") << 20.0;
        QTest::newRow("exponent with its sign") << QByteArray("2e+1") << 20.0;
        QTest::newRow("beyond the range: the largest double") << QByteArray("-1e400") << -DBL_MAX;
        QTest::newRow("big mantissa still underflows") << QByteArray("1000e-400") << 0.0;
        // Out of range, the digits before the point and the zeros after it tell overflow from underflow.
        QTest::newRow("11000 digits, exponent -9999") << QByteArray("1").append(10999, '0').append("e-9999") << DBL_MAX;
        QTest::newRow("400 zeros after the point") << QByteArray("0.").append(400, '0').append("1e50") << 0.0;
    }
    void val()
    {
        QFETCH(QByteArray, text);
        QFETCH(double, expected);
        const double value = Val(std::string_view(text.constData(), std::size_t(text.size())));
        QVERIFY2(value == expected, qPrintable(QString::number(value, 'g', 17)));
    }
};

QTEST_APPLESS_MAIN(TestModel)
#include "tst_model.moc"
