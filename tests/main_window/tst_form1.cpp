#include "file_chooser/module1.h"
#include "forms/caption_fit.h"
#include "forms/native_paths.h"
#include "main_window/form1.h"
#include "main_window/ways_in.h"
#include "qt_bytes.h"
#include "scripted_message_boxes.h"
#include "temp_folder.h"
#include "words/failure_words.h"

#include <QAccessible>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHash>
#include <QImage>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <QTest>
#include <functional>
#include <memory>
#include <optional>

using vuelco::Form1;
using vuelco::Layout;
using vuelco::forms::MsgBoxResult;
using Box = ScriptedMessageBoxes::Box;
namespace Module1 = vuelco::Module1;

namespace {

const QChar kCr = QChar(13);

const QByteArray kArcade = qBytes(headerOf(Layout::Arcade));
const QByteArray kPcEmulator = qBytes(headerOf(Layout::PcEmulator));
// Group bytes that must travel unchanged.
const QByteArray kArcadeOddGroups = qBytes(headerOf(Layout::Arcade, kExtremeGroups));
const QByteArray kPcOddGroups = qBytes(headerOf(Layout::PcEmulator, kExtremeGroups));
const QByteArray kBody = qBytes(bodyOf(4096));

QByteArray with(const QByteArray &header, std::size_t offset, std::uint8_t value)
{
    return qBytes(withByte(Bytes(header.begin(), header.end()), offset, value));
}

// The failure box for a number and its description.
Box failureBox(int number, const std::string &description)
{
    return {QString::fromStdString(vuelco::words::errorPrompt(number, description, '\r')), 0,
            QStringLiteral("Algo mal...")};
}

const Box kNotFound = failureBox(53, vuelco::words::standardDescription(vuelco::FailureNumber::FileNotFound));
const Box kChooseFirst{QStringLiteral("Primero: elegir un archivo"), 64, QStringLiteral("Eeeepa!")};
const Box kConfirm{QStringLiteral("El archivo elegido se va a") + kCr + QStringLiteral("Sobreescribir para convertirlo.") +
                       kCr + QStringLiteral("Antes: es aconsejable hacer una") + kCr +
                       QStringLiteral("copia de seguridad del mismo.") + kCr + kCr + QStringLiteral("¿Está seguro?"),
                   260, QStringLiteral("Convertir")};
const Box kFinished{QStringLiteral("Finalizado"), 64, QStringLiteral("Convertir")};
// "Alto!!", the box of a conversion refused, with its lines.
Box stopBox(const char *first, const char *second, int icon)
{
    return {QString::fromUtf8(first) + kCr + QString::fromUtf8(second), icon, QStringLiteral("Alto!!")};
}

// Counts how often a widget is shown, to tell "never shown" from "shown and hidden again".
class ShowCounter final : public QObject {
public:
    explicit ShowCounter(QWidget *widget) { widget->installEventFilter(this); }
    int shows = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            ++shows;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

class TestForm1 : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void startsWithOnlyLoadEnabled();
    void controlsLieInsideTheirParentAndApart();
    void busyFrameLiesInFrontOfTheLowerHalf();
    void busyFrameHidesWhatLiesBehindIt();
    void focusFollowsTheTabIndexes();

    void loadClassifiesTheHeader_data();
    void loadClassifiesTheHeader();
    void unrecognisedAfterRecognisedDisablesBoth();
    void cancelKeepsThePreviousLoad();
    void closingTheChooserAfterAcceptReloadsTheSameFile();
    void failedLoadLeavesNothingToConvert();
    void pathOfBlanksCountsAsNoFile();

    void convertsEachWayAndBack_data();
    void convertsEachWayAndBack();
    void answeringNoChangesNothing();
    void readOnlyFileIsRefused();
    void fileChangedSinceLoadIsLeftAlone_data();
    void fileChangedSinceLoadIsLeftAlone();
    void vanishedFileIsNotCreated();

    void clickDuringTheYieldDoesNothing_data();
    void clickDuringTheYieldDoesNothing();

