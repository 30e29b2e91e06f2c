#include "forms/command_button.h"

#include <QKeyEvent>

namespace vuelco::forms {

CommandButton::CommandButton(QWidget *parent) : CommandButton(QString(), parent) {}

CommandButton::CommandButton(const QString &caption, QWidget *parent) : QPushButton(caption, parent)
{
    // Not a dialog's default button either: Enter clicks only the button that has the focus.
    setAutoDefault(false);
    setDefault(false);
}

void CommandButton::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // A held key clicks once: each click may open a modal box.
        if (!event->isAutoRepeat())
            click();
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

} // namespace vuelco::forms
