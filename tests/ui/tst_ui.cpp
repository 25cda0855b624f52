// The Qt window as an adapter: widgets made from the window table, their events handed to the reactions and the
// reactions' state shown on them, the picture shown sharp on any screen, what a screen reader meets.
#include "form1_window.h"
#include "help_page.h"
#include "picture_box.h"
#include "pixels.h"

#include <QtTest>
#include <QtWidgets>

class TestUi : public QObject
{
    Q_OBJECT

    std::unique_ptr<Form1Window> form;
    Form1 &core() { return form->form(); }
    template<typename W = QAbstractButton> W *widget(Control c) { return form->control<W>(c); }
    static QString told(QWidget *w, QAccessible::Text t) { return QAccessible::queryAccessibleInterface(w)->text(t); }

private slots:
    void init() { form = std::make_unique<Form1Window>(); }

    // Clicks on widgets run the reactions, and what they change shows on the widgets: the label box disabled with its
    // grid box, the help panel over the plot with pause ticked, the timer stopped; typed text is read on apply.
    void widgetsFollowTheReactions()
    {
        QCOMPARE(QList<QRect>({form->rect(), form->Picture1->geometry(), widget(Control::CmdHelp)->geometry()}),
            QList<QRect>({{0, 0, 624, 419}, {8, 8, 609, 337}, {512, 384, 105, 25}}));
        QCOMPARE(form->Picture1->grab().toImage().convertToFormat(QImage::Format_RGB32), form->Picture1->image());
        QCOMPARE(told(form->Picture1, QAccessible::Name), "ソリトンのグラフ"); // the surface made for the plot
        widget(Control::ChkHoriAxis)->click();
        QVERIFY(!widget(Control::ChkHoriLabel)->isEnabled() && widget(Control::ChkHoriLabel)->isChecked());
        QCOMPARE(QList<QColor>({widget(OptChase(0))->palette().color(QPalette::WindowText),
                     widget(Control::OptNoChase)->palette().color(QPalette::WindowText)}),
            QList<QColor>({Qt::red, QApplication::palette().color(QPalette::WindowText)}));
        for (int i = 0; i < 3; ++i) { // one of the four options chosen, the one before cleared
            widget(OptChase(i))->click();
            QVERIFY(core().ChaseIndex == i && !widget(i ? OptChase(i - 1) : Control::OptNoChase)->isChecked());
        }
        QVERIFY(form->Timer1->isActive() && form->PicHelp->isHidden());
        widget(Control::CmdHelp)->click();
        QVERIFY(widget(Control::ChkPause)->isChecked() && !form->Timer1->isActive() && form->Picture1->isHidden());
        widget<QLineEdit>(TxtK(2))->setText("4");
        widget(Control::Command1)->click();
        QCOMPARE(core().Kmax, 4.0);
        widget(Control::ChkPause)->click();
        QVERIFY(form->Timer1->isActive() && form->PicHelp->isHidden() && !form->Picture1->isHidden());
    }

    // What a screen reader meets: a window named by its caption, Tab from apply visiting every control in the window's
    // tab order, each follow option included, and coming round; a name of its own for every control, the two
    // "numbers too" boxes telling their axis, what the symbol-only controls do, the help page's lines, the crests of
    // the frame on screen, and under the pointer the drawing area in front, help or plot.
    void accessibleTree()
    {
        form->show();
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QStringList visited;
        for (int i = 0; i < 21; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << told(QApplication::focusWidget(), QAccessible::Name);
        }
        QFile table(QFINDTESTDATA("e2e/cases.json")); // the page's too
        QVERIFY(table.open(QIODevice::ReadOnly));
        QCOMPARE(visited, QJsonDocument::fromJson(table.readAll())["tabOrder"].toVariant().toStringList());
        QAccessibleInterface *window = QAccessible::queryAccessibleInterface(form.get());
        QCOMPARE(QList<QVariant>({window->role(), window->text(QAccessible::Name)}),
            QList<QVariant>({QAccessible::Window, form->windowTitle()}));
        QStringList said; // 26 controls' names, then what 5 of them do
        for (int i = 0; i < window->childCount(); ++i)
            said << window->child(i)->text(QAccessible::Name);
        for (Control c : {Control::CmdWide, Control::CmdNarrow, OptChase(0), OptChase(1), OptChase(2)})
            said << told(widget(c), QAccessible::Description);
        QCOMPARE(QSet<QString>(said.begin(), said.end()).size(), 31);
        QVERIFY(!said.contains(QString()));
        QVERIFY(told(form->Picture1, QAccessible::Description).startsWith("頂点の座標: グラフ1 (赤) の頂点 (0,-0.50)"));
        QCOMPARE(told(form->PicHelp, QAccessible::Description), QString::fromStdString(HelpText())); // its lines
        QVERIFY(QAccessible::queryAccessibleInterface(form->Picture1)->role() != QAccessible::Client);
        const QPoint centre = form->Picture1->mapToGlobal(form->Picture1->rect().center());
        QCOMPARE(window->childAt(centre.x(), centre.y())->object(), form->Picture1);
        widget(Control::CmdHelp)->click();
        QCOMPARE(window->childAt(centre.x(), centre.y())->object(), form->PicHelp);
        // In its font the page fits the panel, dark on light below an empty first line.
        const QImage help = form->PicHelp->image();
        const QRect ink = pixels(help, help.pixel(0, 0), Pixels::NotIn).boundingRect();
        QVERIFY(qGray(help.pixel(0, 0)) > 200 && ink.top() >= 16 && ink.right() < 600 && ink.height() > 150);
        // The title two print zones in, the first body line one column.
        QVERIFY(pixels(help, help.pixel(0, 0), Pixels::NotIn, {0, ink.top(), 609, 1}).boundingRect().left() > 150
            && ink.left() < 30);
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
            core().T >= least * (seconds - 0.08) && core().T <= 1.02 * seconds, qPrintable(QString::number(core().T)));
    }

    // Moved to a screen of twice the density, the next frame has twice the device pixels, and back.
    void nextFrameFollowsTheScreen()
    {
        form->setScreen(QGuiApplication::screens().value(1));
        core().Timer1_Timer();
        QCOMPARE(form->Picture1->image().size(), QSize(1218, 674));
        form->setScreen(QGuiApplication::screens().value(0));
        core().Timer1_Timer();
        QCOMPARE(form->Picture1->image().size(), QSize(609, 337));
    }
};

QTEST_MAIN(TestUi)
#include "tst_ui.moc"
