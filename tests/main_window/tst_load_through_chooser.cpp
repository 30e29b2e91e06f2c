#include "fake_volumes.h"
#include "file_chooser/fdisco.h"
#include "file_list_clicks.h"
#include "forms/dir_list_box.h"
#include "forms/file_list_box.h"
#include "forms/native_paths.h"
#include "forms/path_label.h"
#include "main_window/form1.h"
#include "main_window/ways_in.h"
#include "scripted_message_boxes.h"
#include "temp_folder.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QToolTip>
#include <QtTest>

using vuelco::Fdisco;
using vuelco::Form1;
using vuelco::Layout;
using vuelco::forms::DirListBox;
using vuelco::forms::FileListBox;
using vuelco::forms::MsgBoxResult;

namespace {

const Bytes kBody = bodyOf(4);

// What a label shows, as a screen reader reads it out: markup would be read without its tags.
QString shownText(QWidget *label)
{
    return QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name);
}

// Runs once the chooser is up: goes to the folder, clicks the file, presses Aceptar.
// The name the dialog then shows goes to shownName.
void pickInChooser(const QString &folder, const QString &name, QString *startFolder, QString *shownName = nullptr)
{
    QTimer::singleShot(0, [=] {
        auto *dialog = qobject_cast<Fdisco *>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        auto *dirs = dialog->findChild<DirListBox *>(QStringLiteral("Dir1"));
        auto *files = dialog->findChild<FileListBox *>(QStringLiteral("File1"));
        *startFolder = dirs->Path();
        dirs->setPath(folder);
        QVERIFY(clickListed(*files, name));
        if (shownName != nullptr)
            *shownName = shownText(dialog->findChild<QLabel *>(QStringLiteral("Lelegido")));
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("BTacepta")), Qt::LeftButton);
    });
}

QString qtPath(const std::filesystem::path &path) { return vuelco::forms::fromFilesystemPath(path); }

// Keys go where the keyboard focus is, as a user's do.
void press(Qt::Key key)
{
    QWidget *focused = QApplication::focusWidget();
    QVERIFY(focused != nullptr);
    QTest::keyClick(focused, key);
}

void type(const QString &text)
{
    QWidget *focused = QApplication::focusWidget();
    QVERIFY(focused != nullptr);
    QTest::keyClicks(focused, text);
}

// Keys reach the active window only, which a window is some time after it shows.
void waitUntilActive(QWidget *window)
{
    QVERIFY(QTest::qWaitForWindowExposed(window));
    QTRY_COMPARE(QApplication::activeWindow(), window);
}

// Tab until the control has the focus, once round the window at most.
void tabTo(const QWidget *control)
{
    for (int i = 0; i < 16 && QApplication::focusWidget() != control; ++i)
        press(Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), control);
}

} // namespace

class TestLoadThroughChooser : public QObject {
    Q_OBJECT

private slots:
    void loadsAndConvertsAFileChosenWithTheMouse();
    void loadsAndConvertsWithTheKeyboardAlone();
    void namesAreShownAsWritten();
    void aNameThatIsNotUtf8OpensItsOwnFile_data();
    void aNameThatIsNotUtf8OpensItsOwnFile();
    void aLongPathListsAndItsNameStaysInSight();
};

void TestLoadThroughChooser::loadsAndConvertsAFileChosenWithTheMouse()
{
    const TempFolder temporary;
    const auto file = temporary.write("Nivel 1.dat", fileWith(Layout::Arcade, kBody));
    const QString folder = qtPath(temporary.path());
    const QString path = qtPath(file);
    FakeVolumes volumes;
    ScriptedMessageBoxes boxes;
    Form1 window;
    window.show();

    QString startFolder;
    pickInChooser(folder, QStringLiteral("Nivel 1.dat"), &startFolder);
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("BTcarga")), Qt::LeftButton);
    QCOMPARE(startFolder, vuelco::forms::applicationFolder());
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("LRuta"))->text(), path);
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("LTipo"))->text(), QStringLiteral("BGA, Arcade"));

    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("BTguarda1")), Qt::LeftButton);
    QCOMPARE(boxes.shown().size(), 2);
    QCOMPARE(boxes.shown()[1].prompt, QStringLiteral("Finalizado"));
    QCOMPARE(readAll(file), fileWith(Layout::PcEmulator, kBody));

    // The next request starts in the folder of the file chosen last.
    pickInChooser(folder, QStringLiteral("Nivel 1.dat"), &startFolder);
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("BTcarga")), Qt::LeftButton);
    QCOMPARE(startFolder, folder);
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("LTipo"))->text(), QStringLiteral("BGA, Emulador Pc"));
}