    void aGivenFileLoadsOnceTheWindowIsUp_data();
    void aGivenFileLoadsOnceTheWindowIsUp();
    void dropsOpenLocalFilesWhenNotBusy_data();
    void dropsOpenLocalFilesWhenNotBusy();
    void severalOrAFolderOpenTheCollectionWindow();
    void aCollectionRunThatConvertedReloadsTheFile_data();
    void aCollectionRunThatConvertedReloadsTheFile();

private:
    QString writeFile(const QString &name, const QByteArray &content)
    {
        const Bytes bytes(content.begin(), content.end());
        return vuelco::forms::fromFilesystemPath(mFolder->write(name.toStdU16String(), bytes));
    }
    [[nodiscard]] static QByteArray readFile(const QString &path) { return qBytes(readAll(path.toStdU16String())); }
    // The next Load picks this file (accepted), or cancels when path is empty.
    void choose(const QString &path) { mChoice = path; mCloseBox = false; }
    void load(const QString &path);
    void checkState(const QString &ruta, const QString &tipo, bool arcadeEnabled, bool pcEnabled);

    template <class T>
    T *widget(const char *name)
    {
        return mWindow->findChild<T *>(QString::fromLatin1(name));
    }
    QPushButton *button(const char *name) { return widget<QPushButton>(name); }

