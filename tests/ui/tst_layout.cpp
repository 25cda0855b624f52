#include "form1.h"
#include "picture_box.h"
#include "test_registry.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// Pixels of a rendered control close to a colour: the caption is drawn in it.
int pixelsNear(const QImage &image, QColor to)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor p = image.pixelColor(x, y);
            n += std::abs(p.red() - to.red()) + std::abs(p.green() - to.green()) + std::abs(p.blue() - to.blue()) < 60;
        }
    return n;
}

} // namespace

class TestLayout : public QObject
{
    Q_OBJECT

    std::unique_ptr<Form1> form;

private slots:
    void initTestCase()
    {
        form = std::make_unique<Form1>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }

    void window()
    {
        QCOMPARE(form->windowTitle(), QStringLiteral("Tarvelon 課題 8"));
        QCOMPARE(form->size(), QSize(624, 419));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        QVERIFY(form->Timer1->isActive());
        QCOMPARE(form->Timer1->interval(), 40);
        QCOMPARE(form->Timer1->timerType(), Qt::PreciseTimer);
    }

    void controls_data()
    {
        QTest::addColumn<QWidget *>("control");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QRect>("twips");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("checked"); // -1: not a check box or option
        Form1 &f = *form;
        auto row = [](const char *name, QWidget *w, const char *cls, QRect r, const QString &text, int checked) {
            QTest::newRow(name) << w << QString::fromLatin1(cls) << r << text << checked;
        };
        row("Picture1", f.Picture1, "PictureBox", {120, 120, 9135, 5055}, {}, -1);
        row("PicHelp", f.PicHelp, "PictureBox", {120, 120, 9135, 5055}, {}, -1);
        row("OptChase(0)", f.OptChase[0], "QRadioButton", {240, 5280, 615, 255}, "1", 0);
        row("OptChase(1)", f.OptChase[1], "QRadioButton", {960, 5280, 615, 255}, "2", 0);
        row("OptChase(2)", f.OptChase[2], "QRadioButton", {1680, 5280, 615, 255}, "3", 0);
        row("OptNoChase", f.OptNoChase, "QRadioButton", {2400, 5280, 1695, 255}, "グラフを追わない", 1);
        row("Label1", f.Label1, "QLabel", {120, 5520, 255, 255}, "k", -1);
        row("TxtK(0)", f.TxtK[0], "QLineEdit", {240, 5520, 615, 270}, "1", -1);
        row("TxtK(1)", f.TxtK[1], "QLineEdit", {960, 5520, 615, 270}, "2", -1);
        row("TxtK(2)", f.TxtK[2], "QLineEdit", {1680, 5520, 615, 270}, "3", -1);
        row("Label3", f.Label3, "QLabel", {2400, 5640, 495, 255}, "Δt/s", -1);
        row("TxtDT", f.TxtDT, "QLineEdit", {2880, 5640, 615, 270}, "1", -1);
        row("Label2", f.Label2, "QLabel", {120, 5880, 255, 255}, "C", -1);
        row("TxtC(0)", f.TxtC[0], "QLineEdit", {240, 5880, 615, 270}, "0", -1);
        row("TxtC(1)", f.TxtC[1], "QLineEdit", {960, 5880, 615, 270}, "0", -1);
        row("TxtC(2)", f.TxtC[2], "QLineEdit", {1680, 5880, 615, 270}, "0", -1);
        row("ChkPause", f.ChkPause, "QCheckBox", {2400, 5880, 1095, 255}, "一時停止", 0);
        row("ChkHoriAxis", f.ChkHoriAxis, "QCheckBox", {4200, 5280, 1455, 255}, "水平軸の表示", 1);
        row("ChkHoriLabel", f.ChkHoriLabel, "QCheckBox", {4440, 5520, 1215, 255}, "文字も表示", 1);
        row("ChkVerAxis", f.ChkVerAxis, "QCheckBox", {4200, 5760, 1455, 255}, "垂直軸の表示", 1);
        row("ChkVerLabel", f.ChkVerLabel, "QCheckBox", {4440, 6000, 1215, 255}, "文字も表示", 1);
        row("ChkMinLabel", f.ChkMinLabel, "QCheckBox", {5760, 5280, 1815, 255}, "極値の座標を表示", 1);
        // The arrows are U+2190 and U+2192, not look-alikes.
        row("CmdWide", f.CmdWide, "QPushButton", {5880, 5760, 735, 375}, QString::fromUtf16(u"|\u2190 \u2192|"), -1);
        row("CmdNarrow", f.CmdNarrow, "QPushButton", {6720, 5760, 735, 375}, QString::fromUtf16(u"\u2192||\u2190"), -1);
        row("Command1", f.Command1, "QPushButton", {7680, 5280, 1575, 375}, "t=0 / 設定適用", -1);
        row("CmdHelp", f.CmdHelp, "QPushButton", {7680, 5760, 1575, 375}, "ヘルプ表示", -1);
    }

