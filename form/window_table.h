#pragma once

#include "rgb.h"

#include <array>
#include <cstdint>
#include <string_view>

// The window's controls as both front-ends create them. Places and sizes are
// in twips from the top-left corner of the client area (15 twips a pixel at
// 96 dpi). Texts are UTF-8.

enum class Control : std::uint8_t {
    Picture1,
    PicHelp,
    OptChase0,
    OptChase1,
    OptChase2,
    OptNoChase,
    Label1,
    TxtK0,
    TxtK1,
    TxtK2,
    Label3,
    TxtDT,
    Label2,
    TxtC0,
    TxtC1,
    TxtC2,
    ChkPause,
    ChkHoriAxis,
    ChkHoriLabel,
    ChkVerAxis,
    ChkVerLabel,
    ChkMinLabel,
    CmdWide,
    CmdNarrow,
    Command1,
    CmdHelp,
};
constexpr int ControlCount = int(Control::CmdHelp) + 1;

enum class ControlKind : std::uint8_t { Surface, Option, Label, TextBox, CheckBox, Button };

struct ControlDesign {
    Control id;
    std::string_view name; // as the program calls it, "TxtK(0)" for an array member
    ControlKind kind;
    std::string_view caption; // or the initial text of a text box
    Rgb captionColour; // 0: the toolkit's own
    int left, top, width, height;
    int tabIndex; // -1: takes no focus
    std::int16_t value; // a check box's or option button's initial value
    std::string_view accessibleName; // empty: the caption says it
    std::string_view accessibleDescription;
};

// In the order of the band, back to front: labels lie behind what they touch
// and the help panel behind the plot area.
const std::array<ControlDesign, ControlCount> &WindowTable();
const ControlDesign &Design(Control id);

constexpr std::string_view FormCaption = "Tarvelon 課題 8";
constexpr int TwipsPerPixel = 15;
// A place or size of the table in pixels at 96 dpi (CSS pixels on the page).
constexpr int ToPixels(int twips)
{
    return twips / TwipsPerPixel;
}
constexpr int ClientWidth = ToPixels(9360);
constexpr int ClientHeight = ToPixels(6285);
constexpr int TimerIntervalMs = 40;

constexpr Control OptChase(int i)
{
    return Control(int(Control::OptChase0) + i);
}
constexpr Control TxtK(int i)
{
    return Control(int(Control::TxtK0) + i);
}
constexpr Control TxtC(int i)
{
    return Control(int(Control::TxtC0) + i);
}
