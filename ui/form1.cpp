#include "form1.h"

#include "accessibility.h"
#include "help_page.h"
#include "option_button.h"
#include "picture_box.h"
#include "plot_description.h"
#include "val.h"
#include "view_scaling.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <limits>

namespace {

// The layout is given in twips; the window's unit is the pixel at 96 dpi.
constexpr int TwipsPerPixel = 15;
QRect twips(int left, int top, int width, int height)
{
    return {left / TwipsPerPixel, top / TwipsPerPixel, width / TwipsPerPixel, height / TwipsPerPixel};
}

constexpr QSize ClientSize(9360 / TwipsPerPixel, 6285 / TwipsPerPixel);
const QRect PlotGeometry = twips(120, 120, 9135, 5055);
constexpr int TimerIntervalMs = 40;

constexpr QRgb Red = qRgb(255, 0, 0);
constexpr QRgb Green = qRgb(0, 255, 0);
constexpr QRgb Blue = qRgb(0, 0, 255);

// Design scale of the plot area; all but the width are replaced by the first
// apply before the window shows.
constexpr double DesignScaleLeft = -10;
constexpr double DesignScaleTop = -5;
constexpr double DesignScaleWidth = 228.375;
constexpr double DesignScaleHeight = 325.49905;

// The help panel keeps the default scale: twips from its top-left corner.
constexpr double HelpScaleWidth = 9135;
constexpr double HelpScaleHeight = 5055;
constexpr double HelpFontPoints = 14.25;

QFont helpFont()
{
    QFont font;
    // The proportional IPA gothic stands in where the design face is missing.
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
        QStringLiteral("IPAexGothic")});
    font.setPointSizeF(HelpFontPoints);
    font.setWeight(QFont::Normal);
    return font;
}

std::int16_t value(const QCheckBox *box)
{
    return box->isChecked() ? 1 : 0;
}

double readNumber(const QLineEdit *box)
{
    return Val(box->text().toStdString());
}

// The covered area is hidden as well: covered, it shows nothing anyway, and
// hidden it leaves a screen reader's tree and its hit test, which would
// otherwise find the lower of the two areas lying on the same place.
void bringToFront(QWidget *front, QWidget *covered)
{
    front->raise();
    front->show();
    covered->hide();
}

} // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent)
{
    InstallAccessibility();
    setWindowTitle(QStringLiteral("Tarvelon 課題 8"));
    // A Wayland compositor sets the size of a maximized or fullscreen window
    // and ends a client that draws another; there the window may grow, the
    // controls keeping their places at its top-left. X11 keeps it fixed.
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        setMinimumSize(ClientSize);
        resize(ClientSize);
    } else {
        setFixedSize(ClientSize);
    }
    createControls();
    connectReactions();
    setTabOrder();
    Form_Load();
    Command1->setFocus();
    Timer1->start();
}

