#include "collection_window/collection_window.h"
#include "forms/native_paths.h"
#include "forms/translations.h"
#include "qt_bytes.h"
#include "scripted_message_boxes.h"
#include "temp_folder.h"
#include "words/failure_words.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QFileDialog>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <semaphore>
#include <vector>

using vuelco::Layout;

namespace {

// More than the engine keeps in flight, so that a cancel always leaves files untaken.
constexpr int kArcadeFiles = 1100;

QString text(QWidget *window, const char *name) { return window->findChild<QLabel *>(name)->text(); }

std::u16string arcadeName(int index)
{
    return QStringLiteral("a%1.dat").arg(index, 4, 10, QChar('0')).toStdU16String();
}

} // namespace

class TestCollectionWindow : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void looksConvertsCancelsAndReports();
    void undoesItsConversionAndAGivenRecordExactly();
    void convertsNothingWithoutItsRecord();
    void oneFileIsAskedAboutAsOne();
    void theListIsSavedInSpanishAndLeavesNoSettings();

private:
    const TempFolder mState;  // the user's state folder, where the window keeps its records
};

void TestCollectionWindow::initTestCase()
{
    qputenv("XDG_STATE_HOME", QByteArray::fromStdString(mState.path().string()));
    qputenv("LOCALAPPDATA", QByteArray::fromStdString(mState.path().string()));
}

