#include "form1.h"
#include "picture_box.h"
#include "test_registry.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <random>

namespace {

constexpr int Ticks = 100000;

// Texts a user might type or paste, from sensible to hostile.
QString randomText(std::mt19937 &rng)
{
    static const QStringList samples {"1", "2", "3", "0", "-1", "0.5", "", "abc", "1e999", "-1e400", "1e-39", "1e300",
        "1e20", "nan", "inf", "  2.5abc", "1,5", ".5", "+4", "1e", "-", "０", "1e-320", "9e15", "-0"};
    std::uniform_int_distribution<int> pick(0, int(samples.size()) + 1);
    const int i = pick(rng);
    if (i < samples.size())
        return samples[i];
    if (i == samples.size())
        return QString::number(std::uniform_real_distribution<double>(-50, 50)(rng));
    return QString(std::uniform_int_distribution<int>(1, 20000)(rng), QLatin1Char('7'));
}

bool validScale(const PlotSurface &pic)
{
    return std::isfinite(pic.ScaleLeft()) && std::isfinite(pic.ScaleTop()) && std::isnormal(pic.ScaleWidth())
        && pic.ScaleWidth() > 0 && std::isnormal(pic.ScaleHeight()) && pic.ScaleHeight() > 0;
}

int pixelsIn(const QImage &image, QRgb colour)
{
    int n = 0;
    for (int i = 0; i < image.width() * image.height(); ++i)
        n += image.pixel(i % image.width(), i / image.width()) == colour;
    return n;
}

} // namespace

class TestSoak : public QObject
{
    Q_OBJECT

private slots:
    void hundredThousandTicksOfRandomUse()
    {
        Form1 form;
        std::mt19937 rng(20261206); // fixed, so that a failure can be replayed
        std::uniform_int_distribution<int> action(0, 999);
        QList<QLineEdit *> boxes {form.TxtDT};
        for (int i = 0; i < 3; ++i)
            boxes << form.TxtK[i] << form.TxtC[i];

        for (int tick = 0; tick < Ticks; ++tick) {
            const int a = action(rng);
            if (a < 20) {
                boxes[std::uniform_int_distribution<int>(0, int(boxes.size()) - 1)(rng)]->setText(randomText(rng));
            } else if (a < 25) {
                form.Command1->click();
            } else if (a < 27) {
                QPushButton *button = a == 25 ? form.CmdWide : form.CmdNarrow;
                const int presses = std::uniform_int_distribution<int>(100, 600)(rng);
                for (int p = 0; p < presses; ++p)
                    button->click();
            } else if (a < 30) {
                QRadioButton *options[] = {form.OptChase[0], form.OptChase[1], form.OptChase[2], form.OptNoChase};
                options[std::uniform_int_distribution<int>(0, 3)(rng)]->click();
            } else if (a < 32) {
                form.ChkPause->click();
            } else if (a == 32) {
                form.CmdHelp->click();
            } else if (a == 33) {
                QCheckBox *boxes[]
                    = {form.ChkHoriAxis, form.ChkHoriLabel, form.ChkVerAxis, form.ChkVerLabel, form.ChkMinLabel};
                boxes[std::uniform_int_distribution<int>(0, 4)(rng)]->click();
            }
            // Ticks are driven directly: the soak is about states, not about time.
            form.Timer1_Timer();
            if (!validScale(form.Picture1->surface()) || !std::isfinite(form.T))
                QFAIL(qPrintable(QString("invalid state after tick %1").arg(tick)));
        }

        for (double v : {form.K[0], form.K[1], form.K[2], form.C[0], form.C[1], form.C[2], form.Kmax, form.DT})
            QVERIFY(std::isfinite(v));

        // Back to the design inputs, a frame draws normally: grid and all three curves.
        for (int i = 0; i < 3; ++i) {
            form.TxtK[i]->setText(QString::number(i + 1));
            form.TxtC[i]->setText("0");
        }
        form.TxtDT->setText("1");
        for (QCheckBox *box : {form.ChkHoriAxis, form.ChkVerAxis})
            box->setChecked(true);
        form.Command1->click();
        const QImage image = form.Picture1->surface().image();
        QCOMPARE(form.Kmax, 3.0);
        QVERIFY(pixelsIn(image, qRgb(128, 128, 128)) > 100);
        for (QRgb colour : {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)})
            QVERIFY(pixelsIn(image, colour) > 0);
    }
};

REGISTER_TEST(TestSoak)
#include "tst_soak.moc"