    std::optional<TempFolder> mFolder;
    std::unique_ptr<ScriptedMessageBoxes> mBoxes;
    std::unique_ptr<Form1> mWindow;
    QString mChoice;
    bool mCloseBox = false;
    QStringList mStartPaths;      // RutaArchivo as each request found it
    std::function<void()> mDuringChooser;
};

void TestForm1::init()
{
    mFolder.emplace();
    mBoxes = std::make_unique<ScriptedMessageBoxes>();
    mWindow = std::make_unique<Form1>();
    mChoice.clear();
    mCloseBox = false;
    mStartPaths.clear();
    mDuringChooser = {};
    Module1::Opcion = {0, 0};
    mWindow->setChooser([this](QWidget *owner) {
        QCOMPARE(owner, mWindow.get());
        QCOMPARE(Module1::Opcion[Module1::kModo], 0);
        mStartPaths.append(Module1::RutaArchivo);
        if (mDuringChooser)
            std::exchange(mDuringChooser, {})();
        if (mCloseBox)
            return;
        if (mChoice.isEmpty()) {
            Module1::Opcion[Module1::kResultado] = 0;
        } else {
            Module1::RutaArchivo = mChoice;
            Module1::Opcion[Module1::kResultado] = 1;
        }
    });
    mWindow->show();
}

void TestForm1::cleanup()
{
    mWindow.reset();
    mBoxes.reset();
    mFolder.reset();
}

void TestForm1::load(const QString &path)
{
    choose(path);
    QTest::mouseClick(button("BTcarga"), Qt::LeftButton);
}

void TestForm1::checkState(const QString &ruta, const QString &tipo, bool arcadeEnabled, bool pcEnabled)
{
    QCOMPARE(widget<QLabel>("LRuta")->text(), ruta);
    QCOMPARE(widget<QLabel>("LTipo")->text(), tipo);
    QCOMPARE(button("BTguarda0")->isEnabled(), arcadeEnabled);
    QCOMPARE(button("BTguarda1")->isEnabled(), pcEnabled);
    QVERIFY(button("BTcarga")->isEnabled());
    QVERIFY(widget<QGroupBox>("FRespera")->isHidden());
}

void TestForm1::startsWithOnlyLoadEnabled()
{
    QCOMPARE(mWindow->windowTitle(), QStringLiteral("BGA: Arcade<-->Emulador Pc"));
    QCOMPARE(mWindow->size(), QSize(426, 213));
    checkState(QString(), QString(), false, false);
    QVERIFY(!mWindow->windowIcon().isNull());
    QCOMPARE(widget<QLabel>("Picture1")->pixmap().size(), QSize(121, 15));

    // Converting before any load asks for a file first.
    mWindow->BTguarda_Click(1);
    QCOMPARE(mBoxes->shown(), (QList<Box>{kChooseFirst}));
}

void TestForm1::controlsLieInsideTheirParentAndApart()
{
    // The captions the design gives; every other control shows none.
    const QHash<QString, QString> captions{{"CHwa", "Procesando..."}, {"FRconv", "Convertir..."},
                                           {"BTguarda0", "a Arcade"},   {"BTguarda1", "a Emulador Pc"},
                                           {"BTcarga", "..."},          {"Label4", "18/05/2003"},
                                           {"Label2", "Archivo BGA"},   {"Label1", "El archivo es:"}};
    QList<QWidget *> controls = mWindow->findChildren<QWidget *>();
    controls.removeIf([](const QWidget *control) {
        return control->objectName().isEmpty() || control->objectName().startsWith(QLatin1String("qt_"));
    });
    QCOMPARE(controls.size(), 13);
    for (const QWidget *control : controls) {
        const QString name = control->objectName();
        QVERIFY2(control->parentWidget()->rect().contains(control->geometry()), qPrintable(name));
        QCOMPARE(vuelco::forms::captionOf(control), captions.value(name));
        // Only the busy frame is laid over others (busyFrameLiesInFrontOfTheLowerHalf).
        for (const QWidget *other : controls) {
            if (other != control && other->parentWidget() == control->parentWidget() && name != "FRespera" &&
                other->objectName() != "FRespera")
                QVERIFY2(!control->geometry().intersects(other->geometry()),
                         qPrintable(name + ' ' + other->objectName()));
        }
    }
}

void TestForm1::busyFrameLiesInFrontOfTheLowerHalf()
{
    auto *frespera = widget<QGroupBox>("FRespera");
    const QList<QWidget *> order = mWindow->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    const auto place = [&order, this](const char *name) { return order.indexOf(widget<QWidget>(name)); };
    // Later siblings lie in front.
    QVERIFY(place("Picture1") > place("FRespera"));
    for (const char *behind : {"FRconv", "Label3", "Label4", "LTipo", "Label1"})
        QVERIFY2(place("FRespera") > place(behind), behind);

    const QPoint inFrconvAndBusy(60, 120);    // pixels: inside both frames, outside CHwa
    const QPoint inPictureAndBusy(300, 190);  // inside Picture1 and the busy frame
    QVERIFY(frespera->geometry().contains(inFrconvAndBusy));
    QVERIFY(widget<QWidget>("FRconv")->geometry().contains(inFrconvAndBusy));
    QCOMPARE(mWindow->childAt(inFrconvAndBusy), widget<QWidget>("FRconv"));
    frespera->show();
    QCOMPARE(mWindow->childAt(inFrconvAndBusy), frespera);
    QCOMPARE(mWindow->childAt(inPictureAndBusy), widget<QWidget>("Picture1"));
    QCOMPARE(mWindow->childAt(QPoint(100, 160))->objectName(), QStringLiteral("CHwa"));
}

void TestForm1::busyFrameHidesWhatLiesBehindIt()
{
    auto *frespera = widget<QGroupBox>("FRespera");
    frespera->show();
    // Where the frame lies the window shows the frame's own picture, except for Picture1
    // in front of it: the convert buttons, Label3 and Label4 behind it do not show through.
    const QImage window = mWindow->grab().toImage();
    const QImage frame = frespera->grab().toImage();
    const QRect area = frespera->geometry();
    const QRect picture = widget<QWidget>("Picture1")->geometry();
    QVERIFY(area.intersects(widget<QWidget>("FRconv")->geometry()));
    int showingThrough = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (!picture.contains(x, y) && window.pixel(x, y) != frame.pixel(x - area.left(), y - area.top()))
                ++showingThrough;
        }
    }
    QCOMPARE(showingThrough, 0);
}

void TestForm1::focusFollowsTheTabIndexes()
{
    QWidget *expected[] = {button("BTcarga"), button("BTguarda0"), button("BTguarda1"), widget<QWidget>("CHwa")};
    for (std::size_t i = 0; i + 1 < std::size(expected); ++i) {
        QWidget *next = expected[i]->nextInFocusChain();
        while (next->focusPolicy() == Qt::NoFocus)
            next = next->nextInFocusChain();
        QCOMPARE(next, expected[i + 1]);
    }
}

