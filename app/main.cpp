#include "forms/native_paths.h"
#include "forms/translations.h"
#include "main_window/form1.h"
#include "main_window/ways_in.h"

#include <QApplication>

// vuelco [FILE...]: the files or folders named are opened once the window is up. The
// program reads no environment or settings of its own; Qt takes its own arguments first.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    vuelco::forms::installSpanishQtWords(app);
    vuelco::Form1 window;
    window.show();
    vuelco::openGivenFiles(window, vuelco::forms::commandLineNames(argc, argv));
    return QApplication::exec();
}
