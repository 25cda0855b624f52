// The window's reactions on the toolkit-free core: no widget, no display.
#include "form1.h"
#include "pixels.h"
#include "recording_surface.h"

#include <QTest>

namespace {

// Text boxes as the user left them.
struct Host : FormHost {
    std::map<Control, std::string> texts;
    std::string Text(Control box) const override
    {
        const auto typed = texts.find(box);
        return typed != texts.end() ? typed->second : std::string(Design(box).caption);
    }
    double DevicePixelRatio() const override { return 1; }
    void StateChanged() override { }
};

struct NoText : TextPainter {
    void attach(std::uint32_t *, int, int, double, bool) override { }
    void draw(int, int, std::string_view, Rgb) override { }
    double advance(std::string_view t) override { return 7.0 * double(t.size()); }
    double lineHeight() const override { return 15; }
    double averageCharWidth() const override { return 7; }
};

} // namespace

class TestForm : public QObject
{
    Q_OBJECT

    NoText text;
    std::unique_ptr<RasterSurface> pic;
    RecordingSurface help;
    Host host;
    std::unique_ptr<Form1> form;
    QImage image() const
    {
        return QImage(reinterpret_cast<const uchar *>(pic->pixels()), pic->deviceWidth(), pic->deviceHeight(),
            QImage::Format_RGB32);
    }
    QList<double> scale() const { return {pic->ScaleLeft(), pic->ScaleTop(), pic->ScaleWidth(), pic->ScaleHeight()}; }

private slots:
    void init()
    {
        host = {};
        help = {};
        pic = std::make_unique<RasterSurface>(609, 337, 1, MakeRgb(0, 0, 0), MakeRgb(255, 255, 255), text);
        form = std::make_unique<Form1>(*pic, help, host);
        form->Form_Load();
    }

    // All three crests start together on x = 0, one third of the width in; each tick draws the time before its step.
    // The plot tells a screen reader the crests of the frame on screen.
    void startUpAndTicks()
    {
        QCOMPARE(
            QList<double>({form->T, form->Kmax, form->DT, form->ChaseIndex * 1.0}), QList<double>({0, 3, 0.04, -1}));
        QCOMPARE(scale(), QList<double>({-76.125f, -0.9f, 228.375f, 6.3f}));
        QCOMPARE(QList<QPointF>({crestOf(image(), qRgb(0, 255, 0)), crestOf(image(), qRgb(0, 0, 255))}),
            QList<QPointF>({{203, 155}, {203, 288}}));
        QCOMPARE(QString::fromStdString(form->PlotDescription()),
            QString("頂点の座標: グラフ1 (赤) の頂点 (0,-0.50)、グラフ2 (緑) の頂点 (0,-2.0)、グラフ3 (青) の頂点 "
                    "(0,-4.5)"));
        QCOMPARE(int(help.printed.size()), 10); // the help page, printed once
        // Read whole, all 40002 characters, k is -5: the second tick draws the red crest at x = 25 t = 1.
        host.texts[TxtK(0)] = '-' + std::string(40000, '0') + '5';
        host.texts[TxtK(1)] = "0";
        form->Click(Control::Command1);
        form->Timer1_Timer();
        form->Timer1_Timer();
        QCOMPARE(QList<double>({form->T, form->Kmax, crestOf(image(), qRgb(255, 0, 0)).x()}),
            QList<double>({0.08, 5, 206})); // the nearest sample, x = 1.125
        QCOMPARE(QString::fromStdString(form->PlotDescription()),
            QString("頂点の座標: グラフ1 (赤) の頂点 (1.000,-13)、グラフ2 (緑) は高さ 0 の平らな直線、グラフ3 (青) "
                    "の頂点 (0.360,-4.5)"));
    }

