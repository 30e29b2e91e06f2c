#include "fake_volumes.h"
#include "file_chooser/fdisco.h"
#include "file_chooser/module1.h"
#include "file_list_clicks.h"
#include "forms/dir_list_box.h"
#include "forms/drive_list_box.h"
#include "forms/file_list_box.h"
#include "forms/native_paths.h"
#include "scripted_message_boxes.h"
#include "temp_folder.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include <memory>
#include <optional>

using vuelco::Fdisco;
using vuelco::forms::DirListBox;
using vuelco::forms::DriveListBox;
using vuelco::forms::FileListBox;
using vuelco::forms::MsgBoxResult;
using Box = ScriptedMessageBoxes::Box;
namespace Module1 = vuelco::Module1;

namespace {

const QString kSep = QDir::separator();
const Box kChooseAFile{QStringLiteral("Debe elegir un archivo"), 64, QStringLiteral("Zel Soft")};
const Box kDriveNotReady{QStringLiteral("Verifique si la unidad esta preparada.\nHaga un Click en aceptar para "
                                        "volver a leerla."),
                         49, QStringLiteral("Error de disco")};

// A folder tree: Datos with two data files in either case, a text file, a hidden
// file and two subfolders (one hidden), and a folder named with accents and blanks.
struct Tree {
    Tree()
    {
        for (const char8_t *folder : {u8"Datos/sub", u8"Datos/.oculta", u8"Datos/Bsub", u8"Música y Año"})
            std::filesystem::create_directories(folder_ / folder);
        for (const char8_t *file : {u8"Datos/Juego.dat", u8"Datos/otro.DAT", u8"Datos/notas.txt",
                                    u8"Datos/.oculto.dat", u8"Música y Año/Año 1.dat"})
            folder_.write(file, {});
    }
    [[nodiscard]] QString path(const QString &relative) const
    {
        return vuelco::forms::joinPath(vuelco::forms::fromFilesystemPath(folder_.path()),
                                       QDir::toNativeSeparators(relative));
    }

    TempFolder folder_;
};

} // namespace

class TestFdisco : public QObject {
    Q_OBJECT

private slots:
    void init() { mBoxes.emplace(); }
    void cleanup();

    void soloRutaShowsTheFolderOfThePath_data();
    void soloRutaShowsTheFolderOfThePath();
    void listsOnlyMatchingFilesWithoutRegardToCase();
    void listsFoldersFromTheRootDownThenSubfolders();
    void aceptarNeedsAClickedFileInModeZero();
    void keepsTheFileClickedBeforeMovingToAnotherFolder();
    void doubleClickAcceptsTheFile_data();
    void doubleClickAcceptsTheFile();
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
    void aKeyWithNothingSelectedChoosesTheFirstOrLast_data();
    void aKeyWithNothingSelectedChoosesTheFirstOrLast();
    void dragFromOneFileToAnotherChoosesTheSecond();
    void foldersAreFoundAndReadByTheirNames();

private:
    // A new dialog for the request in Module1, shown unless asked not to.
    Fdisco &load(bool show = true);
    // The same, for a new request of this path and mode.
    Fdisco &open(const QString &path, std::uint8_t mode = 0, bool show = true)
    {
        Module1::RutaArchivo = path;
        Module1::Opcion = {0, mode};
        return load(show);
    }
    template <class T>
    T *child(const char *name)
    {
        T *found = mDialog->findChild<T *>(QString::fromLatin1(name));
        if (found == nullptr)
            qFatal("no control %s", name);
        return found;
    }
    void clickFile(const QString &name, bool twice = false)
    {
        QVERIFY2(clickListed(*child<FileListBox>("File1"), name, twice), qPrintable(name + " is not listed"));
    }
    void click(const char *button) { QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton); }

    Tree mTree;
    FakeVolumes mVolumes;
    std::optional<ScriptedMessageBoxes> mBoxes;
    std::unique_ptr<Fdisco> mDialog;
};

void TestFdisco::cleanup()
{
    mDialog.reset();
    mBoxes.reset();
}

