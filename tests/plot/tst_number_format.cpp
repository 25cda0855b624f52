#include "number_format.h"
#include "test_registry.h"

#include <QTest>

#include <cmath>
#include <limits>

class TestNumberFormat : public QObject
{
    Q_OBJECT

private slots:
    void format_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QString>("pattern");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, double value, const char *pattern, const char *expected) {
            QTest::newRow(name) << value << QString(pattern) << QString(expected);
        };
        row("#0 zero", 0.0, "#0", "0");
        row("#0 tie away from zero", 12.5, "#0", "13");
        row("#0 negative", -3.2, "#0", "-3");
        row("#0 negative tie", -2.5, "#0", "-3");
        row("## zero is empty", 0.0, "##", "");
        row("## rounding to zero is empty", 0.4, "##", "");
        row("## tie to one", 0.5, "##", "1");
        row("## whole", 2.0, "##", "2");
        row("## negative", -4.0, "##", "-4");
        row("0.00 binary tie", 0.125, "0.00", "0.13");
        row("0.00 tie of the shortest decimal", 0.285, "0.00", "0.29");
        row("0.00 pads", 3.0, "0.00", "3.00");
        row("0.00 negative", -0.5, "0.00", "-0.50");
        row("0.00 carries into the integer", 9.995, "0.00", "10.00");
        row("0.0 carry adds a digit", 99.96, "0.0", "100.0");
        // Crest labels format values read back from single precision.
        row("label 1", double(1.0f), "0.000", "1.000");
        row("label 4", double(4.0f), "0.00", "4.00");
        row("label -2", -double(2.0f), "0.0", "-2.0");
        row("label 4.5", double(4.5f), "0.00", "4.50");
        row("label -4.5", -double(4.5f), "0.0", "-4.5");
        row("label 99.5", double(99.5f), "0.0", "99.5");
        row("label 150.4 from float", double(150.4f), "#0", "150");
        row("label -0.02 from float", -double(0.02f), "0.000", "-0.020");
        row("label 0.05 from float", double(0.05f), "0.0000", "0.0500");
        row("label -10.125", -10.125, "#0", "-10");
        row("label -3.7 from float", -double(3.7f), "#0", "-4");
        // Rounding to zero drops the minus sign.
        row("#0 small negative", -0.4, "#0", "0");
        row("0.0 small negative", -0.04, "0.0", "0.0");
        row("## small negative", -0.4, "##", "");
        row("#0 negative zero", -0.0, "#0", "0");
        row("0.00 far below resolution", -1e-300, "0.00", "0.00");
        // Grid numbers with one decimal are binary ties.
        row("grid 0.25", 0.25, "0.0", "0.3");
        row("grid -0.75", -0.75, "0.0", "-0.8");
        row("grid -2.25", -2.25, "0.0", "-2.3");
        row("beyond 64-bit integers", 1e20, "#0", "100000000000000000000");
        row("NaN is empty", std::numeric_limits<double>::quiet_NaN(), "#0", "");
        row("infinity is empty", -std::numeric_limits<double>::infinity(), "0.0", "");
    }
    void format()
    {
        QFETCH(double, value);
        QFETCH(QString, pattern);
        QFETCH(QString, expected);
        QCOMPARE(Format(value, pattern), expected);
    }

    void helpers()
    {
        QCOMPARE(Int(-0.5), -1.0);
        QCOMPARE(Int(2.0), 2.0);
        QCOMPARE(Int(1.999), 1.0);
        QCOMPARE(String(3, QLatin1Char('0')), QStringLiteral("000"));
        QCOMPARE(String(0, QLatin1Char('0')), QString());
        QCOMPARE(Log(1.0), 0.0);
        QVERIFY(qFuzzyCompare(Log(std::exp(2.0)), 2.0));
    }
};

REGISTER_TEST(TestNumberFormat)
#include "tst_number_format.moc"