void TestForm1::loadClassifiesTheHeader_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("tipo");
    QTest::addColumn<bool>("arcadeEnabled");
    QTest::addColumn<bool>("pcEnabled");

    const QString unknown = QStringLiteral("Otro. Desconocido");
    QTest::newRow("arcade, header only") << kArcade << "BGA, Arcade" << false << true;
    QTest::newRow("arcade, long body") << kArcadeOddGroups + kBody << "BGA, Arcade" << false << true;
    QTest::newRow("pc emulator") << kPcEmulator + kBody << "BGA, Emulador Pc" << true << false;
    QTest::newRow("first byte") << with(kArcade, 0, 0x51) << unknown << false << false;
    QTest::newRow("lower-case signature") << qBytes(Bytes{'r', 'e', 's', 0, 2, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8}) << unknown
                                          << false << false;
    QTest::newRow("offset 3 not zero") << with(kArcade, 3, 0x20) << unknown << false << false;
    QTest::newRow("code 0") << with(kArcade, 4, 0) << unknown << false << false;
    QTest::newRow("code 4") << with(kArcade, 4, 4) << unknown << false << false;
    QTest::newRow("code 255") << with(kArcade, 4, 255) << unknown << false << false;
    QTest::newRow("offset 6 not zero") << with(kArcade, 6, 1) << unknown << false << false;
    QTest::newRow("short file") << kArcade.left(12) << unknown << false << false;
    QTest::newRow("empty file") << QByteArray() << unknown << false << false;
}

void TestForm1::loadClassifiesTheHeader()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, tipo);
    QFETCH(bool, arcadeEnabled);
    QFETCH(bool, pcEnabled);

    const QString path = writeFile(QStringLiteral("datos.dat"), content);
    ShowCounter busy(widget<QWidget>("FRespera"));
    load(path);

    checkState(path, tipo, arcadeEnabled, pcEnabled);
    // Focus lands on the next step, which tells a screen reader what the load found.
    QPushButton *next = arcadeEnabled ? button("BTguarda0") : pcEnabled ? button("BTguarda1") : button("BTcarga");
    QCOMPARE(mWindow->focusWidget(), next);
    QCOMPARE(next->accessibleDescription(), "El archivo es: " + tipo);
    QCOMPARE(busy.shows, 1);
    QCOMPARE(mBoxes->shown(), QList<Box>{});
    QCOMPARE(readFile(path), content);
    // The first request of a run starts in the program's own folder.
    QCOMPARE(mStartPaths, QStringList{QDir::toNativeSeparators(QCoreApplication::applicationDirPath()) + QDir::separator()});
}

void TestForm1::unrecognisedAfterRecognisedDisablesBoth()
{
    const QString arcade = writeFile(QStringLiteral("a.dat"), kArcade);
    const QString other = writeFile(QStringLiteral("b.dat"), kPcEmulator.left(4) + QByteArray(12, '\x09'));
    load(arcade);
    checkState(arcade, QStringLiteral("BGA, Arcade"), false, true);
    load(other);
    checkState(other, QStringLiteral("Otro. Desconocido"), false, false);
    QCOMPARE(mStartPaths.last(), arcade);

    // The groups of the arcade file are not written into the other one.
    mWindow->BTguarda_Click(1);
    QCOMPARE(mBoxes->shown(), (QList<Box>{kChooseFirst}));
    QCOMPARE(readFile(other), kPcEmulator.left(4) + QByteArray(12, '\x09'));
}

void TestForm1::cancelKeepsThePreviousLoad()
{
    const QString pc = writeFile(QStringLiteral("pc.dat"), kPcEmulator);
    load(pc);
    ShowCounter busy(widget<QWidget>("FRespera"));
    load(QString());
    checkState(pc, QStringLiteral("BGA, Emulador Pc"), true, false);
    QCOMPARE(busy.shows, 0);
    QCOMPARE(Module1::RutaArchivo, pc);

    // The groups kept through the cancel still convert the file loaded before it.
    QTest::mouseClick(button("BTguarda0"), Qt::LeftButton);
    QCOMPARE(readFile(pc), kArcade);
    checkState(pc, QStringLiteral("BGA, Arcade"), false, true);
}

void TestForm1::closingTheChooserAfterAcceptReloadsTheSameFile()
{
    const QString arcade = writeFile(QStringLiteral("a.dat"), kArcade);
    load(arcade);
    QFile::remove(arcade);
    writeFile(QStringLiteral("a.dat"), kPcEmulator);
    mCloseBox = true;
    QTest::mouseClick(button("BTcarga"), Qt::LeftButton);
    checkState(arcade, QStringLiteral("BGA, Emulador Pc"), true, false);
}

