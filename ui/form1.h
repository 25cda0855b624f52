#pragma once

#include "frame.h"
#include "wave_model.h"

#include <QWidget>

#include <array>
#include <cstdint>

class PictureBox;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTimer;

// The program's one window. The wave model is part of the window's state
// (public base), next to the follow choice and the graph colours; the controls
// are public so that the window can be driven and inspected like a form.
// Reactions are named after control and event and run synchronously, also
// when the program itself changes a control.
class Form1 : public QWidget, public WaveModel
{
    Q_OBJECT

public:
    explicit Form1(QWidget *parent = nullptr);

    std::int16_t ChaseIndex = 0;
    GraphColors GraphColor {};

    PictureBox *Picture1 = nullptr;
    PictureBox *PicHelp = nullptr;
    std::array<QRadioButton *, 3> OptChase {};
    QRadioButton *OptNoChase = nullptr;
    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    std::array<QLineEdit *, 3> TxtK {};
    std::array<QLineEdit *, 3> TxtC {};
    QLineEdit *TxtDT = nullptr;
    QCheckBox *ChkPause = nullptr;
    QCheckBox *ChkHoriAxis = nullptr;
    QCheckBox *ChkHoriLabel = nullptr;
    QCheckBox *ChkVerAxis = nullptr;
    QCheckBox *ChkVerLabel = nullptr;
    QCheckBox *ChkMinLabel = nullptr;
    QPushButton *CmdWide = nullptr;
    QPushButton *CmdNarrow = nullptr;
    QPushButton *Command1 = nullptr;
    QPushButton *CmdHelp = nullptr;
    QTimer *Timer1 = nullptr;

public slots:
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

private:
    void createControls();
    void connectReactions();
    void setTabOrder();
    void Form_Load();
    void DrawGraph();
    FrameSwitches switches() const;

    // The model as the frame on screen was drawn from; time has moved on since.
    WaveModel m_shownFrame;
};
