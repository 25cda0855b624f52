#include "option_button.h"

#include <QButtonGroup>

void OptionButton::focusInEvent(QFocusEvent *event)
{
    QRadioButton::focusInEvent(event);
    if (QButtonGroup *options = group()) {
        for (QAbstractButton *option : options->buttons())
            option->setFocusPolicy(Qt::StrongFocus);
    }
}
