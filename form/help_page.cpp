#include "help_page.h"

namespace {

enum class Kind { Blank, Heading, Body };

struct HelpLine {
    Kind kind;
    std::string_view text;
};

constexpr HelpLine Page[] = {
    {Kind::Blank, ""},
    {Kind::Heading, "ヘルプ"},
    {Kind::Body, "kとCを指定して3本同時に動きを見ることができます。"},
    {Kind::Body, "左下の６つのテキストボックスでそれぞれのkとCを指定してください。"},
    {Kind::Body, "その上にあるラジオボタンで、座標がグラフを追うように設定できます。"},
    {Kind::Body, "Δt/sは1秒間に式の中のtがどれだけ変化するか、の値です。"},
    {Kind::Blank, ""},
    {Kind::Body, "動作が遅い場合は、いらないグラフのkを0にすると"},
    {Kind::Body, "計算が省略されて高速になります｡ "},
    {Kind::Blank, ""},
    {Kind::Body, "右下にある「|← →|」「→||←」は水平方向の表示範囲の変更ボタンです。"},
    {Kind::Body, "「→||←」がズームになります。 "},
    {Kind::Blank, ""},
    {Kind::Body, "続けるには一時停止のチェックボックスを解除してください。"},
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
        panel.Print({line.text});
    }
}

std::string HelpText()
{
    // The empty first line is the panel's margin, not a paragraph break.
    std::string text;
    for (const HelpLine &line : Page)
        (text += line.text) += '\n';
    return text.substr(1, text.size() - 2);
}
