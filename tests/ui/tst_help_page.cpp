#include "form1.h"
#include "help_page.h"
#include "picture_box.h"
#include "recording_surface.h"
#include "test_registry.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <cmath>
#include <map>

namespace {

constexpr double PanelTwipsWide = 9135;
constexpr double PanelTwipsHigh = 5055;

// The page as a reader should find it: line number (from 1) and text.
const std::map<int, QString> Page {
    {2, "ヘルプ"},
    {3, "kとCを指定して3本同時に動きを見ることができます。"},
    {4, "左下の６つのテキストボックスでそれぞれのkとCを指定してください。"},
    {5, "その上にあるラジオボタンで、座標がグラフを追うように設定できます。"},
    {6, "Δt/sは1秒間に式の中のtがどれだけ変化するか、の値です。"},
    {8, "動作が遅い場合は、いらないグラフのkを0にすると"},
    {9, "計算が省略されて高速になります｡ "},
    {11, "右下にある「|← →|」「→||←」は水平方向の表示範囲の変更ボタンです。"},
    {12, "「→||←」がズームになります。 "},
    {14, "続けるには一時停止のチェックボックスを解除してください。"},
};

} // namespace

class TestHelpPage : public QObject
{
    Q_OBJECT

private slots:
    void fourteenLinesInOrder()
    {
        RecordingSurface panel;
        panel.setScale(0, 0, PanelTwipsWide, PanelTwipsHigh);
        PrintHelpPage(panel);
        const auto texts = panel.texts();
        QCOMPARE(int(texts.size()), int(Page.size()));
        const double line = RecordingSurface::LinePixels * PanelTwipsHigh / RecordingSurface::DesignHeight;
        const double column = RecordingSurface::CharPixels * PanelTwipsWide / RecordingSurface::DesignWidth;
        auto text = texts.begin();
        for (const auto &[number, expected] : Page) {
            QCOMPARE(text->text, expected);
            QCOMPARE(text->y, float((number - 1) * line));
            // The title stands two print zones in; body lines one blank column.
            QVERIFY(std::abs(text->x - (text == texts.begin() ? 28 : 1) * column) < 1e-3);
            ++text;
        }
        // Fourteen line breaks in all, the empty lines included.
        QCOMPARE(panel.CurrentY(), float(14 * line));
    }

    void longestLinesFitWithTheFontUsed()
    {
        Form1 form;
        const QFont font = form.PicHelp->font();
        const QImage &image = form.PicHelp->surface().image();
        // A Japanese face is what renders the page, not a Latin fallback.
        const QString family = QFontInfo(font).family();
        QVERIFY2(family.contains("Gothic") || family.contains("ゴシック"), qPrintable(family));
        const QFontMetricsF metrics(font, &image);
        for (int line : {5, 11}) {
            const double right = metrics.averageCharWidth() + metrics.horizontalAdvance(Page.at(line));
            QVERIFY2(right <= form.PicHelp->width(), qPrintable(QString("line %1 ends at %2").arg(line).arg(right)));
        }
    }

    void renderedOnceAndKeptWhileCovered()
    {
        Form1 form;
        const QImage page = form.PicHelp->surface().image();
        // Text only on the lines that have some; the empty ones stay clear.
        const double lineHeight = QFontMetricsF(form.PicHelp->font(), &page).height();
        for (int line = 1; line <= 14; ++line) {
            int dark = 0;
            for (int y = int((line - 1) * lineHeight); y < int(line * lineHeight); ++y)
                for (int x = 0; x < page.width(); ++x)
                    dark += qGray(page.pixel(x, y)) < 128;
            QVERIFY2(
                Page.contains(line) == (dark > 0), qPrintable(QString("line %1: %2 dark pixels").arg(line).arg(dark)));
        }
        form.CmdHelp->click();
        form.TxtK[0]->setText("7");
        form.Command1->click();
        form.Timer1_Timer();
        form.CmdHelp->click();
        form.ChkPause->click();
        form.CmdHelp->click();
        QCOMPARE(form.PicHelp->surface().image(), page);
    }
};

REGISTER_TEST(TestHelpPage)
#include "tst_help_page.moc"