void Form1::createControls()
{
    // Created back to front: the labels lie behind the boxes they touch, and
    // the help panel behind the plot area.
    auto label = [this](const QString &text, QRect geometry) {
        auto *l = new QLabel(text, this);
        l->setGeometry(geometry);
        return l;
    };
    Label1 = label(QStringLiteral("k"), twips(120, 5520, 255, 255));
    Label3 = label(QStringLiteral("Δt/s"), twips(2400, 5640, 495, 255));
    Label2 = label(QStringLiteral("C"), twips(120, 5880, 255, 255));

    const QPalette palette = QApplication::palette();
    PicHelp = new PictureBox(this, PlotGeometry, palette.color(QPalette::Window).rgb(),
        palette.color(QPalette::WindowText).rgb(), helpFont());
    Picture1 = new PictureBox(this, PlotGeometry, qRgb(0, 0, 0), qRgb(255, 255, 255), QApplication::font());
    bringToFront(Picture1, PicHelp);
    Picture1->setAccessibleName(QStringLiteral("ソリトンのグラフ"));
    Picture1->setAccessibleRole(QAccessible::Chart);
    Picture1->setDescriber([this] {
        return DescribeCrests(m_shownFrame);
    });
    PicHelp->setAccessibleName(QStringLiteral("ヘルプのページ"));
    PicHelp->setAccessibleRole(QAccessible::Pane);
    PicHelp->setAccessibleDescription(HelpText());

    auto option = [this](const QString &text, QRect geometry) {
        auto *o = new OptionButton(text, this);
        o->setGeometry(geometry);
        return o;
    };
    const std::array<QRgb, 3> captionColours {Red, Green, Blue};
    auto *group = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        OptChase[i] = option(QString::number(i + 1), twips(240 + 720 * i, 5280, 615, 255));
        QPalette p = OptChase[i]->palette();
        p.setColor(QPalette::WindowText, QColor::fromRgb(captionColours[i]));
        p.setColor(QPalette::ButtonText, QColor::fromRgb(captionColours[i]));
        OptChase[i]->setPalette(p);
        OptChase[i]->setAccessibleDescription(QStringLiteral("座標が %1 を追うようにします").arg(GraphName(i)));
        group->addButton(OptChase[i], i);
    }
    OptNoChase = option(QStringLiteral("グラフを追わない"), twips(2400, 5280, 1695, 255));
    group->addButton(OptNoChase);
    OptNoChase->setChecked(true);

    // The boxes have no captions of their own; a screen reader says these.
    auto textBox = [this](const QString &text, QRect geometry, const QString &name) {
        auto *t = new QLineEdit(text, this);
        t->setGeometry(geometry);
        t->setAccessibleName(name);
        // Any length is taken, and apply reads it whole.
        t->setMaxLength(std::numeric_limits<int>::max());
        return t;
    };
    for (int i = 0; i < 3; ++i) {
        const QString graph = QStringLiteral("グラフ%1の ").arg(i + 1);
        TxtK[i] = textBox(QString::number(i + 1), twips(240 + 720 * i, 5520, 615, 270), graph + 'k');
        TxtC[i] = textBox(QStringLiteral("0"), twips(240 + 720 * i, 5880, 615, 270), graph + 'C');
    }
    TxtDT = textBox(QStringLiteral("1"), twips(2880, 5640, 615, 270), QStringLiteral("Δt/s (1秒あたりの t の変化)"));

    auto checkBox = [this](const QString &text, QRect geometry, bool ticked) {
        auto *c = new QCheckBox(text, this);
        c->setGeometry(geometry);
        c->setChecked(ticked);
        return c;
    };
    ChkPause = checkBox(QStringLiteral("一時停止"), twips(2400, 5880, 1095, 255), false);
    ChkHoriAxis = checkBox(QStringLiteral("水平軸の表示"), twips(4200, 5280, 1455, 255), true);
    ChkHoriLabel = checkBox(QStringLiteral("文字も表示"), twips(4440, 5520, 1215, 255), true);
    ChkVerAxis = checkBox(QStringLiteral("垂直軸の表示"), twips(4200, 5760, 1455, 255), true);
    ChkVerLabel = checkBox(QStringLiteral("文字も表示"), twips(4440, 6000, 1215, 255), true);
    // The two "numbers too" boxes read alike on screen, where their places
    // tell the axis; a listener hears which.
    ChkHoriLabel->setAccessibleName(QStringLiteral("水平軸の文字も表示"));
    ChkVerLabel->setAccessibleName(QStringLiteral("垂直軸の文字も表示"));
    ChkMinLabel = checkBox(QStringLiteral("極値の座標を表示"), twips(5760, 5280, 1815, 255), true);

    auto button = [this](const QString &text, QRect geometry) {
        auto *b = new QPushButton(text, this);
        b->setGeometry(geometry);
        b->setAutoDefault(false);
        return b;
    };
    CmdWide = button(QStringLiteral("|\u2190 \u2192|"), twips(5880, 5760, 735, 375));
    CmdNarrow = button(QStringLiteral("\u2192||\u2190"), twips(6720, 5760, 735, 375));
    CmdWide->setAccessibleDescription(QStringLiteral("水平方向の表示範囲を広げます"));
    CmdNarrow->setAccessibleDescription(QStringLiteral("水平方向の表示範囲を狭めます (ズーム)"));
    Command1 = button(QStringLiteral("t=0 / 設定適用"), twips(7680, 5280, 1575, 375));
    CmdHelp = button(QStringLiteral("ヘルプ表示"), twips(7680, 5760, 1575, 375));

    Timer1 = new QTimer(this);
    // A coarse timer may drift by up to 5 %, and T advances per tick.
    Timer1->setTimerType(Qt::PreciseTimer);
    Timer1->setInterval(TimerIntervalMs);

    RasterSurface &pic = Picture1->surface();
    pic.setScaleLeft(DesignScaleLeft);
    pic.setScaleTop(DesignScaleTop);
    pic.setScaleWidth(DesignScaleWidth);
    pic.setScaleHeight(DesignScaleHeight);
    RasterSurface &help = PicHelp->surface();
    help.setScaleWidth(HelpScaleWidth);
    help.setScaleHeight(HelpScaleHeight);
}

