#include "file_chooser/fdisco.h"
#include "file_chooser/module1.h"
#include "forms/dir_list_box.h"
#include "forms/drive_list_box.h"
#include "forms/file_list_box.h"
#include "forms/native_paths.h"
#include "forms/volumes.h"
#include "fake_volumes.h"
#include "scripted_message_boxes.h"
#include "temp_folder.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using vuelco::forms::DirListBox;
using vuelco::forms::DriveListBox;
using vuelco::forms::FileListBox;
using vuelco::forms::MsgBoxResult;
using vuelco::Fdisco;
namespace Module1 = vuelco::Module1;

namespace {

const QString kSep = QDir::separator();

QString native(const QString &path) { return QDir::toNativeSeparators(path); }

void touch(const QString &path)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
}

// A folder tree: Datos with two data files in either case, a text file, a hidden
// file and two subfolders (one hidden), and a folder named with accents and blanks.
struct Tree {
    Tree()
    {
        QDir root(dir.path());
        root.mkpath(QStringLiteral("Datos/sub"));
        root.mkpath(QStringLiteral("Datos/.oculta"));
        root.mkpath(QStringLiteral("Datos/Bsub"));
        root.mkpath(QStringLiteral("Música y Año"));
        touch(dir.filePath(QStringLiteral("Datos/Juego.dat")));
        touch(dir.filePath(QStringLiteral("Datos/otro.DAT")));
        touch(dir.filePath(QStringLiteral("Datos/notas.txt")));
        touch(dir.filePath(QStringLiteral("Datos/.oculto.dat")));
        touch(dir.filePath(QStringLiteral("Música y Año/Año 1.dat")));
    }
    [[nodiscard]] QString path(const QString &relative) const { return native(dir.filePath(relative)); }

    QTemporaryDir dir;
};

template <class T>
T *child(const Fdisco &dialog, const char *name)
{
    T *found = dialog.findChild<T *>(QString::fromLatin1(name));
    if (found == nullptr)
        qFatal("no control %s", name);
    return found;
}

QStringList listed(const FileListBox *list)
{
    QStringList names;
    for (int i = 0; i < list->ListCount(); ++i)
        names.append(list->List(i));
    return names;
}

void clickFile(Fdisco &dialog, const QString &name, bool twice = false)
{
    auto *list = child<FileListBox>(dialog, "File1");
    const int row = static_cast<int>(listed(list).indexOf(name));
    QVERIFY2(row >= 0, qPrintable(name + " is not listed"));
    const QPoint centre = list->visualRect(list->model()->index(row, 0)).center();
    // A real double-click starts with a click; the view reports that one as a click.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    if (twice)
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
}

void request(const QString &path, std::uint8_t mode)
{
    Module1::RutaArchivo = path;
    Module1::Opcion = {0, mode};
}

} // namespace

class TestFdisco : public QObject {
    Q_OBJECT

private slots:
    void soloRutaShowsTheFolderOfThePath_data();
    void soloRutaShowsTheFolderOfThePath();
    void listsOnlyMatchingFilesWithoutRegardToCase();
    void listsFoldersFromTheRootDownThenSubfolders();
    void aceptarNeedsAClickedFileInModeZero();
    void keepsTheFileClickedBeforeMovingToAnotherFolder();
    void doubleClickAccepts();
    void acceptsNamesWithAccentsAndSpaces();
    void saveModeProposesTheFileNameAndNeedsOne_data();
    void saveModeProposesTheFileNameAndNeedsOne();
    void otherModesAcceptWithoutATest_data();
    void otherModesAcceptWithoutATest();
    void cancelarAndTheCloseBox();
    void everyShowingStartsFromTheDesignState();
    void enterAndEscapeRunNothing();
    void aDriveNotReadyIsAskedAboutAgain();
    void aVolumeGoneSinceTheListWasReadIsNotReady();
    void aVolumeMountedMeanwhileIsOfferedWhenTheListDropsDown();
    void showModalReturnsOnceTheDialogUnloads();

private:
    Tree mTree;
    FakeVolumes mVolumes;
};

