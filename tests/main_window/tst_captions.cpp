#include "fake_volumes.h"
#include "file_chooser/fdisco.h"
#include "file_chooser/module1.h"
#include "forms/caption_fit.h"
#include "forms/native_paths.h"
#include "main_window/form1.h"
#include "scripted_message_boxes.h"
#include "temp_folder.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QLabel>
#include <QtTest>
#include <memory>

using vuelco::Fdisco;
using vuelco::Form1;
namespace Module1 = vuelco::Module1;

// Every caption of both windows, in the face the program resolves for its design face,
// fits the room its box leaves it on one line.
class TestCaptions : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void everyCaptionFitsItsBox_data();
    void everyCaptionFitsItsBox();

private:
    std::unique_ptr<TempFolder> mFolder;
    std::unique_ptr<FakeVolumes> mVolumes;
    std::unique_ptr<ScriptedMessageBoxes> mBoxes;
    std::unique_ptr<Form1> mForm1;
    std::unique_ptr<Fdisco> mFdisco;
};

void TestCaptions::initTestCase()
{
    mFolder = std::make_unique<TempFolder>();
    mVolumes = std::make_unique<FakeVolumes>();
    mBoxes = std::make_unique<ScriptedMessageBoxes>();
    mForm1 = std::make_unique<Form1>();
    Module1::RutaArchivo = vuelco::forms::joinPath(vuelco::forms::fromFilesystemPath(mFolder->path()), QString());
    Module1::Opcion = {0, 0};
    mFdisco = std::make_unique<Fdisco>();
    mForm1->show();
    mFdisco->show();
}

void TestCaptions::cleanupTestCase()
{
    mFdisco.reset();
    mForm1.reset();
}

void TestCaptions::everyCaptionFitsItsBox_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("caption");   // set first when the control shows changing captions
    QTest::addColumn<QString>("face");

    // The faces that stand for the design's MS Sans Serif and Times New Roman.
#ifdef Q_OS_WIN
    const QString sans = QStringLiteral("Microsoft Sans Serif");
    const QString serif = QStringLiteral("Times New Roman");
#else
    const QString sans = QStringLiteral("Liberation Sans");
    const QString serif = QStringLiteral("Liberation Serif");
#endif
    QTest::newRow("Label2") << "Form1" << "Label2" << "" << serif;
    QTest::newRow("Label1") << "Form1" << "Label1" << "" << sans;
    QTest::newRow("LTipo arcade") << "Form1" << "LTipo" << "BGA, Arcade" << sans;
    QTest::newRow("LTipo emulator") << "Form1" << "LTipo" << "BGA, Emulador Pc" << sans;
    QTest::newRow("LTipo unknown") << "Form1" << "LTipo" << "Otro. Desconocido" << sans;
    QTest::newRow("Label4") << "Form1" << "Label4" << "" << sans;
    QTest::newRow("BTcarga") << "Form1" << "BTcarga" << "" << serif;
    QTest::newRow("FRconv") << "Form1" << "FRconv" << "" << sans;
    QTest::newRow("BTguarda0") << "Form1" << "BTguarda0" << "" << sans;
    QTest::newRow("BTguarda1") << "Form1" << "BTguarda1" << "" << sans;
    QTest::newRow("CHwa") << "Form1" << "CHwa" << "" << serif;
    QTest::newRow("BTacepta") << "Fdisco" << "BTacepta" << "" << sans;
    QTest::newRow("BTcancela") << "Fdisco" << "BTcancela" << "" << sans;
    QTest::newRow("Fdisco Label1") << "Fdisco" << "Label1" << "" << sans;
}

void TestCaptions::everyCaptionFitsItsBox()
{
    QFETCH(QString, window);
    QFETCH(QString, control);
    QFETCH(QString, caption);
    QFETCH(QString, face);

    QWidget *form = window == QLatin1String("Form1") ? static_cast<QWidget *>(mForm1.get()) : mFdisco.get();
    auto *widget = form->findChild<QWidget *>(control);
    QVERIFY(widget != nullptr);
    if (!caption.isEmpty())
        qobject_cast<QLabel *>(widget)->setText(caption);
    const QString shown = vuelco::forms::captionOf(widget);
    QVERIFY(!shown.isEmpty());

    QCOMPARE(QFontInfo(widget->font()).family(), face);
    const double advance = QFontMetricsF(widget->font()).horizontalAdvance(shown);
    const double room = vuelco::forms::captionRoom(widget);
    QVERIFY2(advance <= room, qPrintable(QStringLiteral("%1 px in %2 px").arg(advance).arg(room)));
}

QTEST_MAIN(TestCaptions)
#include "tst_captions.moc"