void TestLoadThroughChooser::loadsAndConvertsWithTheKeyboardAlone()
{
    // The temporary folder stands for a stick: the second volume in the drive list.
    const TempFolder stick;
    std::filesystem::create_directory(stick / "Datos");
    const auto file = stick / "Datos" / "Nivel 1.dat";
    writeFile(file, fileWith(Layout::Arcade, kBody));
    writeFile(stick / "Datos" / "Otro.dat", headerOf(Layout::PcEmulator));
    FakeVolumes volumes({qtPath(stick.path())});
    ScriptedMessageBoxes boxes;
    boxes.answer({MsgBoxResult::Yes, MsgBoxResult::Ok, MsgBoxResult::Yes, MsgBoxResult::Ok});
    Form1 window;
    window.show();
    waitUntilActive(&window);
    const auto control = [](const QWidget *parent, const char *name) {
        return parent->findChild<QWidget *>(QString::fromLatin1(name));
    };

    // Bound to the window, so that it never runs after this test if the chooser never showed.
    QTimer::singleShot(0, &window, [&] {
        auto *dialog = qobject_cast<Fdisco *>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        // A failed step leaves the rest undone; the dialog must close all the same.
        const auto closeAnyway = qScopeGuard([dialog] { dialog->reject(); });
        waitUntilActive(dialog);
        auto *lelegido = qobject_cast<QLabel *>(control(dialog, "Lelegido"));
        tabTo(control(dialog, "Drive1"));
        press(Qt::Key_Down);
        QCOMPARE(dialog->findChild<DirListBox *>()->Path(), qtPath(stick.path()));
        tabTo(control(dialog, "Dir1"));
        press(Qt::Key_End);
        press(Qt::Key_Return);
        QCOMPARE(dialog->findChild<DirListBox *>()->Path(), qtPath(stick / "Datos"));
        tabTo(control(dialog, "File1"));
        press(Qt::Key_End);
        QCOMPARE(lelegido->text(), QStringLiteral("Otro.dat"));
        type(QStringLiteral("n"));
        QCOMPARE(lelegido->text(), QStringLiteral("Nivel 1.dat"));
        press(Qt::Key_Return);
        press(Qt::Key_Escape);
        QVERIFY(dialog->isVisible());
        tabTo(control(dialog, "BTacepta"));
        press(Qt::Key_Return);
        QVERIFY(!dialog->isVisible());
    });
    tabTo(control(&window, "BTcarga"));
    press(Qt::Key_Return);
    // No window manager offscreen gives the window back its activation once the dialog
    // over it has closed; the test does what one would.
    window.activateWindow();
    waitUntilActive(&window);
    QCOMPARE(qobject_cast<QLabel *>(control(&window, "LRuta"))->text(), qtPath(file));
    QCOMPARE(qobject_cast<QLabel *>(control(&window, "LTipo"))->text(), QStringLiteral("BGA, Arcade"));

    tabTo(control(&window, "BTguarda1"));
    press(Qt::Key_Return);
    QCOMPARE(readAll(file), fileWith(Layout::PcEmulator, kBody));
    tabTo(control(&window, "BTguarda0"));
    press(Qt::Key_Return);
    QCOMPARE(readAll(file), fileWith(Layout::Arcade, kBody));

    QStringList prompts;
    for (const ScriptedMessageBoxes::Box &shown : boxes.shown())
        prompts.append(shown.prompt.section(QChar(13), -1));
    QCOMPARE(prompts, (QStringList{"¿Está seguro?", "Finalizado", "¿Está seguro?", "Finalizado"}));
}

