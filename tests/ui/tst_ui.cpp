#include "form1.h"
#include "help_page.h"
#include "picture_box.h"
#include "pixels.h"
#include "recording_surface.h"

#include <QtTest>
#include <QtWidgets>

class TestUi : public QObject
{
    Q_OBJECT

    std::unique_ptr<Form1> form;
    RasterSurface &pic() { return form->Picture1->surface(); }
    static QString told(QWidget *w, QAccessible::Text t) { return QAccessible::queryAccessibleInterface(w)->text(t); }

private slots:
    void init() { form = std::make_unique<Form1>(); }

    // All three crests start together on x = 0, one third of the width in; each tick draws the time before its step.
    // The plot tells a screen reader the crests of the frame on screen, labels shown or not.
    void startUpAndTicks()
    {
        QCOMPARE(
            QList<double>({form->T, form->Kmax, form->DT, form->ChaseIndex * 1.0}), QList<double>({0, 3, 0.04, -1}));
        QCOMPARE(QRectF(pic().ScaleLeft(), pic().ScaleTop(), pic().ScaleWidth(), pic().ScaleHeight()),
            QRectF(-76.125f, -0.9f, 228.375f, 6.3f));
        QCOMPARE(QList<QRect>({form->rect(), form->Picture1->geometry()}),
            QList<QRect>({{0, 0, 624, 419}, {8, 8, 609, 337}}));
        QCOMPARE(QList<QPointF>({crestOf(pic().image(), qRgb(0, 255, 0)), crestOf(pic().image(), qRgb(0, 0, 255))}),
            QList<QPointF>({{203, 155}, {203, 288}}));
        QCOMPARE(told(form->Picture1, QAccessible::Description),
            QString("頂点の座標: グラフ1 (赤) の頂点 (0,-0.50)、グラフ2 (緑) の頂点 (0,-2.0)、グラフ3 (青) の頂点 "
                    "(0,-4.5)"));
        QCOMPARE(form->Picture1->grab().toImage().convertToFormat(QImage::Format_RGB32), pic().image());
        QCOMPARE(pic().image().pixel(0, 336), qRgb(0, 0, 0)); // x = -76.125, y = 5.4: no grid line there
        form->ChkHoriAxis->click();
        form->ChkVerAxis->click();
        form->Timer1_Timer(); // no grid: the lowest white is the blue crest's label, hanging below it
        QVERIFY(crestOf(pic().image(), qRgb(255, 255, 255)).y() > 290);
        form->ChkMinLabel->click();
        // Read whole, all 40002 characters, k is -5: the second tick draws the red crest at x = 25 t = 1.
        form->TxtK[0]->setText('-' + QString(40000, '0') + '5');
        form->TxtK[1]->setText("0");
        form->Command1->click();
        form->Timer1_Timer();
        form->Timer1_Timer();
        QCOMPARE(QList<double>({form->T, form->Kmax, crestOf(pic().image(), qRgb(255, 0, 0)).x()}),
            QList<double>({0.08, 5, 206})); // the nearest sample, x = 1.125
        for (QRgb gridOrLabel : {qRgb(128, 128, 128), qRgb(255, 255, 255)})
            QCOMPARE(crestOf(pic().image(), gridOrLabel), QPointF(-1, -1));
        QCOMPARE(told(form->Picture1, QAccessible::Description),
            QString("頂点の座標: グラフ1 (赤) の頂点 (1.000,-13)、グラフ2 (緑) は高さ 0 の平らな直線、グラフ3 (青) "
                    "の頂点 (0.360,-4.5)"));
    }

