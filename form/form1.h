#pragma once

#include "frame.h"
#include "raster_surface.h"
#include "wave_model.h"
#include "window_table.h"

#include <array>
#include <cstdint>
#include <string>

// What the window's reactions need of a front-end.
class FormHost
{
public:
    virtual ~FormHost() = default;
    // The text in a text box now.
    virtual std::string Text(Control box) const = 0;
    // Device pixels a logical pixel where the plot area is shown now.
    virtual double DevicePixelRatio() const = 0;
    // A value, an enabled flag, the surface in front or the timer changed:
    // show the state as Form1 holds it.
    virtual void StateChanged() = 0;
};

// The program's one window, free of any toolkit: the wave model (public base),
// the follow choice and the graph colours, the state of its controls, and a
// reaction for each control event, named after control and event. Reactions
// run synchronously, also when the program itself changes a control. A
// front-end creates the controls from the window table, hands their events to
// SetValue and Click, the timer's ticks to Timer1_Timer, and shows Picture1.
class Form1 : public WaveModel
{
public:
    // Both surfaces have the plot area's size; help keeps its scale in twips.
    Form1(RasterSurface &picture, PlotSurface &help, FormHost &host);

    std::int16_t ChaseIndex = 0;
    GraphColors GraphColor {};
    RasterSurface &Picture1;
    PlotSurface &PicHelp;

    // Check boxes 0 or 1, option buttons 1 when selected.
    std::int16_t Value(Control c) const { return m_value[std::size_t(c)]; }
    bool Enabled(Control c) const { return m_enabled[std::size_t(c)]; }
    Control Front() const { return m_front; }
    bool TimerEnabled() const { return m_timerEnabled; }
    int TimerInterval() const { return TimerIntervalMs; }

    // A check box's new value, or an option button selected (any value but
    // 0), by the user or the program: a change runs the control's reaction.
    void SetValue(Control c, std::int16_t value);
    // A button pressed.
    void Click(Control c);

    void Form_Load();
    void Command1_Click();
    void Timer1_Timer();
    void ChkPause_Click();
    void CmdHelp_Click();
    void OptChase_Click(int Index);
    void OptNoChase_Click();
    void ChkHoriAxis_Click();
    void ChkVerAxis_Click();
    void CmdWide_Click();
    void CmdNarrow_Click();

    // What a screen reader is told of the plot: the crest of each wave in the
    // frame on screen, as the labels print it.
    std::string PlotDescription() const;
    // The model as the frame on screen was drawn from.
    const WaveModel &ShownFrame() const { return m_shownFrame; }

private:
    void DrawGraph();
    void bringToFront(Control surface);
    FrameSwitches switches() const;

    FormHost &m_host;
    std::array<std::int16_t, ControlCount> m_value {};
    std::array<bool, ControlCount> m_enabled {};
    Control m_front = Control::Picture1;
    bool m_timerEnabled = true;
    // The model as the frame on screen was drawn from; time has moved on since.
    WaveModel m_shownFrame;
};