void TestFdisco::soloRutaShowsTheFolderOfThePath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::addColumn<bool>("reported");
    QTest::newRow("a file's full path") << mTree.path("Datos/Juego.dat") << mTree.path("Datos") << false;
    QTest::newRow("a folder with its separator") << mTree.path("Datos") + kSep << mTree.path("Datos") << false;
    QTest::newRow("a file in the root") << FakeVolumes::systemRoot() + "Juego.dat" << FakeVolumes::systemRoot()
                                        << false;
    QTest::newRow("no separator") << "Juego.dat" << vuelco::forms::fallbackFolder() << true;
    QTest::newRow("empty") << "" << vuelco::forms::fallbackFolder() << true;
    QTest::newRow("a folder that is gone") << mTree.path("Borrada/Juego.dat") << vuelco::forms::fallbackFolder() << true;
}

void TestFdisco::soloRutaShowsTheFolderOfThePath()
{
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QFETCH(bool, reported);
    ScriptedMessageBoxes boxes;
    request(path, 0);
    Fdisco dialog;

    QCOMPARE(child<DirListBox>(dialog, "Dir1")->Path(), folder);
    QCOMPARE(child<FileListBox>(dialog, "File1")->Path(), folder);
    QCOMPARE(mVolumes.rootOf(child<DriveListBox>(dialog, "Drive1")->Drive()), FakeVolumes::systemRoot());
    QCOMPARE(boxes.count(), reported ? 1 : 0);
    if (reported) {
        QCOMPARE(boxes.shown()[0].prompt, QStringLiteral("La Ruta+Archivo actuales no estan disponibles."));
        QCOMPARE(boxes.shown()[0].style, 16);
        QCOMPARE(boxes.shown()[0].title, QStringLiteral("Error de disco"));
    }
    QCOMPARE(Module1::RutaArchivo, path);
}

void TestFdisco::listsOnlyMatchingFilesWithoutRegardToCase()
{
    ScriptedMessageBoxes boxes;
    request(mTree.path("Datos/Juego.dat"), 0);
    Fdisco dialog;
    auto *files = child<FileListBox>(dialog, "File1");
    QCOMPARE(listed(files), (QStringList{"Juego.dat", "otro.DAT"}));

    files->setPattern(QStringLiteral("*.txt;*.DAT"));
    QCOMPARE(listed(files), (QStringList{"Juego.dat", "notas.txt", "otro.DAT"}));
}

void TestFdisco::listsFoldersFromTheRootDownThenSubfolders()
{
    ScriptedMessageBoxes boxes;
    request(mTree.path("Datos/Juego.dat"), 0);
    Fdisco dialog;
    auto *dirs = child<DirListBox>(dialog, "Dir1");
    QStringList shown;
    for (int i = 0; i < dirs->count(); ++i)
        shown.append(dirs->item(i)->text().trimmed());
    const int depth = static_cast<int>(mTree.path("Datos").count(kSep));
    QCOMPARE(shown.first(), FakeVolumes::systemRoot());
    QCOMPARE(shown.size(), depth + 1 + 2);
    QCOMPARE(shown[depth], QStringLiteral("Datos"));
    QCOMPARE(shown.mid(depth + 1), (QStringList{"Bsub", "sub"}));

    // Opening a subfolder moves the file list with it, before the call returns.
    QSignalSpy changes(dirs, &DirListBox::Change);
    emit dirs->itemActivated(dirs->item(dirs->count() - 1));
    QCOMPARE(changes.count(), 1);
    QCOMPARE(dirs->Path(), mTree.path("Datos/sub"));
    QCOMPARE(child<FileListBox>(dialog, "File1")->ListCount(), 0);
}

void TestFdisco::aceptarNeedsAClickedFileInModeZero()
{
    ScriptedMessageBoxes boxes;
    request(mTree.path("Datos/Juego.dat"), 0);
    Fdisco dialog;
    dialog.show();
    QTest::mouseClick(child<QPushButton>(dialog, "BTacepta"), Qt::LeftButton);

    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.shown()[0].prompt, QStringLiteral("Debe elegir un archivo"));
    QCOMPARE(boxes.shown()[0].style, 64);
    QCOMPARE(boxes.shown()[0].title, QStringLiteral("Zel Soft"));
    QVERIFY(dialog.isVisible());
    QCOMPARE(Module1::Opcion[0], 0);
    QCOMPARE(Module1::RutaArchivo, mTree.path("Datos/Juego.dat"));
}