void Form1::connectReactions()
{
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(CmdHelp, &QPushButton::clicked, this, &Form1::CmdHelp_Click);
    connect(CmdWide, &QPushButton::clicked, this, &Form1::CmdWide_Click);
    connect(CmdNarrow, &QPushButton::clicked, this, &Form1::CmdNarrow_Click);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    // toggled, not clicked: a change made by the program runs the reaction too.
    connect(ChkPause, &QCheckBox::toggled, this, &Form1::ChkPause_Click);
    connect(ChkHoriAxis, &QCheckBox::toggled, this, &Form1::ChkHoriAxis_Click);
    connect(ChkVerAxis, &QCheckBox::toggled, this, &Form1::ChkVerAxis_Click);
    for (int i = 0; i < 3; ++i) {
        connect(OptChase[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                OptChase_Click(i);
        });
    }
    connect(OptNoChase, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            OptNoChase_Click();
    });
}

void Form1::setTabOrder()
{
    QWidget *const chain[] = {Command1, TxtDT, ChkPause, TxtK[1], TxtC[1], TxtK[0], TxtC[0], TxtK[2], TxtC[2], CmdHelp,
        OptChase[0], OptChase[1], OptChase[2], OptNoChase, ChkHoriAxis, ChkHoriLabel, ChkVerAxis, ChkVerLabel,
        ChkMinLabel, CmdNarrow, CmdWide};
    for (std::size_t i = 0; i + 1 < std::size(chain); ++i)
        QWidget::setTabOrder(chain[i], chain[i + 1]);
}

void Form1::Form_Load()
{
    PrintHelpPage(PicHelp->surface());
    GraphCount = 3;
    ChaseIndex = -1;
    GraphColor = {Red, Green, Blue};
    Command1->click();
}

void Form1::Command1_Click()
{
    T = 0;
    for (int i = 0; i < GraphsInUse(*this); ++i) {
        K[i] = readNumber(TxtK[i]);
        C[i] = readNumber(TxtC[i]);
    }
    Kmax = LargestAbsK(K, GraphCount);
    DT = TimeStep(readNumber(TxtDT), Timer1->interval());
    const std::int16_t placed = 0;
    const std::int16_t fitVertically = 1;
    SetScale(Picture1->surface(), *this, placed, fitVertically);
    DrawGraph();
}

void Form1::Timer1_Timer()
{
    if (ChaseIndex >= 0) {
        const std::int16_t keepVertical = 0;
        SetScale(Picture1->surface(), *this, ChaseIndex, keepVertical);
    }
    DrawGraph();
    T = AdvanceTime(T, DT);
}

void Form1::ChkPause_Click()
{
    if (ChkPause->isChecked()) {
        Timer1->stop();
    } else {
        Timer1->start();
        bringToFront(Picture1, PicHelp);
    }
}

void Form1::CmdHelp_Click()
{
    ChkPause->setChecked(true);
    bringToFront(PicHelp, Picture1);
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
    ChkHoriLabel->setEnabled(ChkHoriAxis->isChecked());
}

void Form1::ChkVerAxis_Click()
{
    ChkVerLabel->setEnabled(ChkVerAxis->isChecked());
}

void Form1::CmdWide_Click()
{
    Widen(Picture1->surface());
}

void Form1::CmdNarrow_Click()
{
    Narrow(Picture1->surface());
}

void Form1::DrawGraph()
{
    // Moved to a screen of another density, the plot is drawn sharp again from
    // this frame on instead of being scaled by the toolkit.
    Picture1->surface().setDevicePixelRatio(Picture1->devicePixelRatioF());
    ::DrawGraph(Picture1->surface(), *this, GraphColor, switches());
    m_shownFrame = static_cast<const WaveModel &>(*this);
}

FrameSwitches Form1::switches() const
{
    return {value(ChkHoriAxis), value(ChkHoriLabel), value(ChkVerAxis), value(ChkVerLabel), value(ChkMinLabel)};
}
