#include "test_registry.h"
#include "val.h"

#include <QTest>

#include <cfloat>
#include <clocale>
#include <cmath>
#include <string>

class TestVal : public QObject
{
    Q_OBJECT

private slots:
    void reads_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("expected");
        // Expected values are the doubles nearest the literals: compared exactly.
        QTest::newRow("two blanks, trailing letters") << QByteArray("  2.5abc") << 2.5;
        QTest::newRow("tab first") << QByteArray("\t7") << 7.0;
        QTest::newRow("letters only") << QByteArray("abc") << 0.0;
        QTest::newRow("empty") << QByteArray("") << 0.0;
        QTest::newRow("comma ends it") << QByteArray("1,5") << 1.0;
        QTest::newRow("signed exponent form") << QByteArray("-1.5e1") << -15.0;
        QTest::newRow("capital E") << QByteArray("2E3") << 2000.0;
        QTest::newRow("leading point") << QByteArray(".5") << 0.5;
        QTest::newRow("plus sign") << QByteArray("+4") << 4.0;
        QTest::newRow("second point ends it") << QByteArray("1.2.3") << 1.2;
        QTest::newRow("blank inside ends it") << QByteArray("1 000") << 1.0;
        QTest::newRow("blank after sign") << QByteArray("- 3") << 0.0;
        QTest::newRow("bare e dropped") << QByteArray("1e") << 1.0;
        QTest::newRow("bare e+ dropped") << QByteArray("1e+") << 1.0;
        QTest::newRow("point alone") << QByteArray(".") << 0.0;
        QTest::newRow("sign alone") << QByteArray("-") << 0.0;
        QTest::newRow("full-width digit") << QByteArray("\xef\xbc\x91") << 0.0;
        QTest::newRow("inf") << QByteArray("inf") << 0.0;
        QTest::newRow("-inf") << QByteArray("-inf") << 0.0;
        QTest::newRow("nan") << QByteArray("nan") << 0.0;
        QTest::newRow("hex stops at x") << QByteArray("0x10") << 0.0;
        QTest::newRow("overflow saturates") << QByteArray("1e999") << DBL_MAX;
        QTest::newRow("negative overflow") << QByteArray("-1e400") << -DBL_MAX;
        QTest::newRow("mantissa digits overflow") << QByteArray("10e308") << DBL_MAX;
        QTest::newRow("leading zeros keep it in range") << QByteArray("0.01e310") << 1e308;
        QTest::newRow("underflow") << QByteArray("1e-999") << 0.0;
        QTest::newRow("big mantissa still underflows") << QByteArray("1000e-400") << 0.0;
        QTest::newRow("tiny mantissa still overflows") << QByteArray("0.0001e400") << DBL_MAX;
        QTest::newRow("zero, huge exponent") << QByteArray("0e999999") << 0.0;
        QTest::newRow("exponent past 64 bits") << QByteArray("1e99999999999999999999999") << DBL_MAX;
        QTest::newRow("negative exponent past 64 bits") << QByteArray("1e-99999999999999999999999") << 0.0;
        QTest::newRow("million nines") << QByteArray(1'000'000, '9') << DBL_MAX;
        QTest::newRow("1 and a million zeros") << QByteArray("1").append(QByteArray(1'000'000, '0')) << DBL_MAX;
        QTest::newRow("million zeros after point") << QByteArray("0.").append(QByteArray(1'000'000, '0')) + "1" << 0.0;
        QTest::newRow("million letters") << QByteArray(1'000'000, 'x') << 0.0;
    }
    void reads()
    {
        QFETCH(QByteArray, text);
        QFETCH(double, expected);
        const double value = Val(std::string_view(text.constData(), std::size_t(text.size())));
        QVERIFY(std::isfinite(value));
        QVERIFY2(value == expected, qPrintable(QString::number(value, 'g', 17)));
    }

    void decimalPointIgnoresLocale()
    {
        const std::string previous = std::setlocale(LC_ALL, nullptr);
        bool comma = false;
        for (const char *name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "fr_FR.utf8"}) {
            if ((comma = std::setlocale(LC_ALL, name) && *std::localeconv()->decimal_point == ','))
                break;
        }
        const double withPoint = Val("1.5");
        const double withComma = Val("1,5");
        std::setlocale(LC_ALL, previous.c_str());
        if (!comma)
            QSKIP("no locale with a decimal comma installed");
        QCOMPARE(withPoint, 1.5);
        QCOMPARE(withComma, 1.0);
    }
};

REGISTER_TEST(TestVal)
#include "tst_val.moc"
