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
#include <memory>

namespace {

enum class State { Running, Paused, Help };

State stateOf(const Form1 &f)
{
    const bool paused = f.ChkPause->isChecked();
    const QWidget *front = f.childAt(f.Picture1->geometry().center());
    // The box and the timer must never disagree, whatever the state.
    if (paused == f.Timer1->isActive())
        qFatal("pause box and timer disagree");
    if (front == f.PicHelp)
        return paused ? State::Help : State::Running; // Running with help in front is caught by the compare
    return paused ? State::Paused : State::Running;
}

QImage plotImage(Form1 &f)
{
    return f.Picture1->surface().image();
}

// Middle of the lowest pixels drawn in a colour: a wave's crest, since larger
// heights lie lower on the plot.
double crestColumn(const QImage &image, QRgb colour)
{
    for (int y = image.height() - 1; y >= 0; --y) {
        int first = -1;
        int last = -1;
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixel(x, y) == colour) {
                first = first < 0 ? x : first;
                last = x;
            }
        }
        if (first >= 0)
            return (first + last) / 2.0;
    }
    return -1;
}

void enter(QLineEdit *box, const QString &text)
{
    box->setText(text);
}

bool validScale(const PlotSurface &pic)
{
    auto normal = [](float v) {
        return std::isnormal(v) && v > 0;
    };
    return std::isfinite(pic.ScaleLeft()) && std::isfinite(pic.ScaleTop()) && normal(pic.ScaleWidth())
        && normal(pic.ScaleHeight());
}

constexpr QRgb Red = qRgb(255, 0, 0);
constexpr QRgb Blue = qRgb(0, 0, 255);

} // namespace

Q_DECLARE_METATYPE(State)

class TestReactions : public QObject
{
    Q_OBJECT

    std::unique_ptr<Form1> form;

private slots:
    void init() { form = std::make_unique<Form1>(); }
    void cleanup() { form.reset(); }

    void startUpAppliesDesignInputs()
    {
        const Form1 &f = *form;
        QCOMPARE(f.GraphCount, std::int16_t(3));
        QCOMPARE(f.ChaseIndex, std::int16_t(-1));
        QCOMPARE(f.T, 0.0);
        QCOMPARE(f.Kmax, 3.0);
        QCOMPARE(f.DT, 0.04);
        const PlotSurface &pic = form->Picture1->surface();
        QCOMPARE(pic.ScaleLeft(), -76.125f);
        QCOMPARE(pic.ScaleTop(), -0.9f);
        QCOMPARE(pic.ScaleHeight(), 6.3f);
        QCOMPARE(pic.ScaleWidth(), 228.375f);
        // All three crests start together at x = 0, one third of the width in.
        const QImage image = plotImage(*form);
        QCOMPARE(crestColumn(image, Red), 203.0);
        QCOMPARE(crestColumn(image, Blue), 203.0);
    }

    void eachTickDrawsTheTimeBeforeItsStep()
    {
        form->ChkPause->setChecked(true);
        enter(form->TxtDT, "100"); // DT = 4: the red crest moves 4 / 0.375 px per tick
        form->Command1->click();
        form->Timer1_Timer();
        QCOMPARE(form->T, 4.0);
        QCOMPARE(crestColumn(plotImage(*form), Red), 203.0);
        form->Timer1_Timer();
        QCOMPARE(form->T, 8.0);
        QVERIFY(std::abs(crestColumn(plotImage(*form), Red) - (203 + 4 / 0.375)) <= 0.5);
    }

    void designTicksAdvanceT()
    {
        form->Timer1_Timer();
        form->Timer1_Timer();
        QCOMPARE(form->T, 0.08);
    }

    void pauseAndHelpTransitions_data()
    {
        QTest::addColumn<State>("from");
        QTest::addColumn<QString>("event");
        QTest::addColumn<State>("to");
        QTest::newRow("running, tick pause") << State::Running << "tick" << State::Paused;
        QTest::newRow("running, help") << State::Running << "help" << State::Help;
        QTest::newRow("paused, clear pause") << State::Paused << "clear" << State::Running;
        QTest::newRow("paused, help") << State::Paused << "help" << State::Help;
        QTest::newRow("help, clear pause") << State::Help << "clear" << State::Running;
        QTest::newRow("help, help again") << State::Help << "help" << State::Help;
        QTest::newRow("running, apply") << State::Running << "apply" << State::Running;
        QTest::newRow("paused, apply") << State::Paused << "apply" << State::Paused;
        QTest::newRow("help, apply") << State::Help << "apply" << State::Help;
    }

    void pauseAndHelpTransitions()
    {
        QFETCH(State, from);
        QFETCH(QString, event);
        QFETCH(State, to);
        if (from == State::Paused)
            form->ChkPause->click();
        if (from == State::Help)
            form->CmdHelp->click();
        QCOMPARE(stateOf(*form), from);
        form->Timer1_Timer();
        const double t = form->T;
        if (event == "tick" || event == "clear")
            form->ChkPause->click();
        else if (event == "help")
            form->CmdHelp->click();
        else
            form->Command1->click();
        QCOMPARE(stateOf(*form), to);
        // Only apply resets the time; pausing and resuming keep it.
        QCOMPARE(form->T, event == "apply" ? 0.0 : t);
    }

    void applyWhilePausedDrawsOneFrameAtZero()
    {
        form->ChkPause->click();
        form->Timer1_Timer();
        form->Timer1_Timer();
        enter(form->TxtK[0], "2");
        const QImage before = plotImage(*form);
        form->Command1->click();
        QCOMPARE(form->T, 0.0);
        QVERIFY(plotImage(*form) != before);
        QVERIFY(!form->Timer1->isActive());
    }

