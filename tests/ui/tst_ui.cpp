#include "crest.h"
#include "form1.h"
#include "picture_box.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

class TestUi : public QObject
{
    Q_OBJECT

    std::unique_ptr<Form1> form;
    RasterSurface &pic() { return form->Picture1->surface(); }

private slots:
    void init() { form = std::make_unique<Form1>(); }
    void cleanup() { form.reset(); }

    // All three crests start together on x = 0, one third of the width in; each tick draws the time before its step.
    void startUpAndTicks()
    {
        QCOMPARE(
            QList<double>({form->T, form->Kmax, form->DT, form->ChaseIndex * 1.0}), QList<double>({0, 3, 0.04, -1}));
        QCOMPARE(QRectF(pic().ScaleLeft(), pic().ScaleTop(), pic().ScaleWidth(), pic().ScaleHeight()),
            QRectF(-76.125f, -0.9f, 228.375f, 6.3f));
        QCOMPARE(QList<QPointF>({crestOf(pic().image(), qRgb(0, 255, 0)), crestOf(pic().image(), qRgb(0, 0, 255))}),
            QList<QPointF>({{203, 155}, {203, 288}}));
        QCOMPARE(form->Picture1->grab().toImage().convertToFormat(QImage::Format_RGB32), pic().image());
        QCOMPARE(pic().image().pixel(0, 336), qRgb(0, 0, 0)); // x = -76.125, y = 5.4: no grid line there
        for (QCheckBox *box : {form->ChkHoriAxis, form->ChkVerAxis, form->ChkMinLabel})
            box->click(); // no grid and no labels at the next frame
        form->TxtK[0]->setText("-5"); // the second tick draws the red crest at x = 25 t = 1
        form->Command1->click();
        form->Timer1_Timer();
        form->Timer1_Timer();
        QCOMPARE(QList<double>({form->T, form->Kmax, crestOf(pic().image(), qRgb(255, 0, 0)).x()}),
            QList<double>({0.08, 5, 206})); // the nearest sample, x = 1.125
        QCOMPARE(crestOf(pic().image(), qRgb(128, 128, 128)), QPointF(-1, -1));
    }

    // Following shows at the next tick, the graph's crest one third of the width in; apply places graph 0.
    void follow_data()
    {
        QTest::addColumn<int>("graph");
        QTest::newRow("1") << 0;
        QTest::newRow("3") << 2;
    }
    void follow()
    {
        QFETCH(int, graph);
        const double k = graph + 1, third = 228.375 / 3;
        form->TxtC[graph]->setText("-8"); // the crest at 8 / k + k^2 t
        form->Command1->click();
        form->OptChase[graph]->click();
        QCOMPARE(pic().ScaleLeft(), float((graph ? 0 : 8) - third));
        form->Timer1_Timer();
        QCOMPARE(pic().ScaleLeft(), float(8 / k - third));
        form->Timer1_Timer();
        form->OptNoChase->click();
        form->Timer1_Timer();
        QCOMPARE(pic().ScaleLeft(), float(k * k * 0.04 + 8 / k - third));
    }

    void inputBoxesAndDrawingAreasHaveDistinctNames()
    {
        QStringList names;
        for (QWidget *w : std::initializer_list<QWidget *> {form->TxtK[0], form->TxtC[0], form->TxtK[1], form->TxtC[1],
                 form->TxtK[2], form->TxtC[2], form->TxtDT, form->Picture1, form->PicHelp})
            names << QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name);
        QCOMPARE(names,
            QStringList({"グラフ1の k", "グラフ1の C", "グラフ2の k", "グラフ2の C", "グラフ3の k", "グラフ3の C",
                "Δt/s (1秒あたりの t の変化)", "ソリトンのグラフ", "ヘルプのページ"}));
        QVERIFY(QAccessible::queryAccessibleInterface(form->Picture1)->text(QAccessible::Description).contains("動"));
    }

    // Moved to a screen of twice the density, the next frame has twice the device pixels; so do zoom presses.
    void nextFrameFollowsTheScreenAndTheZoom()
    {
        form->setScreen(QGuiApplication::screens().value(1));
        form->CmdWide->click();
        form->Timer1_Timer();
        QCOMPARE(pic().image().size(), QSize(1218, 674));
        form->setScreen(QGuiApplication::screens().value(0));
        form->CmdNarrow->click();
        form->CmdNarrow->click();
        form->Timer1_Timer();
        QCOMPARE(pic().image().size(), QSize(609, 337));
        QCOMPARE(pic().ScaleWidth(), 190.3125f);
    }
};

QTEST_MAIN(TestUi)
#include "tst_ui.moc"