void TestForm1::failedLoadLeavesNothingToConvert()
{
    const QString arcade = writeFile(QStringLiteral("a.dat"), kArcade);
    const QString missing = vuelco::forms::fromFilesystemPath(*mFolder / "falta.dat");
    load(arcade);
    load(missing);

    checkState(missing, QStringLiteral("Otro. Desconocido"), false, false);
    QCOMPARE(mBoxes->shown(), (QList<Box>{kNotFound}));
    QVERIFY(!QFileInfo::exists(missing));

    QSignalSpy clicks(button("BTguarda1"), &QPushButton::clicked);
    QTest::mouseClick(button("BTguarda1"), Qt::LeftButton);
    QCOMPARE(clicks.count(), 0);
    mWindow->BTguarda_Click(1);
    QCOMPARE(mBoxes->shown(), (QList<Box>{kNotFound, kChooseFirst}));
    QVERIFY(!QFileInfo::exists(missing));
    QCOMPARE(readFile(arcade), kArcade);

    // A folder fails the same way, with its own number.
    const QString folder = vuelco::forms::fromFilesystemPath(mFolder->path());
    load(folder);
    QCOMPARE(mBoxes->shown(),
             (QList<Box>{kNotFound, kChooseFirst, failureBox(52, "No se puede abrir: es una carpeta")}));
    checkState(folder, QStringLiteral("Otro. Desconocido"), false, false);
}

void TestForm1::pathOfBlanksCountsAsNoFile()
{
    load(QStringLiteral("   "));
    QCOMPARE(mBoxes->shown().size(), 1);
    QCOMPARE(mBoxes->shown().first().title, QStringLiteral("Algo mal..."));
    checkState(QStringLiteral("   "), QStringLiteral("Otro. Desconocido"), false, false);

    mWindow->BTguarda_Click(0);
    QCOMPARE(mBoxes->shown().size(), 2);
    QCOMPARE(mBoxes->shown().last(), kChooseFirst);

    // A remembered path of blanks starts the next request in the program's folder again.
    load(QString());
    QCOMPARE(mStartPaths.last(), QDir::toNativeSeparators(QCoreApplication::applicationDirPath()) + QDir::separator());
}

void TestForm1::convertsEachWayAndBack_data()
{
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<int>("first");

    QTest::newRow("arcade to pc and back") << kArcade << kPcEmulator << 1;
    QTest::newRow("pc to arcade and back") << kPcEmulator << kArcade << 0;
    QTest::newRow("extreme groups") << kArcadeOddGroups << kPcOddGroups << 1;
}

void TestForm1::convertsEachWayAndBack()
{
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(int, first);
        const QString path = writeFile(QStringLiteral("nivel.dat"), from + kBody);
    const QString captions[2] = {QStringLiteral("BGA, Arcade"), QStringLiteral("BGA, Emulador Pc")};
    const char *names[2] = {"BTguarda0", "BTguarda1"};
    load(path);
    checkState(path, captions[1 - first], first == 0, first == 1);

    ShowCounter busy(widget<QWidget>("FRespera"));
    for (int index : {first, 1 - first}) {
        mBoxes->clear();
        const QByteArray expected = (index == first ? to : from) + kBody;
        const QString tipoBefore = widget<QLabel>("LTipo")->text();
        // While "Finalizado" is open the header is already on disk, the busy frame is
        // gone and the window still shows the old layout.
        QByteArray onDiskDuringDone;
        QString tipoDuringDone;
        bool busyHiddenDuringDone = false;
        mBoxes->whileShowing([&] {
            mBoxes->whileShowing([&] {
                onDiskDuringDone = readFile(path);
                tipoDuringDone = widget<QLabel>("LTipo")->text();
                busyHiddenDuringDone = widget<QGroupBox>("FRespera")->isHidden();
            });
        });
        QTest::mouseClick(button(names[index]), Qt::LeftButton);
        QCOMPARE(onDiskDuringDone, expected);
        QCOMPARE(tipoDuringDone, tipoBefore);
        QVERIFY(busyHiddenDuringDone);
        QCOMPARE(mBoxes->shown(), (QList<Box>{kConfirm, kFinished}));
        QCOMPARE(readFile(path), expected);
        QCOMPARE(QFileInfo(path).size(), from.size() + kBody.size());
        checkState(path, captions[index], index == 1, index == 0);
    }
    QCOMPARE(busy.shows, 2);
}