void TestFdisco::keepsTheFileClickedBeforeMovingToAnotherFolder()
{
    ScriptedMessageBoxes boxes;
    request(mTree.path("Datos") + kSep, 0);
    Fdisco dialog;
    dialog.show();
    clickFile(dialog, QStringLiteral("otro.DAT"));
    QCOMPARE(child<QLabel>(dialog, "Lelegido")->text(), QStringLiteral("otro.DAT"));

    child<DirListBox>(dialog, "Dir1")->setPath(mTree.path("Datos/sub"));
    QTest::mouseClick(child<QPushButton>(dialog, "BTacepta"), Qt::LeftButton);

    QCOMPARE(boxes.count(), 0);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(Module1::Opcion[0], 1);
    QCOMPARE(Module1::RutaArchivo, mTree.path("Datos/otro.DAT"));
}

void TestFdisco::doubleClickAccepts()
{
    ScriptedMessageBoxes boxes;
    request(mTree.path("Datos") + kSep, 0);
    Fdisco dialog;
    dialog.show();
    clickFile(dialog, QStringLiteral("Juego.dat"), true);

    QVERIFY(!dialog.isVisible());
    QCOMPARE(Module1::Opcion[0], 1);
    QCOMPARE(Module1::RutaArchivo, mTree.path("Datos/Juego.dat"));
}

void TestFdisco::acceptsNamesWithAccentsAndSpaces()
{
    ScriptedMessageBoxes boxes;
    request(mTree.path("Música y Año") + kSep, 0);
    Fdisco dialog;
    dialog.show();
    clickFile(dialog, QStringLiteral("Año 1.dat"), true);
    QCOMPARE(Module1::RutaArchivo, mTree.path("Música y Año/Año 1.dat"));
    QVERIFY(QFile::exists(Module1::RutaArchivo));
}

void TestFdisco::saveModeProposesTheFileNameAndNeedsOne_data()
{
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("proposed");
    QTest::newRow("a file's path") << mTree.path("Datos/Juego.dat") << "Juego.dat";
    QTest::newRow("a folder") << mTree.path("Datos") + kSep << "";
}

void TestFdisco::saveModeProposesTheFileNameAndNeedsOne()
{
    QFETCH(QString, start);
    QFETCH(QString, proposed);
    ScriptedMessageBoxes boxes;
    request(start, 1);
    Fdisco dialog;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Como se va a guardar el Archivo (.Bmp)"));
    auto *name = child<QLineEdit>(dialog, "txtGraba");
    QCOMPARE(name->text(), QStringLiteral("Algo"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QVERIFY(name->isVisible());
    QCOMPARE(name->text(), proposed);

    // The name box decides, even on a double-click in the list.
    name->setText(QStringLiteral("   "));
    clickFile(dialog, QStringLiteral("Juego.dat"), true);
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.shown()[0].prompt, QStringLiteral("Ingrese un nombre para guardar la imagen"));
    QCOMPARE(boxes.shown()[0].style, 64);
    QVERIFY(dialog.isVisible());

    // Another activation keeps what the user typed.
    name->setText(QStringLiteral("imagen.bmp"));
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&dialog, &activate);
    QCOMPARE(name->text(), QStringLiteral("imagen.bmp"));

    QTest::mouseClick(child<QPushButton>(dialog, "BTacepta"), Qt::LeftButton);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(Module1::Opcion[0], 1);
    QCOMPARE(Module1::RutaArchivo, mTree.path("Datos/imagen.bmp"));
}

void TestFdisco::otherModesAcceptWithoutATest_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QStringList>("files");
    QTest::newRow("text files") << 2 << "Abrir Archivo (txt)" << QStringList{"notas.txt"};
    QTest::newRow("undefined mode") << 3 << "Abrir Archivo" << QStringList{"Juego.dat", "otro.DAT"};
    QTest::newRow("mode 255") << 255 << "Abrir Archivo" << QStringList{"Juego.dat", "otro.DAT"};
}

void TestFdisco::otherModesAcceptWithoutATest()
{
    QFETCH(int, mode);
    QFETCH(QString, caption);
    QFETCH(QStringList, files);
    ScriptedMessageBoxes boxes;
    request(mTree.path("Datos/Juego.dat"), static_cast<std::uint8_t>(mode));
    Fdisco dialog;
    dialog.show();
    QCOMPARE(dialog.windowTitle(), caption);
    QCOMPARE(listed(child<FileListBox>(dialog, "File1")), files);
    QVERIFY(!child<QLineEdit>(dialog, "txtGraba")->isVisible());

    QTest::mouseClick(child<QPushButton>(dialog, "BTacepta"), Qt::LeftButton);
    QCOMPARE(boxes.count(), 0);
    QVERIFY(!dialog.isVisible());
    QCOMPARE(Module1::Opcion[0], 1);
}

