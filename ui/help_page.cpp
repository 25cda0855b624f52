#include "help_page.h"

#include <QStringList>

namespace {

enum class Kind { Blank, Heading, Body };

struct HelpLine {
    Kind kind;
    const char16_t *text;
};

constexpr HelpLine Page[] = {
    {Kind::Blank, u""},
    {Kind::Heading, u"ヘルプ"},
    {Kind::Body, u"kとCを指定して3本同時に動きを見ることができます。"},
    {Kind::Body, u"左下の６つのテキストボックスでそれぞれのkとCを指定してください。"},
    {Kind::Body, u"その上にあるラジオボタンで、座標がグラフを追うように設定できます。"},
    {Kind::Body, u"Δt/sは1秒間に式の中のtがどれだけ変化するか、の値です。"},
    {Kind::Blank, u""},
    {Kind::Body, u"動作が遅い場合は、いらないグラフのkを0にすると"},
    {Kind::Body, u"計算が省略されて高速になります｡ "},
    {Kind::Blank, u""},
    {Kind::Body, u"右下にある「|← →|」「→||←」は水平方向の表示範囲の変更ボタンです。"},
    {Kind::Body, u"「→||←」がズームになります。 "},
    {Kind::Blank, u""},
    {Kind::Body, u"続けるには一時停止のチェックボックスを解除してください。"},
};

} // namespace

void PrintHelpPage(PlotSurface &panel)
{
    for (const HelpLine &line : Page) {
        // The heading stands two print zones in, each body line one blank column.
        if (line.kind == Kind::Heading) {
            panel.NextZone();
            panel.NextZone();
        } else if (line.kind == Kind::Body) {
            panel.Spc(1);
        }
        panel.Print({QString::fromUtf16(line.text)});
    }
}

QString HelpText()
{
    QStringList lines;
    for (const HelpLine &line : Page)
        lines << QString::fromUtf16(line.text);
    return lines.join(QLatin1Char('\n')).trimmed();
}
