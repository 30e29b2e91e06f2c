#include "main_window/form1.h"
#include "forms/fonts.h"

#include <QApplication>

// The program reads no command line, environment or settings of its own: the
// arguments go to Qt only because QApplication needs them.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    vuelco::forms::registerFontSubstitutes();
    vuelco::Form1 window;
    window.show();
    return QApplication::exec();
}