void TestForm1::answeringNoChangesNothing()
{
    const QString path = writeFile(QStringLiteral("a.dat"), kArcade + kBody);
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(file.setFileTime(QDateTime(QDate(2003, 5, 18), QTime(12, 0)), QFileDevice::FileModificationTime));
    }
    const QDateTime modified = QFileInfo(path).lastModified();
    load(path);
    ShowCounter busy(widget<QWidget>("FRespera"));
    mBoxes->answer({MsgBoxResult::No});
    QTest::mouseClick(button("BTguarda1"), Qt::LeftButton);

    QCOMPARE(mBoxes->shown(), (QList<Box>{kConfirm}));
    QCOMPARE(busy.shows, 0);
    QCOMPARE(readFile(path), kArcade + kBody);
    QCOMPARE(QFileInfo(path).lastModified(), modified);
    checkState(path, QStringLiteral("BGA, Arcade"), false, true);
}

void TestForm1::readOnlyFileIsRefused()
{
    const QString path = writeFile(QStringLiteral("a.dat"), kArcade);
    load(path);
    QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    QTest::mouseClick(button("BTguarda1"), Qt::LeftButton);

    QCOMPARE(mBoxes->shown(), (QList<Box>{kConfirm, stopBox("No se puede escribir en el archivo.",
                                                             "Verificar si tiene activado el 'Solo Lectura'", 16)}));
    QCOMPARE(readFile(path), kArcade);
    checkState(path, QStringLiteral("BGA, Arcade"), false, true);
}

void TestForm1::fileChangedSinceLoadIsLeftAlone_data()
{
    QTest::addColumn<QByteArray>("changed");

    QTest::newRow("a group byte") << with(kArcade, 9, 0x99) + kBody;
    QTest::newRow("converted meanwhile") << kPcEmulator + kBody;
    QTest::newRow("cut short") << kArcade.left(10);
    QTest::newRow("emptied") << QByteArray();
}

void TestForm1::fileChangedSinceLoadIsLeftAlone()
{
    QFETCH(QByteArray, changed);
    const QString path = writeFile(QStringLiteral("a.dat"), kArcade + kBody);
    load(path);
    writeFile(QStringLiteral("a.dat"), changed);
    ShowCounter busy(widget<QWidget>("FRespera"));
    QTest::mouseClick(button("BTguarda1"), Qt::LeftButton);

    QCOMPARE(mBoxes->shown(), (QList<Box>{kConfirm, stopBox("El archivo cambió desde que se cargó.",
                                                             "Vuelva a cargarlo antes de convertir.", 48)}));
    QCOMPARE(busy.shows, 1);
    QCOMPARE(readFile(path), changed);
    checkState(path, QStringLiteral("BGA, Arcade"), false, true);
}

void TestForm1::vanishedFileIsNotCreated()
{
    const QString path = writeFile(QStringLiteral("a.dat"), kArcade);
    load(path);
    QVERIFY(QFile::remove(path));
    QTest::mouseClick(button("BTguarda1"), Qt::LeftButton);

    QCOMPARE(mBoxes->shown(), (QList<Box>{kConfirm, kNotFound}));
    QVERIFY(!QFileInfo::exists(path));
    checkState(path, QStringLiteral("BGA, Arcade"), false, true);
}

void TestForm1::clickDuringTheYieldDoesNothing_data()
{
    QTest::addColumn<bool>("duringConvert");
    QTest::addColumn<QByteArray>("loaded");
    QTest::addColumn<QString>("clicked");

    QTest::newRow("load, BTcarga") << false << kArcade << "BTcarga";
    QTest::newRow("load, BTguarda0") << false << kPcEmulator << "BTguarda0";
    QTest::newRow("load, BTguarda1") << false << kArcade << "BTguarda1";
    QTest::newRow("convert, BTcarga") << true << kArcade << "BTcarga";
    QTest::newRow("convert, BTguarda0") << true << kPcEmulator << "BTguarda0";
    QTest::newRow("convert, BTguarda1") << true << kArcade << "BTguarda1";
}