    // What a screen reader meets: a window named by its caption, Tab from apply visiting every control in the window's
    // tab order, each follow option included, and coming round; a name of its own for every control, the two
    // "numbers too" boxes telling their axis, what the symbol-only controls do, the help page's lines, and under the
    // pointer the drawing area in front, help or plot.
    void accessibleTree()
    {
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QStringList visited;
        for (int i = 0; i < 21; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << told(QApplication::focusWidget(), QAccessible::Name);
        }
        QCOMPARE(visited,
            QStringList({"Δt/s (1秒あたりの t の変化)", "一時停止", "グラフ2の k", "グラフ2の C", "グラフ1の k",
                "グラフ1の C", "グラフ3の k", "グラフ3の C", "ヘルプ表示", "1", "2", "3", "グラフを追わない",
                "水平軸の表示", "水平軸の文字も表示", "垂直軸の表示", "垂直軸の文字も表示", "極値の座標を表示", "→||←",
                "|← →|", "t=0 / 設定適用"}));
        QAccessibleInterface *window = QAccessible::queryAccessibleInterface(form.get());
        QCOMPARE(QList<QVariant>({window->role(), window->text(QAccessible::Name)}),
            QList<QVariant>({QAccessible::Window, form->windowTitle()}));
        QStringList said; // 26 controls' names, then what 5 of them do
        for (int i = 0; i < window->childCount(); ++i)
            said << window->child(i)->text(QAccessible::Name);
        for (QWidget *w : std::initializer_list<QWidget *> {
                 form->CmdWide, form->CmdNarrow, form->OptChase[0], form->OptChase[1], form->OptChase[2]})
            said << told(w, QAccessible::Description);
        QCOMPARE(QSet<QString>(said.begin(), said.end()).size(), 31);
        QVERIFY(!said.contains(QString()));
        // The page's lines are its description; printed, the title stands two print zones in on the second line
        // and each body line one column in, blank lines between paragraphs.
        RecordingSurface page;
        page.setScale(-5, -5, 609, 337); // a character 7 units wide, a line 15 high
        PrintHelpPage(page);
        QPolygonF at; // in columns and lines
        for (const RecordingSurface::Call &line : page.calls)
            at << QPointF((line.x1 + 5) / 7, line.y1 / 15);
        QCOMPARE(at, QPolygonF({{28, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 7}, {1, 8}, {1, 10}, {1, 11}, {1, 13}}));
        QCOMPARE(told(form->PicHelp, QAccessible::Description).split('\n', Qt::SkipEmptyParts), page.printed);
        QVERIFY(QAccessible::queryAccessibleInterface(form->Picture1)->role() != QAccessible::Client);
        const QPoint centre = form->Picture1->mapToGlobal(form->Picture1->rect().center());
        QCOMPARE(window->childAt(centre.x(), centre.y())->object(), form->Picture1);
        form->CmdHelp->click();
        QCOMPARE(window->childAt(centre.x(), centre.y())->object(), form->PicHelp);
        // In its font the page fits the panel, dark on light below an empty first line.
        const QImage help = form->PicHelp->surface().image();
        const QRect ink = pixels(help, help.pixel(0, 0), Pixels::NotIn).boundingRect();
        QVERIFY(qGray(help.pixel(0, 0)) > 200 && ink.top() >= 16 && ink.right() < 600 && ink.height() > 150);
        // Help has paused the plot; cleared, pause runs it again in front.
        QVERIFY(!form->Timer1->isActive());
        form->ChkPause->click();
        QVERIFY(form->Timer1->isActive());
        QCOMPARE(window->childAt(centre.x(), centre.y())->object(), form->Picture1);
    }

    // Each tick advances t by the typed rate times its interval, so t keeps time with the clock; a busy machine
    // may fall a tick or two behind.
    void timeRunsAtTheTypedRate()
    {
        QElapsedTimer clock;
        clock.start();
        QTest::qWait(2500);
        const double seconds = clock.elapsed() / 1000.0, least = qEnvironmentVariableIsSet("ASAN_OPTIONS") ? 0.8 : 0.95;
        QVERIFY2(
            form->T >= least * (seconds - 0.08) && form->T <= 1.02 * seconds, qPrintable(QString::number(form->T)));
    }

    // Moved to a screen of twice the density, the next frame has twice the device pixels; zoom presses and the graph
    // followed show from the next frame on too, its crest one third of the width in. Apply places graph 1.
    void nextFrameFollowsTheScreenZoomAndGraph()
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
        const double third = 190.3125 / 3;
        form->TxtC[2]->setText("-8"); // graph 3's crest at 8 / 3 + 9 t, graph 1's at t
        form->Command1->click();
        form->OptChase[2]->click();
        QCOMPARE(pic().ScaleLeft(), float(-third));
        form->Timer1_Timer();
        QCOMPARE(pic().ScaleLeft(), float(8.0 / 3 - third));
        form->OptChase[0]->click();
        form->Timer1_Timer();
        form->OptNoChase->click();
        form->Timer1_Timer();
        QCOMPARE(pic().ScaleLeft(), float(0.04 - third));
    }
};

QTEST_MAIN(TestUi)
#include "tst_ui.moc"
