#pragma once

#include <QRadioButton>

// An option button of an exclusive group that Tab still reaches. Whenever one
// member of a group gets the focus, the toolkit takes Tab focus from all the
// others, so that Tab leaves the group at once; the window's tab order visits
// each option in turn instead.
class OptionButton : public QRadioButton
{
    Q_OBJECT

public:
    using QRadioButton::QRadioButton;

protected:
    void focusInEvent(QFocusEvent *event) override;
};
