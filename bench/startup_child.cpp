#include "main_window/form1.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QTimer>
#include <cstring>

namespace {

// Ends the program as soon as the window it watches has been painted once.
class QuitOnFirstPaint final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

// Starts like the vuelco program (or, with "bare", like the plainest Qt window of the
// same size, or with "caption", that window showing one caption in Qt's default face) and
// quits after the first paint, so the parent can time the start.
int main(int argc, char *argv[])
{
    const bool caption = argc > 1 && std::strcmp(argv[1], "caption") == 0;
    const bool bare = caption || (argc > 1 && std::strcmp(argv[1], "bare") == 0);
    QApplication app(argc, argv);
    QuitOnFirstPaint quitter;
    if (bare) {
        QWidget window;
        window.setFixedSize(426, 213);
        if (caption)
            new QLabel(QStringLiteral("18/05/2003"), &window);
        window.installEventFilter(&quitter);
        window.show();
        return QApplication::exec();
    }
    vuelco::Form1 window;
    window.installEventFilter(&quitter);
    window.show();
    return QApplication::exec();
}
