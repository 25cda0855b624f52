#include "window_table.h"

namespace {

constexpr Rgb Red = MakeRgb(255, 0, 0), Green = MakeRgb(0, 255, 0), Blue = MakeRgb(0, 0, 255);
using enum ControlKind;

// The tab positions of the design; the surfaces take no focus here, and the
// tab order skips nothing else.
constexpr std::array<ControlDesign, ControlCount> Table {{
    {Control::Label1, "Label1", Label, "k", 0, 120, 5520, 255, 255, -1, 0, {}, {}},
    {Control::Label3, "Label3", Label, "Δt/s", 0, 2400, 5640, 495, 255, -1, 0, {}, {}},
    {Control::Label2, "Label2", Label, "C", 0, 120, 5880, 255, 255, -1, 0, {}, {}},
    {Control::PicHelp, "PicHelp", Surface, {}, 0, 120, 120, 9135, 5055, -1, 0, "ヘルプのページ", {}},
    {Control::Picture1, "Picture1", Surface, {}, 0, 120, 120, 9135, 5055, -1, 0, "ソリトンのグラフ", {}},
    {Control::OptChase0, "OptChase(0)", Option, "1", Red, 240, 5280, 615, 255, 14, 0, {},
        "座標が グラフ1 (赤) を追うようにします"},
    {Control::OptChase1, "OptChase(1)", Option, "2", Green, 960, 5280, 615, 255, 15, 0, {},
        "座標が グラフ2 (緑) を追うようにします"},
    {Control::OptChase2, "OptChase(2)", Option, "3", Blue, 1680, 5280, 615, 255, 16, 0, {},
        "座標が グラフ3 (青) を追うようにします"},
    {Control::OptNoChase, "OptNoChase", Option, "グラフを追わない", 0, 2400, 5280, 1695, 255, 17, 1, {}, {}},
    {Control::TxtK0, "TxtK(0)", TextBox, "1", 0, 240, 5520, 615, 270, 7, 0, "グラフ1の k", {}},
    {Control::TxtK1, "TxtK(1)", TextBox, "2", 0, 960, 5520, 615, 270, 5, 0, "グラフ2の k", {}},
    {Control::TxtK2, "TxtK(2)", TextBox, "3", 0, 1680, 5520, 615, 270, 11, 0, "グラフ3の k", {}},
    {Control::TxtDT, "TxtDT", TextBox, "1", 0, 2880, 5640, 615, 270, 2, 0, "Δt/s (1秒あたりの t の変化)", {}},
    {Control::TxtC0, "TxtC(0)", TextBox, "0", 0, 240, 5880, 615, 270, 8, 0, "グラフ1の C", {}},
    {Control::TxtC1, "TxtC(1)", TextBox, "0", 0, 960, 5880, 615, 270, 6, 0, "グラフ2の C", {}},
    {Control::TxtC2, "TxtC(2)", TextBox, "0", 0, 1680, 5880, 615, 270, 12, 0, "グラフ3の C", {}},
    {Control::ChkPause, "ChkPause", CheckBox, "一時停止", 0, 2400, 5880, 1095, 255, 4, 0, {}, {}},
    {Control::ChkHoriAxis, "ChkHoriAxis", CheckBox, "水平軸の表示", 0, 4200, 5280, 1455, 255, 19, 1, {}, {}},
    // The two "numbers too" boxes read alike on screen, where their places
    // tell the axis; a listener hears which.
    {Control::ChkHoriLabel, "ChkHoriLabel", CheckBox, "文字も表示", 0, 4440, 5520, 1215, 255, 20, 1,
        "水平軸の文字も表示", {}},
    {Control::ChkVerAxis, "ChkVerAxis", CheckBox, "垂直軸の表示", 0, 4200, 5760, 1455, 255, 21, 1, {}, {}},
    {Control::ChkVerLabel, "ChkVerLabel", CheckBox, "文字も表示", 0, 4440, 6000, 1215, 255, 22, 1, "垂直軸の文字も表示",
        {}},
    {Control::ChkMinLabel, "ChkMinLabel", CheckBox, "極値の座標を表示", 0, 5760, 5280, 1815, 255, 23, 1, {}, {}},
    {Control::CmdWide, "CmdWide", Button, "|← →|", 0, 5880, 5760, 735, 375, 25, 0, {}, "水平方向の表示範囲を広げます"},
    {Control::CmdNarrow, "CmdNarrow", Button, "→||←", 0, 6720, 5760, 735, 375, 24, 0, {},
        "水平方向の表示範囲を狭めます (ズーム)"},
    {Control::Command1, "Command1", Button, "t=0 / 設定適用", 0, 7680, 5280, 1575, 375, 0, 0, {}, {}},
    {Control::CmdHelp, "CmdHelp", Button, "ヘルプ表示", 0, 7680, 5760, 1575, 375, 13, 0, {}, {}},
}};

} // namespace

const std::array<ControlDesign, ControlCount> &WindowTable()
{
    return Table;
}

const ControlDesign &Design(Control id)
{
    for (const ControlDesign &design : Table) {
        if (design.id == id)
            return design;
    }
    return Table.front();
}