Fdisco &TestFdisco::load(bool show)
{
    mDialog.reset();
    mDialog = std::make_unique<Fdisco>();
    if (show)
        mDialog->show();
    return *mDialog;
}

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
    open(path, 0, false);

    QCOMPARE(child<DirListBox>("Dir1")->Path(), folder);
    QCOMPARE(child<FileListBox>("File1")->Path(), folder);
    QCOMPARE(mVolumes.rootOf(child<DriveListBox>("Drive1")->Drive()), FakeVolumes::systemRoot());
    const Box notThere{QStringLiteral("La Ruta+Archivo actuales no estan disponibles."), 16,
                       QStringLiteral("Error de disco")};
    QCOMPARE(mBoxes->shown(), reported ? QList<Box>{notThere} : QList<Box>{});
    QCOMPARE(Module1::RutaArchivo, path);
}

void TestFdisco::listsOnlyMatchingFilesWithoutRegardToCase()
{
    open(mTree.path("Datos/Juego.dat"), 0, false);
    auto *files = child<FileListBox>("File1");
    QCOMPARE(listed(*files), (QStringList{"Juego.dat", "otro.DAT"}));

    files->setPattern(QStringLiteral("*.txt;*.DAT"));
    QCOMPARE(listed(*files), (QStringList{"Juego.dat", "notas.txt", "otro.DAT"}));
}

void TestFdisco::listsFoldersFromTheRootDownThenSubfolders()
{
    open(mTree.path("Datos/Juego.dat"), 0, false);
    auto *dirs = child<DirListBox>("Dir1");
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
    QCOMPARE(child<FileListBox>("File1")->ListCount(), 0);
}

void TestFdisco::aceptarNeedsAClickedFileInModeZero()
{
    const Fdisco &dialog = open(mTree.path("Datos/Juego.dat"));
    click("BTacepta");

    QCOMPARE(mBoxes->shown(), QList<Box>{kChooseAFile});
    QVERIFY(dialog.isVisible());
    QCOMPARE(Module1::Opcion[0], 0);
    QCOMPARE(Module1::RutaArchivo, mTree.path("Datos/Juego.dat"));
}

void TestFdisco::keepsTheFileClickedBeforeMovingToAnotherFolder()
{
    const Fdisco &dialog = open(mTree.path("Datos") + kSep);
    clickFile(QStringLiteral("otro.DAT"));
    QCOMPARE(child<QLabel>("Lelegido")->text(), QStringLiteral("otro.DAT"));

    child<DirListBox>("Dir1")->setPath(mTree.path("Datos/sub"));
    click("BTacepta");

    QCOMPARE(mBoxes->shown(), QList<Box>{});
    QVERIFY(!dialog.isVisible());
    QCOMPARE(Module1::Opcion[0], 1);
    QCOMPARE(Module1::RutaArchivo, mTree.path("Datos/otro.DAT"));
}

void TestFdisco::doubleClickAcceptsTheFile_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("name");
    QTest::newRow("plain name") << "Datos" << "Juego.dat";
    QTest::newRow("accents and blanks") << "Música y Año" << "Año 1.dat";
}

