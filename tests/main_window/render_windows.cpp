// Renders the main window, with a file loaded, and the file chooser offscreen into PNG
// files for the README. Usage: vuelco_render_windows FOLDER. Exit status 1 when a
// window could not be rendered or saved.
#include "file_chooser/fdisco.h"
#include "file_chooser/module1.h"
#include "forms/fonts.h"
#include "forms/native_paths.h"
#include "main_window/form1.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <iostream>

using vuelco::Fdisco;
using vuelco::Form1;
namespace Module1 = vuelco::Module1;

namespace {

bool save(QWidget *widget, const QDir &folder, const QString &name)
{
    const QString path = folder.filePath(name);
    if (!widget->grab().save(path)) {
        std::cerr << "No se pudo guardar " << path.toStdString() << '\n';
        return false;
    }
    std::cout << path.toStdString() << '\n';
    return true;
}

bool writeSample(const QString &path)
{
    QFile file(path);
    const QByteArray header("RES\0\x02\0\0\0\x11\x22\x33\x44\x55\x66\x77\x88", 16);
    return file.open(QIODevice::WriteOnly) && file.write(header + QByteArray(48, '\0')) == 64;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::cerr << "Uso: vuelco_render_windows CARPETA\n";
        return 2;
    }
    vuelco::forms::registerFontSubstitutes();
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir samples;
    const QString sample = QDir(samples.path()).filePath(QStringLiteral("nivel1.dat"));
    if (!samples.isValid() || !writeSample(sample) ||
        !writeSample(QDir(samples.path()).filePath(QStringLiteral("nivel2.dat")))) {
        std::cerr << "No se pudieron crear los archivos de ejemplo\n";
        return 1;
    }

    Form1 window;
    window.setChooser([&sample](QWidget *) {
        Module1::RutaArchivo = QDir::toNativeSeparators(sample);
        Module1::Opcion[Module1::kResultado] = 1;
    });
    window.show();
    window.BTcarga_Click();
    bool ok = save(&window, folder, QStringLiteral("form1.png"));

    // The chooser is modal: it is rendered from inside its own loop, then cancelled.
    bool chooserShown = false;
    QTimer::singleShot(300, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (dialog == nullptr)
            return;
        chooserShown = true;
        ok = save(dialog, folder, QStringLiteral("fdisco.png")) && ok;
        if (auto *cancel = dialog->findChild<QPushButton *>(QStringLiteral("BTcancela")))
            cancel->click();
        else
            dialog->close();
    });
    Module1::RutaArchivo = QDir::toNativeSeparators(sample);
    Module1::Opcion[Module1::kModo] = 0;
    Fdisco::showModal(&window);
    if (!chooserShown) {
        std::cerr << "El selector de archivos no se mostró\n";
        return 1;
    }
    return ok ? 0 : 1;
}