    // A control's change, then what the window holds: the pause box, the timer, the surface in front, the enabled
    // flags of the two label boxes, the follow choice, and whether the picture was drawn anew.
    void reactions_data()
    {
        QTest::addColumn<QList<int>>("changes"); // pairs: control, value (-1: a press)
        QTest::addColumn<QList<int>>("state");
        auto c = [](Control id) {
            return int(id);
        };
        QTest::newRow("pause") << QList<int> {c(Control::ChkPause), 1} << QList<int> {1, 0, 0, 1, 1, -1, 0};
        QTest::newRow("help while running: paused and covered; cleared pause runs in front")
            << QList<int> {c(Control::CmdHelp), -1, c(Control::ChkPause), 0} << QList<int> {0, 1, 0, 1, 1, -1, 0};
        QTest::newRow("help twice, apply behind it") << QList<int> {c(Control::CmdHelp), -1, c(Control::CmdHelp), -1,
            c(Control::Command1), -1} << QList<int> {1, 0, 1, 1, 1, -1, 1};
        QTest::newRow("grid boxes disable their label boxes, which keep their ticks")
            << QList<int> {c(Control::ChkHoriAxis), 0, c(Control::ChkVerAxis), 0, c(Control::ChkVerAxis), 1}
            << QList<int> {0, 1, 0, 0, 1, -1, 0};
        QTest::newRow("follow 3, then 2; a second selection changes nothing")
            << QList<int> {c(OptChase(2)), 1, c(OptChase(1)), 1, c(OptChase(1)), 1} << QList<int> {0, 1, 0, 1, 1, 1, 0};
        QTest::newRow("follow nothing again")
            << QList<int> {c(OptChase(0)), 1, c(Control::OptNoChase), 1} << QList<int> {0, 1, 0, 1, 1, -1, 0};
        QTest::newRow("zoom presses draw nothing")
            << QList<int> {c(Control::CmdWide), -1, c(Control::CmdNarrow), -1} << QList<int> {0, 1, 0, 1, 1, -1, 0};
    }
    void reactions()
    {
        QFETCH(QList<int>, changes);
        const unsigned shown = pic->presented();
        for (qsizetype i = 0; i < changes.size(); i += 2)
            changes[i + 1] < 0 ? form->Click(Control(changes[i]))
                               : form->SetValue(Control(changes[i]), std::int16_t(changes[i + 1]));
        const QList<int> state {form->Value(Control::ChkPause), form->TimerEnabled(), form->Front() == Control::PicHelp,
            form->Enabled(Control::ChkHoriLabel), form->Enabled(Control::ChkVerLabel), form->ChaseIndex,
            int(pic->presented() - shown)};
        QTEST(state, "state");
        int selected = 0;
        for (Control option : {OptChase(0), OptChase(1), OptChase(2), Control::OptNoChase})
            selected += form->Value(option);
        QCOMPARE(QList<int>({selected, form->Value(Control::ChkHoriLabel), form->Value(Control::ChkVerLabel)}),
            QList<int>({1, 1, 1}));
    }

    // Zoom presses and the graph followed show from the next frame on, its crest one third of the width in; apply
    // places graph 1 whatever is followed.
    void nextFrameFollowsZoomAndGraph()
    {
        form->Click(Control::CmdNarrow);
        form->Click(Control::CmdNarrow);
        form->Click(Control::CmdWide);
        QCOMPARE(pic->ScaleWidth(), 190.3125f);
        const double third = 190.3125 / 3;
        host.texts[TxtC(2)] = "-8"; // graph 3's crest at 8 / 3 + 9 t, graph 1's at t
        form->Click(Control::Command1);
        form->SetValue(OptChase(2), 1);
        QCOMPARE(pic->ScaleLeft(), float(-third));
        form->Timer1_Timer();
        QCOMPARE(pic->ScaleLeft(), float(8.0 / 3 - third));
        form->SetValue(OptChase(0), 1);
        form->Timer1_Timer();
        form->SetValue(Control::OptNoChase, 1);
        form->Timer1_Timer();
        QCOMPARE(pic->ScaleLeft(), float(0.04 - third));
        form->Click(Control::Command1);
        QCOMPARE(pic->ScaleLeft(), float(-third));
    }
};

QTEST_APPLESS_MAIN(TestForm)
#include "tst_form.moc"
