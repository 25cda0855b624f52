#include "form1.h"

#include "help_page.h"
#include "plot_description.h"
#include "val.h"
#include "view_scaling.h"

namespace {

// Design scale of the plot area; all but the width are replaced by the first
// apply before the window shows.
constexpr double DesignScaleLeft = -10;
constexpr double DesignScaleTop = -5;
constexpr double DesignScaleWidth = 228.375;
constexpr double DesignScaleHeight = 325.49905;

bool isCheckBox(Control c)
{
    return Design(c).kind == ControlKind::CheckBox;
}

} // namespace

Form1::Form1(RasterSurface &picture, PlotSurface &help, FormHost &host)
    : Picture1(picture)
    , PicHelp(help)
    , m_host(host)
{
    for (const ControlDesign &design : WindowTable()) {
        m_value[std::size_t(design.id)] = design.value;
        m_enabled[std::size_t(design.id)] = true;
    }
    Picture1.setScaleLeft(DesignScaleLeft);
    Picture1.setScaleTop(DesignScaleTop);
    Picture1.setScaleWidth(DesignScaleWidth);
    Picture1.setScaleHeight(DesignScaleHeight);
    // The help panel keeps the default scale: twips from its top-left corner.
    PicHelp.setScaleWidth(Design(Control::PicHelp).width);
    PicHelp.setScaleHeight(Design(Control::PicHelp).height);
}

void Form1::SetValue(Control c, std::int16_t value)
{
    const auto i = std::size_t(c);
    if (isCheckBox(c)) {
        if (m_value[i] == value)
            return;
        m_value[i] = value;
        m_host.StateChanged();
        if (c == Control::ChkPause)
            ChkPause_Click();
        else if (c == Control::ChkHoriAxis)
            ChkHoriAxis_Click();
        else if (c == Control::ChkVerAxis)
            ChkVerAxis_Click();
        return;
    }
    // Selecting one option button clears the others; clearing one is not
    // something a user can do.
    if (::Design(c).kind != ControlKind::Option || value == 0 || m_value[i] == 1)
        return;
    for (const Control option : {OptChase(0), OptChase(1), OptChase(2), Control::OptNoChase})
        m_value[std::size_t(option)] = 0;
    m_value[i] = 1;
    m_host.StateChanged();
    if (c == Control::OptNoChase)
        OptNoChase_Click();
    else
        OptChase_Click(int(c) - int(Control::OptChase0));
}

void Form1::Click(Control c)
{
    if (c == Control::Command1)
        Command1_Click();
    else if (c == Control::CmdHelp)
        CmdHelp_Click();
    else if (c == Control::CmdWide)
        CmdWide_Click();
    else if (c == Control::CmdNarrow)
        CmdNarrow_Click();
}

void Form1::Form_Load()
{
    PrintHelpPage(PicHelp);
    GraphCount = 3;
    ChaseIndex = -1;
    GraphColor = {MakeRgb(255, 0, 0), MakeRgb(0, 255, 0), MakeRgb(0, 0, 255)};
    Click(Control::Command1);
}

void Form1::Command1_Click()
{
    T = 0;
    for (int i = 0; i < GraphsInUse(*this); ++i) {
        K[i] = Val(m_host.Text(TxtK(i)));
        C[i] = Val(m_host.Text(TxtC(i)));
    }
    Kmax = LargestAbsK(K, GraphCount);
    DT = TimeStep(Val(m_host.Text(Control::TxtDT)), TimerInterval());
    const std::int16_t placed = 0;
    const std::int16_t fitVertically = 1;
    SetScale(Picture1, *this, placed, fitVertically);
    DrawGraph();
}

void Form1::Timer1_Timer()
{
    if (ChaseIndex >= 0) {
        const std::int16_t keepVertical = 0;
        SetScale(Picture1, *this, ChaseIndex, keepVertical);
    }
    DrawGraph();
    T = AdvanceTime(T, DT);
}

void Form1::ChkPause_Click()
{
    if (Value(Control::ChkPause) != 0) {
        m_timerEnabled = false;
    } else {
        m_timerEnabled = true;
        bringToFront(Control::Picture1);
    }
    m_host.StateChanged();
}

void Form1::CmdHelp_Click()
{
    SetValue(Control::ChkPause, 1);
    bringToFront(Control::PicHelp);
    m_host.StateChanged();
}

void Form1::OptChase_Click(int Index)
{
    ChaseIndex = static_cast<std::int16_t>(Index);
}

void Form1::OptNoChase_Click()
{
    ChaseIndex = -1;
}

void Form1::ChkHoriAxis_Click()
{
    m_enabled[std::size_t(Control::ChkHoriLabel)] = Value(Control::ChkHoriAxis) != 0;
    m_host.StateChanged();
}

void Form1::ChkVerAxis_Click()
{
    m_enabled[std::size_t(Control::ChkVerLabel)] = Value(Control::ChkVerAxis) != 0;
    m_host.StateChanged();
}

void Form1::CmdWide_Click()
{
    Widen(Picture1);
}

void Form1::CmdNarrow_Click()
{
    Narrow(Picture1);
}

void Form1::bringToFront(Control surface)
{
    m_front = surface;
}

void Form1::DrawGraph()
{
    // Moved to a screen of another density, the plot is drawn sharp again from
    // this frame on instead of being scaled by the toolkit.
    Picture1.setDevicePixelRatio(m_host.DevicePixelRatio());
    ::DrawGraph(Picture1, *this, GraphColor, switches());
    m_shownFrame = static_cast<const WaveModel &>(*this);
}

FrameSwitches Form1::switches() const
{
    return {Value(Control::ChkHoriAxis), Value(Control::ChkHoriLabel), Value(Control::ChkVerAxis),
        Value(Control::ChkVerLabel), Value(Control::ChkMinLabel)};
}

std::string Form1::PlotDescription() const
{
    return DescribeCrests(m_shownFrame);
}
