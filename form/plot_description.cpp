#include "plot_description.h"

#include "frame.h"

std::string GraphName(int i)
{
    static constexpr const char *Colours[WaveModel::MaxGraphs] = {"赤", "緑", "青"};
    return "グラフ" + std::to_string(i + 1) + " (" + Colours[i] + ")";
}

std::string DescribeCrests(const WaveModel &frame)
{
    std::string said = "頂点の座標: ";
    for (int i = 0; i < GraphsInUse(frame); ++i) {
        const std::string label = CrestLabel(frame, i);
        if (i > 0)
            said += "、";
        if (frame.K[i] == 0)
            said += GraphName(i) + " は高さ 0 の平らな直線";
        else if (label.empty())
            said += GraphName(i) + " の頂点は遠すぎて座標を表せません";
        else
            said += GraphName(i) + " の頂点 " + label;
    }
    return said;
}