void TestForm1::clickDuringTheYieldDoesNothing()
{
    QFETCH(bool, duringConvert);
    QFETCH(QByteArray, loaded);
    QFETCH(QString, clicked);

    const QString path = writeFile(QStringLiteral("a.dat"), loaded);
    load(path);
    auto *target = mWindow->findChild<QPushButton *>(clicked);
    QVERIFY(target->isEnabled());
    QSignalSpy clicks(target, &QPushButton::clicked);
    // Queued now, delivered by the first yield to pending events: the one after the
    // busy frame is shown.
    const auto queueClick = [target] { QMetaObject::invokeMethod(target, &QAbstractButton::click, Qt::QueuedConnection); };
    const qsizetype requests = mStartPaths.size();

    if (duringConvert) {
        mBoxes->whileShowing([&] { queueClick(); });
        QPushButton *convert = button(loaded == kArcade ? "BTguarda1" : "BTguarda0");
        QTest::mouseClick(convert, Qt::LeftButton);
        QCOMPARE(clicks.count(), convert == target ? 2 : 1);
        QCOMPARE(mStartPaths.size(), requests);
        QCOMPARE(mBoxes->shown(), (QList<Box>{kConfirm, kFinished}));
        QCOMPARE(readFile(path), loaded == kArcade ? kPcEmulator : kArcade);
    } else {
        mDuringChooser = queueClick;
        load(path);
        QCOMPARE(clicks.count(), target == button("BTcarga") ? 2 : 1);
        QCOMPARE(mStartPaths.size(), requests + 1);
        QCOMPARE(mBoxes->shown(), QList<Box>{});
        QCOMPARE(readFile(path), loaded);
    }
}

void TestForm1::aGivenFileLoadsOnceTheWindowIsUp_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("tipo");
    QTest::addColumn<int>("boxes");
    QTest::newRow("a BGA file") << "sub/../a.dat" << "BGA, Arcade" << 0;
    QTest::newRow("a file not there") << "falta.dat" << "Otro. Desconocido" << 1;
}

void TestForm1::aGivenFileLoadsOnceTheWindowIsUp()
{
    QFETCH(QString, name);
    QFETCH(QString, tipo);
    QFETCH(int, boxes);
    const QString folder = vuelco::forms::fromFilesystemPath(mFolder->path());
    writeFile(QStringLiteral("a.dat"), kArcade);
    QDir::setCurrent(folder);
    vuelco::openGivenFiles(*mWindow, {QString(), name});
    QCOMPARE(widget<QLabel>("LRuta")->text(), QString());

    QTRY_COMPARE(widget<QLabel>("LTipo")->text(), tipo);
    const QString path = vuelco::forms::joinPath(folder, name.section('/', -1));
    checkState(path, tipo, false, boxes == 0);
    QCOMPARE(mBoxes->shown().size(), boxes);
    load(QString());
    QCOMPARE(mStartPaths, QStringList{path});
}

void TestForm1::dropsOpenLocalFilesWhenNotBusy_data()
{
    QTest::addColumn<QStringList>("dropped");
    QTest::addColumn<bool>("busy");
    QTest::addColumn<QString>("loaded");
    QTest::addColumn<QStringList>("collection");
    QTest::newRow("one file") << QStringList{"a.dat"} << false << "a.dat" << QStringList{};
    QTest::newRow("two files") << QStringList{"a.dat", "b.dat"} << false << "" << QStringList{"a.dat", "b.dat"};
    QTest::newRow("a folder") << QStringList{""} << false << "" << QStringList{""};
    QTest::newRow("a batch's record") << QStringList{"r.txt"} << false << "" << QStringList{"r.txt"};
    QTest::newRow("a web address too") << QStringList{"a.dat", "https://example.org/b.dat"} << false << ""
                                       << QStringList{};
    QTest::newRow("while busy") << QStringList{"a.dat"} << true << "" << QStringList{};
}

