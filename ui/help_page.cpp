#include "help_page.h"

namespace {

// The blank column that indents each body line.
void body(PlotSurface &panel, const QString &text)
{
    panel.Spc(1);
    panel.Print({text});
}

void empty(PlotSurface &panel)
{
    panel.Print({});
}

} // namespace

void PrintHelpPage(PlotSurface &panel)
{
    empty(panel);
    panel.NextZone();
    panel.NextZone();
    panel.Print({QStringLiteral("ヘルプ")});
    body(panel, QStringLiteral("kとCを指定して3本同時に動きを見ることができます。"));
    body(panel, QStringLiteral("左下の６つのテキストボックスでそれぞれのkとCを指定してください。"));
    body(panel, QStringLiteral("その上にあるラジオボタンで、座標がグラフを追うように設定できます。"));
    body(panel, QStringLiteral("Δt/sは1秒間に式の中のtがどれだけ変化するか、の値です。"));
    empty(panel);
    body(panel, QStringLiteral("動作が遅い場合は、いらないグラフのkを0にすると"));
    body(panel, QStringLiteral("計算が省略されて高速になります｡ "));
    empty(panel);
    body(panel, QStringLiteral("右下にある「|← →|」「→||←」は水平方向の表示範囲の変更ボタンです。"));
    body(panel, QStringLiteral("「→||←」がズームになります。 "));
    empty(panel);
    body(panel, QStringLiteral("続けるには一時停止のチェックボックスを解除してください。"));
}
