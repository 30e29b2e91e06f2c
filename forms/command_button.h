#pragma once

#include <QPushButton>

namespace vuelco::forms {

// A push button that Enter clicks while it has the focus, as Space does: the forms'
// buttons answer both keys, not only a dialog's default button. Enter reaches nothing
// else from here, so a form that swallows Enter still closes nothing by it.
class CommandButton : public QPushButton {
    Q_OBJECT

public:
    explicit CommandButton(QWidget *parent = nullptr);
    CommandButton(const QString &caption, QWidget *parent);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace vuelco::forms