void TestFdisco::doubleClickAcceptsTheFile()
{
    QFETCH(QString, folder);
    QFETCH(QString, name);
    const Fdisco &dialog = open(mTree.path(folder) + kSep);
    clickFile(name, true);

    QVERIFY(!dialog.isVisible());
    QCOMPARE(Module1::Opcion[0], 1);
    QCOMPARE(Module1::RutaArchivo, mTree.path(folder + "/" + name));
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
    Fdisco &dialog = open(start, 1, false);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Como se va a guardar el Archivo (.Bmp)"));
    auto *name = child<QLineEdit>("txtGraba");
    QCOMPARE(name->text(), QStringLiteral("Algo"));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QVERIFY(name->isVisible());
    QCOMPARE(name->text(), proposed);

    // The name box decides, even on a double-click in the list.
    name->setText(QStringLiteral("   "));
    clickFile(QStringLiteral("Juego.dat"), true);
    const Box nameNeeded{QStringLiteral("Ingrese un nombre para guardar la imagen"), 64, QStringLiteral("Zel Soft")};
    QCOMPARE(mBoxes->shown(), QList<Box>{nameNeeded});
    QVERIFY(dialog.isVisible());

    // Another activation keeps what the user typed.
    name->setText(QStringLiteral("imagen.bmp"));
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&dialog, &activate);
    QCOMPARE(name->text(), QStringLiteral("imagen.bmp"));

    click("BTacepta");
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
    const Fdisco &dialog = open(mTree.path("Datos/Juego.dat"), static_cast<std::uint8_t>(mode));
    QCOMPARE(dialog.windowTitle(), caption);
    QCOMPARE(listed(*child<FileListBox>("File1")), files);
    QVERIFY(!child<QLineEdit>("txtGraba")->isVisible());

    click("BTacepta");
    QCOMPARE(mBoxes->shown(), QList<Box>{});
    QVERIFY(!dialog.isVisible());
    QCOMPARE(Module1::Opcion[0], 1);
}

void TestFdisco::cancelarAndTheCloseBox()
{
    const QString start = mTree.path("Datos/Juego.dat");
    const Fdisco &dialog = open(start);
    clickFile(QStringLiteral("otro.DAT"));
    click("BTcancela");
    QVERIFY(!dialog.isVisible());
    mDialog.reset();
    QCOMPARE(Module1::Opcion[0], 0);
    QCOMPARE(Module1::RutaArchivo, start);

    // The close box writes no result: the one before it stands.
    Module1::Opcion[0] = 1;
    Fdisco &again = load();
    clickFile(QStringLiteral("otro.DAT"));
    again.close();
    QVERIFY(!again.isVisible());
    mDialog.reset();
    QCOMPARE(Module1::Opcion[0], 1);
    QCOMPARE(Module1::RutaArchivo, start);
}

void TestFdisco::everyShowingStartsFromTheDesignState()
{
    open(mTree.path("Datos") + kSep);
    clickFile(QStringLiteral("Juego.dat"), true);
    Module1::Opcion[1] = 0;
    const Fdisco &again = load();
    QCOMPARE(child<QLabel>("Lelegido")->text(), QString());
    QCOMPARE(child<QLineEdit>("txtGraba")->text(), QStringLiteral("Algo"));
    QVERIFY(!child<QLineEdit>("txtGraba")->isVisible());
    click("BTacepta");
    QCOMPARE(mBoxes->shown(), QList<Box>{kChooseAFile});
    QVERIFY(again.isVisible());

    QList<QWidget *> order;
    for (QWidget *w = child<DriveListBox>("Drive1"); order.size() < 5; w = w->nextInFocusChain()) {
        if (w->focusPolicy() & Qt::TabFocus)
            order.append(w);
    }
    QCOMPARE(order.mid(1), (QList<QWidget *>{child<DirListBox>("Dir1"), child<FileListBox>("File1"),
                                             child<QPushButton>("BTacepta"), child<QPushButton>("BTcancela")}));
}

void TestFdisco::enterAndEscapeRunNothing()
{
    Fdisco &dialog = open(mTree.path("Datos") + kSep, 1);
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    clickFile(QStringLiteral("Juego.dat"));
    const QList<QWidget *> targets{child<DriveListBox>("Drive1"), child<DirListBox>("Dir1"),
                                   child<FileListBox>("File1"), child<QLineEdit>("txtGraba"), &dialog};
    for (QWidget *target : targets) {
        for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape})
            QTest::keyClick(target, key);
    }
    // A focused button takes Enter as a click, but Escape is nobody's.
    QTest::keyClick(child<QPushButton>("BTacepta"), Qt::Key_Escape);
    QTest::keyClick(child<QPushButton>("BTcancela"), Qt::Key_Escape);
    QVERIFY(dialog.isVisible());
    QCOMPARE(mBoxes->shown(), QList<Box>{});
    QCOMPARE(Module1::Opcion[0], 0);
}