void TestFdisco::cancelarAndTheCloseBox()
{
    ScriptedMessageBoxes boxes;
    const QString start = mTree.path("Datos/Juego.dat");
    request(start, 0);
    {
        Fdisco dialog;
        dialog.show();
        clickFile(dialog, QStringLiteral("otro.DAT"));
        QTest::mouseClick(child<QPushButton>(dialog, "BTcancela"), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
    }
    QCOMPARE(Module1::Opcion[0], 0);
    QCOMPARE(Module1::RutaArchivo, start);

    // The close box writes no result: the one before it stands.
    Module1::Opcion[0] = 1;
    {
        Fdisco dialog;
        dialog.show();
        clickFile(dialog, QStringLiteral("otro.DAT"));
        dialog.close();
        QVERIFY(!dialog.isVisible());
    }
    QCOMPARE(Module1::Opcion[0], 1);
    QCOMPARE(Module1::RutaArchivo, start);
}

void TestFdisco::everyShowingStartsFromTheDesignState()
{
    ScriptedMessageBoxes boxes;
    request(mTree.path("Datos") + kSep, 0);
    {
        Fdisco dialog;
        dialog.show();
        clickFile(dialog, QStringLiteral("Juego.dat"), true);
    }
    Module1::Opcion[1] = 0;
    Fdisco again;
    again.show();
    QCOMPARE(child<QLabel>(again, "Lelegido")->text(), QString());
    QCOMPARE(child<QLineEdit>(again, "txtGraba")->text(), QStringLiteral("Algo"));
    QVERIFY(!child<QLineEdit>(again, "txtGraba")->isVisible());
    QTest::mouseClick(child<QPushButton>(again, "BTacepta"), Qt::LeftButton);
    QCOMPARE(boxes.count(), 1);
    QVERIFY(again.isVisible());

    QList<QWidget *> order;
    for (QWidget *w = child<DriveListBox>(again, "Drive1"); order.size() < 5; w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus)
            order.append(w);
    }
    QCOMPARE(order[1], child<DirListBox>(again, "Dir1"));
    QCOMPARE(order[2], child<FileListBox>(again, "File1"));
    QCOMPARE(order[3], child<QPushButton>(again, "BTacepta"));
    QCOMPARE(order[4], child<QPushButton>(again, "BTcancela"));
}

void TestFdisco::enterAndEscapeRunNothing()
{
    ScriptedMessageBoxes boxes;
    request(mTree.path("Datos") + kSep, 1);
    Fdisco dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    clickFile(dialog, QStringLiteral("Juego.dat"));
    const QList<QWidget *> targets{child<DriveListBox>(dialog, "Drive1"), child<DirListBox>(dialog, "Dir1"),
                                   child<FileListBox>(dialog, "File1"), child<QLineEdit>(dialog, "txtGraba"), &dialog};
    for (QWidget *target : targets) {
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            QTest::keyClick(target, key);
    }
    // A focused button takes Enter as a click, but Escape is nobody's.
    QTest::keyClick(child<QPushButton>(dialog, "BTacepta"), Qt::Key_Escape);
    QTest::keyClick(child<QPushButton>(dialog, "BTcancela"), Qt::Key_Escape);
    QVERIFY(dialog.isVisible());
    QCOMPARE(boxes.count(), 0);
    QCOMPARE(Module1::Opcion[0], 0);
}

