#include "plot_description.h"

#include "frame.h"

#include <QStringList>

QString GraphName(int i)
{
    static constexpr const char16_t *Colours[WaveModel::MaxGraphs] = {u"赤", u"緑", u"青"};
    return QStringLiteral("グラフ%1 (%2)").arg(i + 1).arg(QString::fromUtf16(Colours[i]));
}

QString DescribeCrests(const WaveModel &frame)
{
    QStringList graphs;
    for (int i = 0; i < GraphsInUse(frame); ++i) {
        const QString label = CrestLabel(frame, i);
        if (frame.K[i] == 0)
            graphs << GraphName(i) + QStringLiteral(" は高さ 0 の平らな直線");
        else if (label.isNull())
            graphs << GraphName(i) + QStringLiteral(" の頂点は遠すぎて座標を表せません");
        else
            graphs << GraphName(i) + QStringLiteral(" の頂点 ") + label;
    }
    return QStringLiteral("頂点の座標: ") + graphs.join(QStringLiteral("、"));
}