void TestCollectionWindow::looksConvertsCancelsAndReports()
{
    const TempFolder folder;
    for (int i = 0; i < kArcadeFiles; ++i)
        (void)folder.write(arcadeName(i), fileWith(Layout::Arcade));
    (void)folder.write("b1.dat", fileWith(Layout::PcEmulator));
    (void)folder.write("b2.dat", fileWith(Layout::PcEmulator));
    (void)folder.write("0otro.dat", withByte(fileWith(Layout::Arcade), 4, 9));
    const QString top = vuelco::forms::fromFilesystemPath(folder.path());
    const QString missing = vuelco::forms::fromFilesystemPath(folder / "falta.dat");
    const QString notFound = QStringLiteral("%1: Error #  53: %2")
                                 .arg(missing, QString::fromStdString(vuelco::words::standardDescription(
                                                   vuelco::FailureNumber::FileNotFound)));
    const QString other = vuelco::forms::joinPath(top, QStringLiteral("0otro.dat")) + ": Otro. Desconocido";

    ScriptedMessageBoxes boxes;
    vuelco::CollectionWindow window({missing, top}, nullptr);
    window.show();
    const auto button = [&window](const char *name) { return window.findChild<QPushButton *>(name); };
    auto *list = window.findChild<QPlainTextEdit *>("TXinforme");
    QTRY_VERIFY(button("BTcerrar")->isEnabled());
    QCOMPARE(text(&window, "LCuentas"), QStringLiteral("BGA, Arcade: %1\nBGA, Emulador Pc: 2\n"
                                                       "Otro. Desconocido: 1\nIlegibles: 1").arg(kArcadeFiles));
    QCOMPARE(list->toPlainText(), notFound + '\n' + other);
    QVERIFY(button("BTguarda0")->isEnabled() && button("BTguarda1")->isEnabled());
    for (QWidget *control : window.findChildren<QWidget *>()) {
        if (control->focusPolicy() & Qt::TabFocus)
            QVERIFY2(!QAccessible::queryAccessibleInterface(control)->text(QAccessible::Name).isEmpty(),
                     qPrintable(control->objectName()));
    }

    // The engine's first report waits until Cancelar was pressed: files in flight then
    // finish, and the rest stay as they were.
    std::atomic<bool> reached = false;
    std::binary_semaphore cancelled(0);
    auto *run = window.findChild<vuelco::CollectionRun *>();
    connect(run, &vuelco::CollectionRun::progressed, run, [&](qulonglong, qulonglong, bool) {
        if (!reached.exchange(true))
            cancelled.acquire();
    }, Qt::DirectConnection);
    button("BTguarda1")->setFocus();
    QTest::keyClick(button("BTguarda1"), Qt::Key_Space);
    const QString confirmation = QStringLiteral("Los %1 archivos a convertir se van a\r"
                                                "Sobreescribir para convertirlos.\r"
                                                "Antes: es aconsejable hacer una\r"
                                                "copia de seguridad de los mismos.\r\r¿Está seguro?")
                                     .arg(kArcadeFiles);
    QCOMPARE(boxes.shown(), QList<ScriptedMessageBoxes::Box>({{confirmation, 260, QStringLiteral("Convertir")}}));
    QTRY_VERIFY(reached);
    QVERIFY(!button("BTcerrar")->isEnabled());
    button("BTcancelar")->setFocus();
    QTest::keyClick(button("BTcancelar"), Qt::Key_Return);
    cancelled.release();
    // Looked at again, the files left can be converted on and those converted turned back.
    QTRY_VERIFY(button("BTguarda0")->isEnabled() && button("BTguarda1")->isEnabled());

    int converted = 0;
    for (int i = 0; i < kArcadeFiles; ++i)
        converted += readAll(folder / arcadeName(i)) == fileWith(Layout::PcEmulator) ? 1 : 0;
    // The first report may come before any arcade file was taken (the missing name is
    // reported first), so a cancel may convert none; it never converts them all. The file
    // not recognised is its folder's first: taken before any arcade file, and maybe not at all.
    QVERIFY(converted < kArcadeFiles);
    QCOMPARE(text(&window, "LEstado"), QStringLiteral("Cancelado: no se tomaron más archivos."));
    const int unrecognised = converted > 0 || list->toPlainText().contains(other) ? 1 : 0;
    const QString counts = QStringLiteral("Convertidos: %1\nYa en ese formato: 0\nNo reconocidos: %4\nFallidos: 1\n\n"
                                          "Ahora en BGA, Arcade: %2\nAhora en BGA, Emulador Pc: %3")
                               .arg(converted)
                               .arg(kArcadeFiles - converted)
                               .arg(converted + 2)
                               .arg(unrecognised);
    QCOMPARE(text(&window, "LCuentas"), counts);
    // Focus lands on going on, which tells a screen reader how the run ended.
    QCOMPARE(window.focusWidget(), button("BTguarda1"));
    QVERIFY(button("BTguarda1")->accessibleDescription().startsWith(
        QStringLiteral("Cancelado: no se tomaron más archivos.\nConvertidos: %1\n").arg(converted)));
    const int done = converted + 1 + unrecognised;
    QCOMPARE(text(&window, "LAvance"), QStringLiteral("Hechos: %1. Quedan: %2").arg(done).arg(kArcadeFiles + 4 - done));
    QCOMPARE(readAll(folder / "b1.dat"), fileWith(Layout::PcEmulator));
    const QString report = notFound + (unrecognised == 1 ? '\n' + other + QStringLiteral(" (no se convierte)") : QString());
    QCOMPARE(list->toPlainText(), report);

    QTest::mouseClick(button("BTcopiar"), Qt::LeftButton);
    QCOMPARE(QApplication::clipboard()->text(), report);
    const QString saved = vuelco::forms::fromFilesystemPath(folder / "lista.txt");
    window.setSaveNameAsker([&saved](QWidget *) { return QString(saved); });
    QTest::mouseClick(button("BTguardar"), Qt::LeftButton);
    QFile file(saved);
    QVERIFY(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QCOMPARE(QString::fromUtf8(file.readAll()), report + '\n');

    // Going on converts what the cancel left; then only turning back applies.
    boxes.clear();
    QTest::keyClick(button("BTguarda1"), Qt::Key_Space);
    QCOMPARE(boxes.shown().size(), 1);
    QVERIFY(boxes.shown().first().prompt.startsWith(QStringLiteral("Los %1 archivos").arg(kArcadeFiles - converted)));
    QTRY_VERIFY(button("BTguarda0")->isEnabled() && !button("BTguarda1")->isEnabled());
    QCOMPARE(window.focusWidget(), button("BTguarda0"));
    for (int i = 0; i < kArcadeFiles; ++i)
        QCOMPARE(readAll(folder / arcadeName(i)), fileWith(Layout::PcEmulator));
    QTest::mouseClick(button("BTcerrar"), Qt::LeftButton);
    QVERIFY(!window.isVisible());
}

// Deshacer takes back exactly what the conversion wrote, and leaves a file changed since; the
// undo's own record, given under any name, opens a window that undoes the undo.
void TestCollectionWindow::undoesItsConversionAndAGivenRecordExactly()
{
    const TempFolder folder;
    const Bytes arcade = fileWith(Layout::Arcade, bodyOf(40));
    for (const char *name : {"a1.dat", "a2.dat", "a3.dat"})
        (void)folder.write(name, arcade);
    const std::filesystem::path pc = folder.write("p.dat", fileWith(Layout::PcEmulator));
    const Bytes changed = withByte(fileWith(Layout::PcEmulator, bodyOf(40)), 8, 0x77);
    ScriptedMessageBoxes boxes;
    const auto button = [](QWidget &window, const char *name) { return window.findChild<QPushButton *>(name); };
    {
        vuelco::CollectionWindow window({vuelco::forms::fromFilesystemPath(folder.path())}, nullptr);
        QTRY_VERIFY(button(window, "BTguarda1")->isEnabled());
        QVERIFY(!button(window, "BTdeshacer")->isEnabled());
        button(window, "BTguarda1")->click();
        QTRY_VERIFY(button(window, "BTdeshacer")->isEnabled());
        writeFile(folder / "a3.dat", changed);
        QTest::keyClick(button(window, "BTdeshacer"), Qt::Key_Space);
        QCOMPARE(boxes.shown().last(), (ScriptedMessageBoxes::Box{QStringLiteral(
            "Los 3 archivos convertidos se van a\rSobreescribir para deshacer el cambio.\r\r¿Está seguro?"),
            260, QStringLiteral("Deshacer")}));
        QTRY_VERIFY(button(window, "BTguarda0")->isEnabled());
        QCOMPARE(readAll(folder / "a1.dat"), arcade);
        QCOMPARE(readAll(folder / "a2.dat"), arcade);
        QCOMPARE(readAll(folder / "a3.dat"), changed);
        QCOMPARE(readAll(pc), fileWith(Layout::PcEmulator));
        QCOMPARE(window.findChild<QPlainTextEdit *>("TXinforme")->toPlainText(),
                 vuelco::forms::fromFilesystemPath(folder / "a3.dat") + ": cambió desde entonces (no se deshace)");
        QVERIFY(text(&window, "LCuentas").startsWith("Deshechos: 2\nYa deshechos: 0\nCambiados desde entonces: 1\n"));
        QVERIFY(!button(window, "BTdeshacer")->isEnabled());
    }
    // Kept: the conversion's record and the undo's, whose names sort by age.
    std::vector<std::filesystem::path> kept;
    for (const auto &entry : std::filesystem::directory_iterator(mState / "vuelco" / "registros"))
        kept.push_back(entry.path());
    std::sort(kept.begin(), kept.end());
    QVERIFY(kept.size() >= 2);
    const std::filesystem::path given = folder / "cualquier nombre.txt";
    std::filesystem::copy_file(kept.back(), given);

    vuelco::CollectionWindow window({vuelco::forms::fromFilesystemPath(given)}, nullptr);
    QTRY_VERIFY(button(window, "BTdeshacer")->isEnabled());
    QCOMPARE(text(&window, "LCuentas"), QStringLiteral("Se desharían: 2\nYa deshechos: 0\nCambiados desde entonces: 0\n"
                                                       "No encontrados: 0\nOtro archivo en su ruta: 0\nFallidos: 0"));
    QCOMPARE(window.focusWidget(), button(window, "BTdeshacer"));
    button(window, "BTdeshacer")->click();
    QTRY_COMPARE(text(&window, "LEstado"), QStringLiteral("Deshecho"));
    QCOMPARE(readAll(folder / "a1.dat"), fileWith(Layout::PcEmulator, bodyOf(40)));
    QCOMPARE(readAll(folder / "a3.dat"), changed);
}

// A record that cannot be kept is said, and nothing is converted without it.
void TestCollectionWindow::convertsNothingWithoutItsRecord()
{
    const TempFolder folder;
    const std::filesystem::path file = folder.write("a.dat", fileWith(Layout::Arcade));
    const QByteArray underAFile = QByteArray::fromStdString(folder.write("estado", {}).string());
    qputenv("XDG_STATE_HOME", underAFile);
    qputenv("LOCALAPPDATA", underAFile);
    ScriptedMessageBoxes boxes;
    vuelco::CollectionWindow window({vuelco::forms::fromFilesystemPath(file.parent_path())}, nullptr);
    auto *convert = window.findChild<QPushButton *>("BTguarda1");
    QTRY_VERIFY(convert->isEnabled());
    convert->click();
    initTestCase();
    QCOMPARE(boxes.shown().size(), 2);
    QVERIFY(boxes.shown().last().prompt.startsWith(QStringLiteral(
        "No se pudo guardar el registro que permite deshacer el cambio; no se tocó ningún archivo.\rError # ")));
    QCOMPARE(boxes.shown().last().style, 16);
    QVERIFY(convert->isEnabled());
    QCOMPARE(readAll(file), fileWith(Layout::Arcade));
}

// Not "Los 1 archivos a convertir".
void TestCollectionWindow::oneFileIsAskedAboutAsOne()
{
    const TempFolder folder;
    (void)folder.write(arcadeName(0), fileWith(Layout::Arcade));
    ScriptedMessageBoxes boxes;
    boxes.answer({vuelco::forms::MsgBoxResult::No});
    vuelco::CollectionWindow window({vuelco::forms::fromFilesystemPath(folder.path())}, nullptr);
    auto *convert = window.findChild<QPushButton *>("BTguarda1");
    QTRY_VERIFY(convert->isEnabled());
    convert->click();
    QCOMPARE(boxes.shown().size(), 1);
    QCOMPARE(boxes.shown().first().prompt, QStringLiteral("El archivo a convertir se va a\rSobreescribir para "
                                                          "convertirlo.\rAntes: es aconsejable hacer una\rcopia de "
                                                          "seguridad del mismo.\r\r¿Está seguro?"));
}

// The save dialog as a new user meets it: Qt's own words in Spanish, a name proposed in
// the folder looked at when there is no Documents folder, ".txt" added to a name typed
// without it, and nothing of Qt's left in the user's settings; a failure said in Spanish.
void TestCollectionWindow::theListIsSavedInSpanishAndLeavesNoSettings()
{
#ifdef Q_OS_WIN
    QSKIP("Windows draws its own save dialog, which a test cannot answer");
#endif
    const TempFolder home;
    const TempFolder folder;
    (void)folder.write("x.dat", withByte(fileWith(Layout::Arcade), 4, 9));
    qputenv("HOME", QByteArray::fromStdString(home.path().string()));
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString((home / "config").string()));
    vuelco::forms::installSpanishQtWords(*QCoreApplication::instance());
    ScriptedMessageBoxes boxes;
    const QString top = vuelco::forms::fromFilesystemPath(folder.path());
    vuelco::CollectionWindow window({top}, nullptr);
    auto *save = window.findChild<QPushButton *>("BTguardar");
    QTRY_VERIFY(save->isEnabled());

    QString proposed;
    QStringList buttons;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        proposed = dialog->selectedFiles().value(0);
        for (const QPushButton *button : dialog->findChildren<QPushButton *>())
            buttons.append(button->text().remove('&'));
        dialog->selectFile(QStringLiteral("lista"));
        QMetaObject::invokeMethod(dialog, "accept");
    });
    save->click();
    const QString name = QStringLiteral("vuelco-informe-%1.txt").arg(QDate::currentDate().toString(Qt::ISODate));
    QCOMPARE(proposed, vuelco::forms::joinPath(top, name));
    QVERIFY2(buttons.contains(QStringLiteral("Guardar")) && buttons.contains(QStringLiteral("Cancelar")),
             qPrintable(buttons.join(',')));
    QVERIFY(std::filesystem::exists(folder / "lista.txt"));
    QVERIFY(!std::filesystem::exists(home / "config" / "QtProject.conf"));

    window.setSaveNameAsker([&](QWidget *) { return vuelco::forms::fromFilesystemPath(folder / "falta" / "l.txt"); });
    save->click();
    QCOMPARE(boxes.shown().size(), 1);
    QCOMPARE(boxes.shown().first().prompt, QStringLiteral("No se pudo guardar la lista.\rError #  76\r"
                                                          "No se encontró la ruta de acceso"));
}

QTEST_MAIN(TestCollectionWindow)
#include "tst_collection_window.moc"