void TestFdisco::aDriveNotReadyIsAskedAboutAgain()
{
    const QString stick = mTree.path("Datos");
    FakeVolumes volumes({stick});
    ScriptedMessageBoxes boxes;
    request(mTree.path("Música y Año") + kSep, 0);
    Fdisco dialog;
    auto *drives = child<DriveListBox>(dialog, "Drive1");
    auto *dirs = child<DirListBox>(dialog, "Dir1");
    const QString question = QStringLiteral("Verifique si la unidad esta preparada.\nHaga un Click en aceptar para "
                                            "volver a leerla.");

    // Answered OK once the medium is in: the drive's folder shows.
    volumes.setReady(stick, false);
    boxes.answer({MsgBoxResult::Ok});
    boxes.whileShowing([&](const ScriptedMessageBoxes::Shown &) { volumes.setReady(stick, true); });
    drives->setDrive(stick);
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.shown()[0].prompt, question);
    QCOMPARE(boxes.shown()[0].style, 49);
    QCOMPARE(boxes.shown()[0].title, QStringLiteral("Error de disco"));
    QCOMPARE(dirs->Path(), stick);

    // Answered OK while it stays out, then Cancel: back to the fallback drive.
    drives->setDrive(FakeVolumes::systemRoot());
    boxes.clear();
    volumes.setReady(stick, false);
    boxes.answer({MsgBoxResult::Ok, MsgBoxResult::Cancel});
    drives->setDrive(stick);
    QCOMPARE(boxes.count(), 2);
    QCOMPARE(volumes.rootOf(drives->Drive()), volumes.rootOf(vuelco::forms::fallbackDrive()));
    // The drive's current folder, which is its root unless the program moved there.
    QCOMPARE(dirs->Path(), vuelco::forms::folderOfDrive(vuelco::forms::fallbackDrive()));
}

void TestFdisco::aVolumeGoneSinceTheListWasReadIsNotReady()
{
#ifdef Q_OS_WIN
    QSKIP("Mount points come and go on Linux; a Windows drive letter that is gone is in tst_windows_drives");
#endif
    const TempFolder stickFolder;
    const QString stick = vuelco::forms::fromFilesystemPath(stickFolder.path());
    FakeVolumes volumes({stick});
    ScriptedMessageBoxes boxes;
    request(mTree.path("Datos") + kSep, 0);
    Fdisco dialog;
    auto *drives = child<DriveListBox>(dialog, "Drive1");
    auto *dirs = child<DirListBox>(dialog, "Dir1");
    QCOMPARE(drives->currentText(), QStringLiteral("/"));

    // Pulled out after the list was read, chosen from it, put back while asked: shown.
    volumes.unmount(stick);
    boxes.answer({MsgBoxResult::Ok});
    boxes.whileShowing([&](const ScriptedMessageBoxes::Shown &) { volumes.mount(stick); });
    QTest::keyClick(drives, Qt::Key_Down);
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.shown()[0].style, 49);
    QCOMPARE(dirs->Path(), stick);

    // Pulled out again and chosen again, then given up: back to the fallback, no longer offered.
    QTest::keyClick(drives, Qt::Key_Up);
    volumes.unmount(stick);
    boxes.clear();
    boxes.answer({MsgBoxResult::Cancel});
    QTest::keyClick(drives, Qt::Key_Down);
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.shown()[0].style, 49);
    QCOMPARE(drives->Drive(), vuelco::forms::fallbackDrive());
    QCOMPARE(drives->currentText(), vuelco::forms::fallbackDrive());
    QCOMPARE(drives->findData(stick), -1);
    QCOMPARE(dirs->Path(), vuelco::forms::fallbackFolder());
}

void TestFdisco::aVolumeMountedMeanwhileIsOfferedWhenTheListDropsDown()
{
#ifdef Q_OS_WIN
    QSKIP("Mount points come and go on Linux; a Windows drive letter that is gone is in tst_windows_drives");
#endif
    const TempFolder stickFolder;
    const QString stick = vuelco::forms::fromFilesystemPath(stickFolder.path());
    FakeVolumes volumes;
    ScriptedMessageBoxes boxes;
    request(mTree.path("Datos") + kSep, 0);
    Fdisco dialog;
    dialog.show();
    auto *drives = child<DriveListBox>(dialog, "Drive1");
    QCOMPARE(drives->count(), 1);

    volumes.mount(stick);
    drives->showPopup();
    QVERIFY(drives->findData(stick) >= 0);
    QCOMPARE(drives->currentText(), QStringLiteral("/"));
    drives->hidePopup();
}

void TestFdisco::showModalReturnsOnceTheDialogUnloads()
{
    ScriptedMessageBoxes boxes;
    request(mTree.path("Datos/Juego.dat"), 0);
    QPointer<Fdisco> shown;
    QTimer::singleShot(0, [&] {
        shown = qobject_cast<Fdisco *>(QApplication::activeModalWidget());
        QVERIFY(shown != nullptr);
        QTest::mouseClick(child<QPushButton>(*shown, "BTcancela"), Qt::LeftButton);
    });
    Fdisco::showModal(nullptr);
    QVERIFY(shown.isNull());
    QCOMPARE(Module1::Opcion[0], 0);
}

QTEST_MAIN(TestFdisco)
#include "tst_fdisco.moc"