void TestLoadThroughChooser::namesAreShownAsWritten()
{
#ifdef Q_OS_WIN
    QSKIP("Windows refuses \"<\" and \">\" in a file name, so no name there reads as markup");
#endif
    const TempFolder folder;
    const auto file = folder.write("<b>x.dat", headerOf(Layout::Arcade));
    FakeVolumes volumes;
    ScriptedMessageBoxes boxes;
    Form1 window;
    window.show();

    QString startFolder;
    QString shownName;
    pickInChooser(qtPath(folder.path()), QStringLiteral("<b>x.dat"), &startFolder, &shownName);
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("BTcarga")), Qt::LeftButton);
    QCOMPARE(shownName, QStringLiteral("<b>x.dat"));
    QCOMPARE(shownText(window.findChild<QLabel *>(QStringLiteral("LRuta"))), qtPath(file));
}

void TestLoadThroughChooser::aNameThatIsNotUtf8OpensItsOwnFile_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("chooser") << "chooser";
    QTest::newRow("command line") << "command line";
    QTest::newRow("drop") << "drop";
}

// A Latin-1 name copied from an old system, beside a file whose name is the spelling the
// first would have if its bytes were taken as UTF-8 and mended: the first is opened.
void TestLoadThroughChooser::aNameThatIsNotUtf8OpensItsOwnFile()
{
#ifdef Q_OS_WIN
    QSKIP("Windows names are UTF-16: there is no name that is not text");
#endif
    QFETCH(QString, way);
    const TempFolder folder;
    const std::string latin1Name = "nivel\xf1o.dat";
    const auto file = folder.write(latin1Name, headerOf(Layout::Arcade));
    (void)folder.write("nivel\xef\xbf\xbdo.dat", headerOf(Layout::PcEmulator));
    FakeVolumes volumes;
    ScriptedMessageBoxes boxes;
    Form1 window;
    window.show();

    std::string path = file.string();
    if (way == "chooser") {
        QString startFolder;
        pickInChooser(qtPath(folder.path()), qtPath(latin1Name), &startFolder);
        QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("BTcarga")), Qt::LeftButton);
    } else if (way == "command line") {
        char *argv[] = {path.data(), path.data()};
        window.openFiles(vuelco::givenFiles(vuelco::forms::commandLineNames(2, argv)));
    } else {
        QMimeData data;
        data.setUrls({QUrl::fromEncoded("file://" + QByteArray::fromStdString(path).toPercentEncoding("/"))});
        window.openFiles(vuelco::droppedFiles(&data));
    }
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("LTipo"))->text(), QStringLiteral("BGA, Arcade"));
    // Shown as vuelco-cli writes it: the byte that is not UTF-8 in octal.
    QCOMPARE(shownText(window.findChild<QLabel *>(QStringLiteral("LRuta"))),
             qtPath(folder.path()) + QStringLiteral("/nivel\\361o.dat"));
    QCOMPARE(boxes.shown().size(), 0);
}

void TestLoadThroughChooser::aLongPathListsAndItsNameStaysInSight()
{
    // Past the 260 characters of a plain Windows path, with blanks in every folder's name.
    const TempFolder temporary;
    std::filesystem::path folder = temporary.path();
    while (folder.native().size() < 300)
        folder /= "Una carpeta de nombre largo";
    makeFolders(folder);
    const QString name = QStringLiteral("Nivel 1.dat");
    writeFile(folder / "Nivel 1.dat", headerOf(Layout::Arcade));
    FakeVolumes volumes;
    ScriptedMessageBoxes boxes;
    Form1 window;
    window.show();

    QString startFolder;
    pickInChooser(qtPath(folder), name, &startFolder);
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("BTcarga")), Qt::LeftButton);
    auto *ruta = window.findChild<vuelco::forms::PathLabel *>(QStringLiteral("LRuta"));
    QCOMPARE(ruta->text(), qtPath(folder / "Nivel 1.dat"));
    QVERIFY2(ruta->shownText().contains(QChar(0x2026)) && ruta->shownText().endsWith(QDir::separator() + name),
             qPrintable(ruta->shownText()));
    QHelpEvent help(QEvent::ToolTip, QPoint(1, 1), ruta->mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(ruta, &help);
    QCOMPARE(QToolTip::text(), ruta->text());
}

QTEST_MAIN(TestLoadThroughChooser)
#include "tst_load_through_chooser.moc"
