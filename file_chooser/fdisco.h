#pragma once

#include <QDialog>

// The program's own modal file chooser.
class Fdisco : public QDialog {
    Q_OBJECT

public:
    // Loads a new dialog from its design state for the request in Module1, shows it
    // modally and returns once it has unloaded itself.
    static void showModal(QWidget *owner);

private:
    explicit Fdisco(QWidget *owner);
};