void TestFdisco::aDriveNotReadyIsAskedAboutAgain()
{
    const QString stick = mTree.path("Datos");
    FakeVolumes volumes({stick});
    open(mTree.path("Música y Año") + kSep, 0, false);
    auto *drives = child<DriveListBox>("Drive1");
    auto *dirs = child<DirListBox>("Dir1");

    // Answered OK once the medium is in: the drive's folder shows.
    volumes.setReady(stick, false);
    mBoxes->answer({MsgBoxResult::Ok});
    mBoxes->whileShowing([&] { volumes.setReady(stick, true); });
    drives->setDrive(stick);
    QCOMPARE(mBoxes->shown(), QList<Box>{kDriveNotReady});
    QCOMPARE(dirs->Path(), stick);

    // Answered OK while it stays out, then Cancel: back to the fallback drive.
    drives->setDrive(FakeVolumes::systemRoot());
    mBoxes->clear();
    volumes.setReady(stick, false);
    mBoxes->answer({MsgBoxResult::Ok, MsgBoxResult::Cancel});
    drives->setDrive(stick);
    QCOMPARE(mBoxes->shown(), (QList<Box>{kDriveNotReady, kDriveNotReady}));
    QCOMPARE(volumes.rootOf(drives->Drive()), volumes.rootOf(vuelco::forms::fallbackDrive()));
    // The drive's current folder, which is its root unless the program moved there.
    QCOMPARE(dirs->Path(), vuelco::forms::folderOfDrive(vuelco::forms::fallbackDrive()));
}

void TestFdisco::aVolumeGoneSinceTheListWasReadIsNotReady()
{
#ifdef Q_OS_WIN
    QSKIP("Mount points come and go on Linux; a Windows drive letter that is gone is in tst_drives_win32");
#endif
    const TempFolder stickFolder;
    const QString stick = vuelco::forms::fromFilesystemPath(stickFolder.path());
    FakeVolumes volumes({stick});
    open(mTree.path("Datos") + kSep, 0, false);
    auto *drives = child<DriveListBox>("Drive1");
    auto *dirs = child<DirListBox>("Dir1");
    QCOMPARE(drives->currentText(), QStringLiteral("/"));

    // Pulled out after the list was read, chosen from it, put back while asked: shown.
    volumes.unmount(stick);
    mBoxes->answer({MsgBoxResult::Ok});
    mBoxes->whileShowing([&] { volumes.mount(stick); });
    QTest::keyClick(drives, Qt::Key_Down);
    QCOMPARE(mBoxes->shown(), QList<Box>{kDriveNotReady});
    QCOMPARE(dirs->Path(), stick);

    // Pulled out again and chosen again, then given up: back to the fallback, no longer offered.
    QTest::keyClick(drives, Qt::Key_Up);
    volumes.unmount(stick);
    mBoxes->clear();
    mBoxes->answer({MsgBoxResult::Cancel});
    QTest::keyClick(drives, Qt::Key_Down);
    QCOMPARE(mBoxes->shown(), QList<Box>{kDriveNotReady});
    QCOMPARE(drives->Drive(), vuelco::forms::fallbackDrive());
    QCOMPARE(drives->currentText(), vuelco::forms::fallbackDrive());
    QCOMPARE(drives->findData(stick), -1);
    QCOMPARE(dirs->Path(), vuelco::forms::fallbackFolder());
}

void TestFdisco::aVolumeMountedMeanwhileIsOfferedWhenTheListDropsDown()
{
#ifdef Q_OS_WIN
    QSKIP("Mount points come and go on Linux; a Windows drive letter that is gone is in tst_drives_win32");
#endif
    const TempFolder stickFolder;
    const QString stick = vuelco::forms::fromFilesystemPath(stickFolder.path());
    FakeVolumes volumes;
    open(mTree.path("Datos") + kSep);
    auto *drives = child<DriveListBox>("Drive1");
    QCOMPARE(drives->count(), 1);

    volumes.mount(stick);
    drives->showPopup();
    QVERIFY(drives->findData(stick) >= 0);
    QCOMPARE(drives->currentText(), QStringLiteral("/"));
    drives->hidePopup();
}