    void controls()
    {
        QFETCH(QWidget *, control);
        QFETCH(QString, className);
        QFETCH(QRect, twips);
        QFETCH(QString, text);
        QFETCH(int, checked);
        QCOMPARE(QString::fromLatin1(control->metaObject()->className()), className);
        // Fifteen twips to the pixel; every position divides evenly.
        QCOMPARE(control->geometry(), QRect(twips.topLeft() / 15, twips.size() / 15));
        QCOMPARE(control->property("text").toString(), text);
        QVERIFY(control->isEnabled() && control->isVisible());
        if (auto *b = qobject_cast<QAbstractButton *>(control); b && checked >= 0)
            QCOMPARE(int(b->isChecked()), checked);
        if (auto *b = qobject_cast<QPushButton *>(control))
            QVERIFY(!b->isDefault() && !b->autoDefault());
    }

    void followCaptionsInGraphColours_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("1 red") << 0 << QColor(255, 0, 0);
        QTest::newRow("2 green") << 1 << QColor(0, 255, 0);
        QTest::newRow("3 blue") << 2 << QColor(0, 0, 255);
    }

    void followCaptionsInGraphColours()
    {
        QFETCH(int, index);
        QFETCH(QColor, colour);
        QVERIFY(pixelsNear(form->OptChase[index]->grab().toImage(), colour) >= 5);
        // The neutral option keeps the default text colour.
        QCOMPARE(pixelsNear(form->OptNoChase->grab().toImage(), colour), 0);
    }

    void labelsLieBehindTheirBoxes_data()
    {
        QTest::addColumn<QWidget *>("box");
        QTest::addColumn<QPoint>("overlap");
        QTest::newRow("k under TxtK(0)") << static_cast<QWidget *>(form->TxtK[0]) << QPoint(20, 375);
        QTest::newRow("C under TxtC(0)") << static_cast<QWidget *>(form->TxtC[0]) << QPoint(20, 400);
    }

    void labelsLieBehindTheirBoxes()
    {
        QFETCH(QWidget *, box);
        QFETCH(QPoint, overlap);
        QWidget *top = form->childAt(overlap);
        QVERIFY(top == box || box->isAncestorOf(top));
    }

    void plotAreaInFrontOfHelpPanel() { QCOMPARE(form->childAt(form->Picture1->geometry().center()), form->Picture1); }

    void tabOrderStartsAtApply()
    {
        QApplication::setActiveWindow(form.get());
        QVERIFY(QTest::qWaitForWindowActive(form.get()));
        QCOMPARE(QApplication::focusWidget(), form->Command1);
        const Form1 &f = *form;
        const QList<QWidget *> expected {f.TxtDT, f.ChkPause, f.TxtK[1], f.TxtC[1], f.TxtK[0], f.TxtC[0], f.TxtK[2],
            f.TxtC[2], f.CmdHelp, f.OptChase[0], f.OptChase[1], f.OptChase[2], f.OptNoChase, f.ChkHoriAxis,
            f.ChkHoriLabel, f.ChkVerAxis, f.ChkVerLabel, f.ChkMinLabel, f.CmdNarrow, f.CmdWide, f.Command1};
        QWidget *w = form->Command1;
        for (QWidget *next : expected) {
            do {
                w = w->nextInFocusChain();
            } while (!(w->focusPolicy() & Qt::TabFocus));
            QCOMPARE(w, next);
        }
    }
};

REGISTER_TEST(TestLayout)
#include "tst_layout.moc"