    void followTakesEffectAtTheNextTick()
    {
        form->ChkPause->click();
        form->Timer1_Timer(); // paused by now; ticks may still be called directly
        const float left = form->Picture1->surface().ScaleLeft();
        form->OptChase[2]->click();
        QCOMPARE(form->ChaseIndex, std::int16_t(2));
        QCOMPARE(form->Picture1->surface().ScaleLeft(), left);
        form->ChkPause->click();
        const double t = form->T;
        form->Timer1_Timer();
        QCOMPARE(form->Picture1->surface().ScaleLeft(), float(9 * t - 228.375 / 3));
        QCOMPARE(crestColumn(plotImage(*form), Blue), 203.0);
    }

    void applyPlacesGraphZeroWhateverIsFollowed()
    {
        enter(form->TxtC[1], "4"); // graph 1's crest starts at -C/k = -2
        form->OptChase[1]->click();
        form->Command1->click();
        QCOMPARE(form->Picture1->surface().ScaleLeft(), float(0 - 228.375 / 3));
        form->Timer1_Timer();
        QCOMPARE(form->Picture1->surface().ScaleLeft(), float(-2 - 228.375 / 3));
        form->OptNoChase->click();
        QCOMPARE(form->ChaseIndex, std::int16_t(-1));
    }

    void labelBoxesFollowTheirGridBoxes_data()
    {
        QTest::addColumn<bool>("horizontal");
        QTest::newRow("horizontal") << true;
        QTest::newRow("vertical") << false;
    }

    void labelBoxesFollowTheirGridBoxes()
    {
        QFETCH(bool, horizontal);
        QCheckBox *axis = horizontal ? form->ChkHoriAxis : form->ChkVerAxis;
        QCheckBox *label = horizontal ? form->ChkHoriLabel : form->ChkVerLabel;
        axis->click();
        QVERIFY(!label->isEnabled());
        QVERIFY(label->isChecked());
        label->setChecked(false);
        axis->click();
        QVERIFY(label->isEnabled());
        QVERIFY(!label->isChecked());
    }

    void editsWithoutApplyChangeNothing()
    {
        form->Timer1_Timer();
        const WaveModel before = *form;
        enter(form->TxtK[0], "5");
        enter(form->TxtDT, "7");
        form->Timer1_Timer();
        QCOMPARE(form->K, before.K);
        QCOMPARE(form->DT, before.DT);
        QCOMPARE(form->Kmax, before.Kmax);
    }

    void zoomButtonsShowAtTheNextFrame()
    {
        form->ChkPause->click();
        const QImage before = plotImage(*form);
        form->CmdWide->click();
        QCOMPARE(form->Picture1->surface().ScaleWidth(), 274.04999f);
        QCOMPARE(form->Picture1->surface().ScaleLeft(), -76.125f);
        QCOMPARE(plotImage(*form), before);
        form->CmdNarrow->click();
        form->CmdNarrow->click();
        QCOMPARE(form->Picture1->surface().ScaleWidth(), 190.3125f);
    }

    void anyInputKeepsTheModelFiniteAndTheViewValid_data()
    {
        QTest::addColumn<int>("box"); // 0-2 k, 3-5 C, 6 dt, 7 all k
        QTest::addColumn<QString>("text");
        QTest::newRow("empty k0") << 0 << "";
        QTest::newRow("word in C1") << 4 << "abc";
        QTest::newRow("k0 beyond double") << 0 << "1e999";
        QTest::newRow("C2 beyond double") << 5 << "-1e400";
        QTest::newRow("megabyte k1") << 1 << QString(1 << 20, QLatin1Char('9'));
        QTest::newRow("k0 zero") << 0 << "0";
        QTest::newRow("all k zero") << 7 << "0";
        QTest::newRow("dt backwards") << 6 << "-1";
        QTest::newRow("dt huge") << 6 << "1e300";
        QTest::newRow("dt beyond double") << 6 << "1e999";
        QTest::newRow("k0 tiny") << 0 << "1e-39";
        QTest::newRow("k2 huge") << 2 << "1e200";
    }

    void anyInputKeepsTheModelFiniteAndTheViewValid()
    {
        QFETCH(int, box);
        QFETCH(QString, text);
        if (box < 3) {
            enter(form->TxtK[box], text);
        } else if (box < 6) {
            enter(form->TxtC[box - 3], text);
        } else if (box == 6) {
            enter(form->TxtDT, text);
        } else {
            for (QLineEdit *k : form->TxtK)
                enter(k, text);
        }
        form->OptChase[0]->click();
        form->Command1->click();
        for (int tick = 0; tick < 200; ++tick)
            form->Timer1_Timer();
        const Form1 &f = *form;
        for (int i = 0; i < 3; ++i)
            QVERIFY(std::isfinite(f.K[i]) && std::isfinite(f.C[i]));
        QVERIFY(std::isfinite(f.Kmax) && std::isfinite(f.T) && std::isfinite(f.DT));
        QVERIFY(validScale(form->Picture1->surface()));
        // The frame still shows the grid: its grey lines are drawn.
        const QImage image = plotImage(*form);
        int grey = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                grey += image.pixel(x, y) == qRgb(128, 128, 128);
        }
        QVERIFY(grey > 100);
    }
};

REGISTER_TEST(TestReactions)
#include "tst_reactions.moc"
