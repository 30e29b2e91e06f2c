// Renders the main window, with a file loaded, the file chooser and the collection window
// after its look offscreen into PNG files for the README. Usage: vuelco_render_windows
// FOLDER. Exit status 1 when a window could not be rendered or saved.
#include "collection_window/collection_window.h"
#include "file_chooser/fdisco.h"
#include "file_chooser/module1.h"
#include "forms/native_paths.h"
#include "main_window/form1.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLayout>
#include <QPixmap>
#include <QPushButton>
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

bool writeSample(const QString &path, char code = '\x02')
{
    QFile file(path);
    const QByteArray header = QByteArray("RES\0", 4) + code + QByteArray("\0\0\0\x11\x22\x33\x44\x55\x66\x77\x88", 11);
    return file.open(QIODevice::WriteOnly) && file.write(header + QByteArray(48, '\0')) == 64;
}

// The collection window over the samples' folder, once its look is over.
bool saveCollection(QWidget *owner, const QString &samples, const QDir &folder)
{
    vuelco::CollectionWindow collection({QDir::toNativeSeparators(samples)}, owner);
    QEventLoop loop;
    QObject::connect(&collection, &vuelco::CollectionWindow::runEnded, &loop, &QEventLoop::quit);
    collection.show();
    loop.exec();
    // The counts came with the run's end: laid out now, not at the next turn of the loop.
    collection.layout()->activate();
    return save(&collection, folder, QStringLiteral("coleccion.png"));
}

// A scratch folder with a plain, fixed name, so that the pictures show a path a reader
// could have and come out the same from one rendering to the next.
class SampleFolder {
public:
    SampleFolder() : mDir(QDir(QDir::tempPath()).filePath(QStringLiteral("juegos")))
    {
        mDir.removeRecursively();
        mMade = QDir().mkpath(mDir.path());
    }
    ~SampleFolder() { mDir.removeRecursively(); }
    SampleFolder(const SampleFolder &) = delete;
    SampleFolder &operator=(const SampleFolder &) = delete;

    [[nodiscard]] bool isValid() const { return mMade; }
    [[nodiscard]] QString path() const { return mDir.path(); }

private:
    QDir mDir;
    bool mMade = false;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::cerr << "Uso: vuelco_render_windows CARPETA\n";
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const SampleFolder samples;
    const QString sample = QDir(samples.path()).filePath(QStringLiteral("nivel1.dat"));
    if (!samples.isValid() || !writeSample(sample) ||
        !writeSample(QDir(samples.path()).filePath(QStringLiteral("nivel2.dat"))) ||
        !writeSample(QDir(samples.path()).filePath(QStringLiteral("nivel3.dat")), '\x03') ||
        !writeSample(QDir(samples.path()).filePath(QStringLiteral("notas.dat")), 'x')) {
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
    ok = saveCollection(&window, samples.path(), folder) && ok;

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
