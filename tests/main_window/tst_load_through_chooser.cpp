#include "file_chooser/fdisco.h"
#include "main_window/form1.h"
#include "runtime/forms/dir_list_box.h"
#include "runtime/forms/file_list_box.h"
#include "runtime/forms/native_paths.h"
#include "fake_volumes.h"
#include "scripted_message_boxes.h"
#include "temp_folder.h"

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using vuelco::forms::DirListBox;
using vuelco::forms::FileListBox;

namespace {

const QByteArray kArcade = QByteArray::fromHex("52455300020000001122334455667788626f6479");
const QByteArray kPcEmulator = QByteArray::fromHex("52455300030000005566778811223344626f6479");

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
        QStringList names;
        for (int i = 0; i < files->ListCount(); ++i)
            names.append(files->List(i));
        const int row = static_cast<int>(names.indexOf(name));
        QVERIFY(row >= 0);
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                          files->visualRect(files->model()->index(row, 0)).center());
        if (shownName != nullptr)
            *shownName = shownText(dialog->findChild<QLabel *>(QStringLiteral("Lelegido")));
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("BTacepta")), Qt::LeftButton);
    });
}

QString qtPath(const std::filesystem::path &path) { return vuelco::forms::fromFilesystemPath(path); }

} // namespace

class TestLoadThroughChooser : public QObject {
    Q_OBJECT

private slots:
    void loadsAndConvertsAFileChosenWithTheMouse();
    void namesAreShownAsWritten();
};

void TestLoadThroughChooser::loadsAndConvertsAFileChosenWithTheMouse()
{
    QTemporaryDir temporary;
    const QString folder = QDir::toNativeSeparators(temporary.path());
    const QString path = vuelco::forms::joinPath(folder, QStringLiteral("Nivel 1.dat"));
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(kArcade);
    }
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
    QCOMPARE(boxes.count(), 2);
    QCOMPARE(boxes.shown()[1].prompt, QStringLiteral("Finalizado"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), kPcEmulator);

    // The next request starts in the folder of the file chosen last.
    pickInChooser(folder, QStringLiteral("Nivel 1.dat"), &startFolder);
    QTest::mouseClick(window.findChild<QPushButton *>(QStringLiteral("BTcarga")), Qt::LeftButton);
    QCOMPARE(startFolder, folder);
    QCOMPARE(window.findChild<QLabel *>(QStringLiteral("LTipo"))->text(), QStringLiteral("BGA, Emulador Pc"));
}

void TestLoadThroughChooser::namesAreShownAsWritten()
{
    const TempFolder folder;
    const auto file = folder.write("<b>x.dat", arcadeHeader());
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

QTEST_MAIN(TestLoadThroughChooser)
#include "tst_load_through_chooser.moc"