void TestFdisco::showModalReturnsOnceTheDialogUnloads()
{
    Module1::RutaArchivo = mTree.path("Datos/Juego.dat");
    Module1::Opcion = {0, 0};
    QPointer<Fdisco> shown;
    QTimer::singleShot(0, [&] {
        shown = qobject_cast<Fdisco *>(QApplication::activeModalWidget());
        QVERIFY(shown != nullptr);
        QTest::mouseClick(shown->findChild<QPushButton *>(QStringLiteral("BTcancela")), Qt::LeftButton);
    });
    Fdisco::showModal(nullptr);
    QVERIFY(shown.isNull());
    QCOMPARE(Module1::Opcion[0], 0);
}

void TestFdisco::aKeyWithNothingSelectedChoosesTheFirstOrLast_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("Down, two files") << "Datos" << int(Qt::Key_Down) << "Juego.dat";
    QTest::newRow("End, two files") << "Datos" << int(Qt::Key_End) << "otro.DAT";
    QTest::newRow("Up, one file") << "Música y Año" << int(Qt::Key_Up) << "Año 1.dat";
    QTest::newRow("Page Down, one file") << "Música y Año" << int(Qt::Key_PageDown) << "Año 1.dat";
}

void TestFdisco::aKeyWithNothingSelectedChoosesTheFirstOrLast()
{
    QFETCH(QString, folder);
    QFETCH(int, key);
    QFETCH(QString, chosen);
    QVERIFY(QTest::qWaitForWindowActive(&open(mTree.path(folder) + kSep)));
    child<FileListBox>("File1")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(child<FileListBox>("File1"), Qt::Key(key));
    QCOMPARE(child<QLabel>("Lelegido")->text(), chosen);
}

void TestFdisco::dragFromOneFileToAnotherChoosesTheSecond()
{
    open(mTree.path("Datos") + kSep);
    auto *files = child<FileListBox>("File1");
    const auto centre = [files](int row) { return files->visualRect(files->model()->index(row, 0)).center(); };
    QTest::mousePress(files->viewport(), Qt::LeftButton, {}, centre(0));
    QTest::mouseMove(files->viewport(), centre(1));
    QTest::mouseRelease(files->viewport(), Qt::LeftButton, {}, centre(1));
    click("BTacepta");
    QCOMPARE(Module1::RutaArchivo, mTree.path("Datos/otro.DAT"));
}

void TestFdisco::foldersAreFoundAndReadByTheirNames()
{
    QVERIFY(QTest::qWaitForWindowActive(&open(mTree.path("Datos") + kSep)));
    QStringList lists;
    for (const char *name : {"Drive1", "Dir1", "File1"})
        lists.append(QAccessible::queryAccessibleInterface(child<QWidget>(name))->text(QAccessible::Name));
    QCOMPARE(lists, (QStringList{"Unidad", "Carpeta", "Archivo"}));

    auto *dirs = child<DirListBox>("Dir1");
    const QAccessibleInterface *entries = QAccessible::queryAccessibleInterface(dirs);
    QCOMPARE(entries->child(entries->childCount() - 1)->text(QAccessible::Name), QStringLiteral("sub"));
    // The focus shows on the entry that has it, in the colour of its text over the highlight.
    const auto marked = [dirs] {
        const QImage entry = dirs->viewport()->grab(dirs->visualItemRect(dirs->currentItem())).toImage().convertToFormat(
            QImage::Format_RGB32);
        const auto *pixels = reinterpret_cast<const QRgb *>(entry.constBits());
        return std::count(pixels, pixels + entry.sizeInBytes() / 4, dirs->palette().color(QPalette::HighlightedText).rgb());
    };
    const auto unfocused = marked();
    dirs->setFocus(Qt::TabFocusReason);
    QVERIFY(marked() > unfocused);
    QTest::keyClick(dirs, Qt::Key_S);
    QCOMPARE(dirs->currentItem()->text(), QStringLiteral("sub"));
}

QTEST_MAIN(TestFdisco)
#include "tst_fdisco.moc"
