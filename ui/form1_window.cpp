#include "form1_window.h"

#include "accessibility.h"
#include "help_page.h"
#include "option_button.h"
#include "picture_box.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <limits>

namespace {

QRect twips(const ControlDesign &design)
{
    return {ToPixels(design.left), ToPixels(design.top), ToPixels(design.width), ToPixels(design.height)};
}

QString text(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

QFont helpFont()
{
    QFont font;
    // The proportional IPA gothic stands in where the design face is missing.
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
        QStringLiteral("IPAexGothic")});
    font.setPointSizeF(14.25);
    font.setWeight(QFont::Normal);
    return font;
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

Form1Window::Form1Window(QWidget *parent)
    : QWidget(parent)
{
    InstallAccessibility();
    setWindowTitle(text(FormCaption));
    // A Wayland compositor sets the size of a maximized or fullscreen window
    // and ends a client that draws another; there the window may grow, the
    // controls keeping their places at its top-left. X11 keeps it fixed.
    const QSize client(ClientWidth, ClientHeight);
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        setMinimumSize(client);
        resize(client);
    } else {
        setFixedSize(client);
    }
    for (const ControlDesign &design : WindowTable()) {
        QWidget *w = createControl(design);
        w->setObjectName(text(design.name));
        w->setGeometry(twips(design));
        if (!design.accessibleName.empty())
            w->setAccessibleName(text(design.accessibleName));
        if (!design.accessibleDescription.empty())
            w->setAccessibleDescription(text(design.accessibleDescription));
        m_controls[std::size_t(design.id)] = w;
    }
    m_options = new QButtonGroup(this);
    for (Control option : {OptChase(0), OptChase(1), OptChase(2), Control::OptNoChase})
        m_options->addButton(control<QAbstractButton>(option));
    setTabOrder();

    Timer1 = new QTimer(this);
    // A coarse timer may drift by up to 5 %, and T advances per tick.
    Timer1->setTimerType(Qt::PreciseTimer);
    m_form = std::make_unique<Form1>(Picture1->surface(), PicHelp->surface(), *this);
    Timer1->setInterval(m_form->TimerInterval());
    connect(Timer1, &QTimer::timeout, this, [this] {
        m_form->Timer1_Timer();
    });
    Picture1->setAccessibleRole(QAccessible::Chart);
    Picture1->setDescriber([this] {
        return text(m_form->PlotDescription());
    });
    PicHelp->setAccessibleRole(QAccessible::Pane);
    PicHelp->setAccessibleDescription(text(HelpText()));

    m_form->Form_Load();
    Form1Window::StateChanged();
    control(Control::Command1)->setFocus();
}

Form1Window::~Form1Window() = default;

QWidget *Form1Window::createControl(const ControlDesign &design)
{
    const Control id = design.id;
    const QString caption = text(design.caption);
    switch (design.kind) {
    case ControlKind::Surface: {
        const QPalette palette = QApplication::palette();
        const bool plot = id == Control::Picture1;
        auto *box = new PictureBox(this, twips(design), plot ? MakeRgb(0, 0, 0) : palette.color(QPalette::Window).rgb(),
            plot ? MakeRgb(255, 255, 255) : palette.color(QPalette::WindowText).rgb(),
            plot ? QApplication::font() : helpFont());
        (plot ? Picture1 : PicHelp) = box;
        return box;
    }
    case ControlKind::Option: {
        auto *option = new OptionButton(caption, this);
        if (design.captionColour != 0) {
            QPalette p = option->palette();
            p.setColor(QPalette::WindowText, QColor::fromRgb(design.captionColour));
            p.setColor(QPalette::ButtonText, QColor::fromRgb(design.captionColour));
            option->setPalette(p);
        }
        connect(option, &QRadioButton::toggled, this, [this, id](bool on) {
            if (on)
                m_form->SetValue(id, 1);
        });
        return option;
    }
    case ControlKind::Label:
        return new QLabel(caption, this);
    case ControlKind::TextBox: {
        auto *box = new QLineEdit(caption, this);
        // Any length is taken, and apply reads it whole.
        box->setMaxLength(std::numeric_limits<int>::max());
        return box;
    }
    case ControlKind::CheckBox: {
        auto *box = new QCheckBox(caption, this);
        // toggled, not clicked: a change made by the program runs the reaction too.
        connect(box, &QCheckBox::toggled, this, [this, id](bool on) {
            m_form->SetValue(id, on ? 1 : 0);
        });
        return box;
    }
    case ControlKind::Button:
        break;
    }
    auto *button = new QPushButton(caption, this);
    button->setAutoDefault(false);
    connect(button, &QPushButton::clicked, this, [this, id] {
        m_form->Click(id);
    });
    return button;
}

void Form1Window::setTabOrder()
{
    std::vector<const ControlDesign *> order;
    for (const ControlDesign &design : WindowTable()) {
        if (design.tabIndex >= 0)
            order.push_back(&design);
    }
    std::sort(order.begin(), order.end(), [](const ControlDesign *a, const ControlDesign *b) {
        return a->tabIndex < b->tabIndex;
    });
    for (std::size_t i = 0; i + 1 < order.size(); ++i)
        QWidget::setTabOrder(control(order[i]->id), control(order[i + 1]->id));
}

std::string Form1Window::Text(Control box) const
{
    return control<QLineEdit>(box)->text().toStdString();
}

double Form1Window::DevicePixelRatio() const
{
    return Picture1->devicePixelRatioF();
}

void Form1Window::StateChanged()
{
    // Called from within reactions, before the window has all its parts.
    if (!m_form)
        return;
    for (const ControlDesign &design : WindowTable()) {
        if (design.kind == ControlKind::CheckBox || design.kind == ControlKind::Option) {
            auto *button = control<QAbstractButton>(design.id);
            button->setChecked(m_form->Value(design.id) != 0);
            button->setEnabled(m_form->Enabled(design.id));
        }
    }
    if (m_form->Front() == Control::Picture1)
        bringToFront(Picture1, PicHelp);
    else
        bringToFront(PicHelp, Picture1);
    if (m_form->TimerEnabled() != Timer1->isActive())
        m_form->TimerEnabled() ? Timer1->start() : Timer1->stop();
}