void TestForm1::dropsOpenLocalFilesWhenNotBusy()
{
    QFETCH(QStringList, dropped);
    QFETCH(bool, busy);
    QFETCH(QString, loaded);
    QFETCH(QStringList, collection);
    const auto path = [this](const QString &name) {
        if (name.isEmpty())
            return vuelco::forms::fromFilesystemPath(mFolder->path());
        return writeFile(name, name.endsWith(".txt") ? QByteArray(R"({"resumen":{},"registro":1})") : kArcade);
    };
    QStringList collected;
    mWindow->setCollectionOpener([&collected](QWidget *, const QStringList &paths) {
        collected = paths;
        return false;
    });
    QList<QUrl> urls;
    for (const QString &name : dropped)
        urls.append(name.contains(':') ? QUrl(name) : QUrl::fromLocalFile(path(name)));
    QMimeData data;
    data.setUrls(urls);
    widget<QWidget>("FRespera")->setVisible(busy);

    QDragEnterEvent enter({10, 10}, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    QDropEvent drop({10, 10}, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
    drop.setDropAction(Qt::MoveAction);  // what a file manager proposes with Shift held
    QApplication::sendEvent(mWindow.get(), &enter);
    QApplication::sendEvent(mWindow.get(), &drop);
    QCoreApplication::processEvents();
    const bool taken = !loaded.isEmpty() || !collection.isEmpty();
    QCOMPARE(enter.isAccepted() && drop.isAccepted(), taken);
    QCOMPARE(drop.dropAction(), taken ? Qt::CopyAction : Qt::MoveAction);
    QCOMPARE(widget<QLabel>("LRuta")->text(), loaded.isEmpty() ? QString() : path(loaded));
    for (QString &name : collection)
        name = path(name);
    QCOMPARE(collected, collection);
}

void TestForm1::aCollectionRunThatConvertedReloadsTheFile_data()
{
    QTest::addColumn<QByteArray>("after");  // the loaded file once the run is over; empty: gone
    QTest::newRow("converted by the run") << kArcade;
    QTest::newRow("removed meanwhile") << QByteArray();
}

// The collection window may rewrite the file the main window has loaded: the main window
// must then show it as it now is, not the layout it had.
void TestForm1::aCollectionRunThatConvertedReloadsTheFile()
{
    QFETCH(QByteArray, after);
    const QString pc = writeFile(QStringLiteral("pc.dat"), kPcEmulator);
    load(pc);
    mWindow->setCollectionOpener([&](QWidget *, const QStringList &) {
        if (after.isEmpty())
            QFile::remove(pc);
        else
            writeFile(QStringLiteral("pc.dat"), after);
        return true;
    });
    mWindow->openFiles({vuelco::forms::fromFilesystemPath(mFolder->path())});
    if (after.isEmpty())
        checkState(QString(), QString(), false, false);
    else
        checkState(pc, QStringLiteral("BGA, Arcade"), false, true);
}

void TestForm1::severalOrAFolderOpenTheCollectionWindow()
{
    writeFile(QStringLiteral("a.dat"), kArcade);
    QWidget *owner = nullptr;
    // Closed once its look is over: before that, closing it only cancels the look.
    std::function<void()> closeWhenLooked = [&] {
        QWidget *modal = QApplication::activeModalWidget();
        auto *close = modal != nullptr ? modal->findChild<QPushButton *>(QStringLiteral("BTcerrar")) : nullptr;
        if (close == nullptr || !close->isEnabled())
            return QTimer::singleShot(10, closeWhenLooked);
        owner = modal->parentWidget();
        close->click();
    };
    QTimer::singleShot(0, closeWhenLooked);
    mWindow->openFiles({vuelco::forms::fromFilesystemPath(mFolder->path())});
    QCOMPARE(owner, mWindow.get());
    checkState(QString(), QString(), false, false);

    // Read by screen readers as a window, its controls in the order they are seen, "..." by
    // what it does.
    const QAccessibleInterface *window = QAccessible::queryAccessibleInterface(mWindow.get());
    QStringList read;
    for (int i = 0; i < window->childCount(); ++i) {
        if (!window->child(i)->state().invisible)
            read.append(window->child(i)->object()->objectName());
    }
    QCOMPARE(read, QStringList({"Label2", "LRuta", "BTcarga", "Label1", "LTipo", "FRconv", "Label3", "Label4",
                                "Picture1"}));
    QCOMPARE(window->role(), QAccessible::Window);
    QCOMPARE(window->text(QAccessible::Name), mWindow->windowTitle());
    QCOMPARE(QAccessible::queryAccessibleInterface(button("BTcarga"))->text(QAccessible::Name),
             QStringLiteral("Elegir archivo"));
}

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
