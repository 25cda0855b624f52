#include "crest.h"
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

enum class State { Running, Paused, Help, Inconsistent };

// The pause box and the timer must never disagree, and help shows only while paused.
State stateOf(const Form1 &f)
{
    const bool paused = f.ChkPause->isChecked();
    const bool help = f.childAt(f.Picture1->geometry().center()) == f.PicHelp;
    if (paused == f.Timer1->isActive() || (help && !paused))
        return State::Inconsistent;
    return help ? State::Help : paused ? State::Paused : State::Running;
}

double crestColumn(const QImage &image, QRgb colour)
{
    return crestOf(image, colour).x();
}

constexpr QRgb Red = qRgb(255, 0, 0);
constexpr QRgb Blue = qRgb(0, 0, 255);

} // namespace

class TestReactions : public QObject
{
    Q_OBJECT

    std::unique_ptr<Form1> form;
    QImage plot() { return form->Picture1->surface().image(); }
    float scaleLeft() const { return form->Picture1->surface().ScaleLeft(); }

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
        QCOMPARE(QRectF(pic.ScaleLeft(), pic.ScaleTop(), pic.ScaleWidth(), pic.ScaleHeight()),
            QRectF(-76.125f, -0.9f, 228.375f, 6.3f));
        // All three crests start together at x = 0, one third of the width in.
        QCOMPARE(crestColumn(plot(), Red), 203.0);
        QCOMPARE(crestColumn(plot(), Blue), 203.0);
    }

    void eachTickDrawsTheTimeBeforeItsStep()
    {
        form->Timer1_Timer();
        form->Timer1_Timer();
        QCOMPARE(form->T, 0.08);
        form->ChkPause->setChecked(true);
        form->TxtDT->setText("100"); // DT = 4: the red crest moves 4 / 0.375 px per tick
        form->Command1->click();
        form->Timer1_Timer();
        QCOMPARE(form->T, 4.0);
        QCOMPARE(crestColumn(plot(), Red), 203.0);
        form->Timer1_Timer();
        QCOMPARE(form->T, 8.0);
        QVERIFY(std::abs(crestColumn(plot(), Red) - (203 + 4 / 0.375)) <= 0.5);
    }

    void pauseAndHelpTransitions_data()
    {
        QTest::addColumn<State>("from");
        QTest::addColumn<QString>("event");
        QTest::addColumn<State>("to");
        QTest::newRow("running, tick pause") << State::Running << "pause" << State::Paused;
        QTest::newRow("running, help") << State::Running << "help" << State::Help;
        QTest::newRow("paused, clear pause") << State::Paused << "pause" << State::Running;
        QTest::newRow("paused, help") << State::Paused << "help" << State::Help;
        QTest::newRow("help, clear pause") << State::Help << "pause" << State::Running;
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
        QAbstractButton *const buttons[] = {form->ChkPause, form->CmdHelp, form->Command1};
        if (from != State::Running)
            buttons[from == State::Help]->click();
        QCOMPARE(stateOf(*form), from);
        form->Timer1_Timer();
        const double t = form->T;
        buttons[QStringList {"pause", "help", "apply"}.indexOf(event)]->click();
        QCOMPARE(stateOf(*form), to);
        // Only apply resets the time; pausing and resuming keep it.
        QCOMPARE(form->T, event == "apply" ? 0.0 : t);
    }

    void editsTakeEffectAtApplyWhichWhilePausedDrawsOneFrameAtZero()
    {
        form->ChkPause->click();
        form->Timer1_Timer();
        const WaveModel before = *form;
        form->TxtK[0]->setText("5");
        form->TxtDT->setText("7");
        form->Timer1_Timer();
        QCOMPARE(form->K, before.K);
        QCOMPARE(form->DT, before.DT);
        QCOMPARE(form->Kmax, before.Kmax);
        const QImage unapplied = plot();
        form->Command1->click();
        QCOMPARE(form->T, 0.0);
        QVERIFY(plot() != unapplied);
        QVERIFY(!form->Timer1->isActive());
    }

    void followTakesEffectAtTheNextTick()
    {
        form->ChkPause->click();
        form->Timer1_Timer(); // paused by now; ticks may still be called directly
        const float left = scaleLeft();
        form->OptChase[2]->click();
        QCOMPARE(form->ChaseIndex, std::int16_t(2));
        QCOMPARE(scaleLeft(), left);
        form->ChkPause->click();
        const double t = form->T;
        form->Timer1_Timer();
        QCOMPARE(scaleLeft(), float(9 * t - 228.375 / 3));
        QCOMPARE(crestColumn(plot(), Blue), 203.0);
    }

    void applyPlacesGraphZeroWhateverIsFollowed()
    {
        form->TxtC[1]->setText("4"); // graph 1's crest starts at -C/k = -2
        form->OptChase[1]->click();
        form->Command1->click();
        QCOMPARE(scaleLeft(), float(0 - 228.375 / 3));
        form->Timer1_Timer();
        QCOMPARE(scaleLeft(), float(-2 - 228.375 / 3));
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
        QVERIFY(!label->isEnabled() && label->isChecked());
        label->setChecked(false);
        axis->click();
        QVERIFY(label->isEnabled() && !label->isChecked());
    }

    void zoomButtonsShowAtTheNextFrame()
    {
        form->ChkPause->click();
        const QImage before = plot();
        form->CmdWide->click();
        QCOMPARE(form->Picture1->surface().ScaleWidth(), 274.04999f);
        QCOMPARE(scaleLeft(), -76.125f);
        QCOMPARE(plot(), before);
        form->CmdNarrow->click();
        form->CmdNarrow->click();
        QCOMPARE(form->Picture1->surface().ScaleWidth(), 190.3125f);
    }

    void anyInputKeepsTheModelFiniteAndTheViewValid_data()
    {
        QTest::addColumn<QList<int>>("boxes"); // 0-2 k, 3-5 C, 6 dt
        QTest::addColumn<QString>("text");
        QTest::newRow("empty k0") << QList<int> {0} << "";
        QTest::newRow("word in C1") << QList<int> {4} << "abc";
        QTest::newRow("k0 beyond double") << QList<int> {0} << "1e999";
        QTest::newRow("C2 beyond double") << QList<int> {5} << "-1e400";
        QTest::newRow("megabyte k1") << QList<int> {1} << QString(1 << 20, QLatin1Char('9'));
        QTest::newRow("k0 zero") << QList<int> {0} << "0";
        QTest::newRow("all k zero") << QList<int> {0, 1, 2} << "0";
        QTest::newRow("dt backwards") << QList<int> {6} << "-1";
        QTest::newRow("dt huge") << QList<int> {6} << "1e300";
        QTest::newRow("dt beyond double") << QList<int> {6} << "1e999";
        QTest::newRow("k0 tiny") << QList<int> {0} << "1e-39";
        QTest::newRow("k2 huge") << QList<int> {2} << "1e200";
    }
    void anyInputKeepsTheModelFiniteAndTheViewValid()
    {
        QFETCH(QList<int>, boxes);
        QFETCH(QString, text);
        const Form1 &f = *form;
        QLineEdit *const edits[] = {f.TxtK[0], f.TxtK[1], f.TxtK[2], f.TxtC[0], f.TxtC[1], f.TxtC[2], f.TxtDT};
        for (int box : boxes)
            edits[box]->setText(text);
        form->OptChase[0]->click();
        form->Command1->click();
        for (int tick = 0; tick < 200; ++tick)
            form->Timer1_Timer();
        for (int i = 0; i < 3; ++i)
            QVERIFY(std::isfinite(f.K[i]) && std::isfinite(f.C[i]));
        QVERIFY(std::isfinite(f.Kmax) && std::isfinite(f.T) && std::isfinite(f.DT));
        const PlotSurface &pic = form->Picture1->surface();
        QVERIFY(std::isfinite(pic.ScaleLeft()) && std::isfinite(pic.ScaleTop()));
        QVERIFY(std::isnormal(pic.ScaleWidth()) && pic.ScaleWidth() > 0);
        QVERIFY(std::isnormal(pic.ScaleHeight()) && pic.ScaleHeight() > 0);
        // The frame still shows the grid: its grey lines are drawn.
        const QImage image = plot();
        int grey = 0;
        for (int i = 0; i < image.width() * image.height(); ++i)
            grey += image.pixel(i % image.width(), i / image.width()) == qRgb(128, 128, 128);
        QVERIFY(grey > 100);
    }
};

REGISTER_TEST(TestReactions)
#include "tst_reactions.moc"
