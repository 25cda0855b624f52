#pragma once

#include "form1.h"

#include <QWidget>

#include <array>
#include <memory>

class PictureBox;
class QButtonGroup;
class QTimer;

// The program's window in Qt: the controls of the window table, each event
// handed to Form1's reactions, and Form1's state shown on the controls after
// each of them. The reactions, the frame and the help page are Form1's; this
// class only creates widgets, forwards events and shows pixels.
class Form1Window : public QWidget, public FormHost
{
    Q_OBJECT

public:
    explicit Form1Window(QWidget *parent = nullptr);
    ~Form1Window() override;

    Form1 &form() { return *m_form; }
    QWidget *control(Control c) const { return m_controls[std::size_t(c)]; }
    template<typename Widget> Widget *control(Control c) const { return static_cast<Widget *>(control(c)); }
    PictureBox *Picture1 = nullptr;
    PictureBox *PicHelp = nullptr;
    QTimer *Timer1 = nullptr;

    std::string Text(Control box) const override;
    double DevicePixelRatio() const override;
    void StateChanged() override;

private:
    QWidget *createControl(const ControlDesign &design);
    void setTabOrder();

    std::array<QWidget *, ControlCount> m_controls {};
    // Arrow keys move among the follow options as one group. Qt owns it as
    // the window's child; held here so the static analyser sees its owner.
    QButtonGroup *m_options = nullptr;
    std::unique_ptr<Form1> m_form;
};
