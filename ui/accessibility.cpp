#include "accessibility.h"

#include "form1_window.h"
#include "picture_box.h"

#include <QAccessibleWidget>

namespace {

class PictureBoxAccessible : public QAccessibleWidget
{
public:
    explicit PictureBoxAccessible(PictureBox *box)
        : QAccessibleWidget(box)
    { }

    QAccessible::Role role() const override { return box()->accessibleRole(); }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Description ? box()->describe() : QAccessibleWidget::text(t);
    }

private:
    PictureBox *box() const { return static_cast<PictureBox *>(widget()); }
};

QAccessibleInterface *accessibleFor(const QString &className, QObject *object)
{
    // Asked once per class up the object's hierarchy, most derived first.
    if (className == QLatin1String("PictureBox"))
        return new PictureBoxAccessible(static_cast<PictureBox *>(object));
    // A plain QWidget, even a top-level one, would be a "filler" otherwise.
    if (className == QLatin1String("Form1Window"))
        return new QAccessibleWidget(static_cast<Form1Window *>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

void InstallAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleFor);
        return true;
    }();
    (void)installed;
}
