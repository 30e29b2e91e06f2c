#include "fake_volumes.h"
#include "file_chooser/fdisco.h"
#include "file_chooser/module1.h"
#include "forms/drawing_surface.h"
#include "forms/native_paths.h"
#include "runtime/failure.h"
#include "scripted_message_boxes.h"
#include "temp_folder.h"

#include <QtTest>

using vuelco::Failure;
using vuelco::Fdisco;
namespace Module1 = vuelco::Module1;

namespace {

// Records every box drawn instead of drawing it.
class RecordingSurface final : public vuelco::forms::DrawingSurface {
public:
    struct Box {
        float x1, y1, x2, y2;
        QColor colour;
    };

    RecordingSurface(float width, float height) : mWidth(width), mHeight(height) {}

    [[nodiscard]] float ScaleWidth() const override { return mWidth; }
    [[nodiscard]] float ScaleHeight() const override { return mHeight; }
    void fillBox(float x1, float y1, float x2, float y2, const QColor &colour) override
    {
        boxes.append({x1, y1, x2, y2, colour});
    }

    QList<Box> boxes;

private:
    float mWidth;
    float mHeight;
};

} // namespace

class TestModule1 : public QObject {
    Q_OBJECT

private slots:
    void nombreArchivoTakesTheTextAfterTheLastSeparator_data();
    void nombreArchivoTakesTheTextAfterTheLastSeparator();

    void degradadoPaintsStripsFrom255To100_data();
    void degradadoPaintsStripsFrom255To100();
    void degradadoPaintsTheChannelOfItsMode_data();
    void degradadoPaintsTheChannelOfItsMode();
    void degradadoFailsLikeTheRuntimeAtItsBounds();
    void theChooserIsPaintedRedFromEdgeToEdge();
};

void TestModule1::nombreArchivoTakesTheTextAfterTheLastSeparator_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("name");
    const QString s = QDir::separator();
    QTest::newRow("full path") << s + "datos" + s + "Juego.dat" << "Juego.dat";
    QTest::newRow("name alone") << "Juego.dat" << "Juego.dat";
    QTest::newRow("folder with separator") << s + "datos" + s << "";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("accents and spaces") << s + "Música" + s + "Año 1.dat" << "Año 1.dat";
}

void TestModule1::nombreArchivoTakesTheTextAfterTheLastSeparator()
{
    QFETCH(QString, path);
    QFETCH(QString, name);
    QCOMPARE(Module1::NombreArchivo(path), name);
}

void TestModule1::degradadoPaintsStripsFrom255To100_data()
{
    QTest::addColumn<float>("width");
    QTest::addColumn<int>("strips");
    QTest::addColumn<int>("last");
    QTest::newRow("the chooser's width") << 6840.0f << 3421 << 100;
    QTest::newRow("456") << 456.0f << 229 << 100;
    QTest::newRow("3") << 3.0f << 2 << 152;
    QTest::newRow("2") << 2.0f << 2 << 100;
    QTest::newRow("1") << 1.0f << 1 << 255;
    QTest::newRow("6840.5 rounds to even") << 6840.5f << 3421 << 100;
}

void TestModule1::degradadoPaintsStripsFrom255To100()
{
    QFETCH(float, width);
    QFETCH(int, strips);
    QFETCH(int, last);
    RecordingSurface surface(width, 3360);
    Module1::Degradado(2, surface);

    QCOMPARE(surface.boxes.size(), strips);
    QCOMPARE(surface.boxes.first().colour, QColor(255, 0, 0));
    QCOMPARE(surface.boxes.last().colour.red(), last);
    int previous = 256;
    for (int i = 0; i < surface.boxes.size(); ++i) {
        const RecordingSurface::Box &box = surface.boxes[i];
        QCOMPARE(box.x1, float(2 * i - 1));
        QCOMPARE(box.x2, float(2 * i + 2));
        QCOMPARE(box.y1, -1.0f);
        QCOMPARE(box.y2, 3360.0f);
        QVERIFY(box.colour.red() <= previous && box.colour.red() >= 100);
        QCOMPARE(box.colour.green() + box.colour.blue(), 0);
        previous = box.colour.red();
    }
}

void TestModule1::degradadoPaintsTheChannelOfItsMode_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("strips");
    QTest::addColumn<QColor>("first");
    QTest::newRow("blue") << 0 << 3421 << QColor(0, 0, 255);
    QTest::newRow("green") << 1 << 3421 << QColor(0, 255, 0);
    QTest::newRow("red") << 2 << 3421 << QColor(255, 0, 0);
    QTest::newRow("none") << 3 << 0 << QColor();
    QTest::newRow("255") << 255 << 0 << QColor();
}

void TestModule1::degradadoPaintsTheChannelOfItsMode()
{
    QFETCH(int, mode);
    QFETCH(int, strips);
    QFETCH(QColor, first);
    RecordingSurface surface(6840, 3360);
    Module1::Degradado(static_cast<std::uint8_t>(mode), surface);
    QCOMPARE(surface.boxes.size(), strips);
    if (strips > 0)
        QCOMPARE(surface.boxes.first().colour, first);
}

void TestModule1::degradadoFailsLikeTheRuntimeAtItsBounds()
{
    RecordingSurface negative(-5, 100);
    Module1::Degradado(2, negative);
    QVERIFY(negative.boxes.isEmpty());

    RecordingSurface flat(10, 0);
    Module1::Degradado(2, flat);
    QCOMPARE(flat.boxes.size(), 6);
    QCOMPARE(flat.boxes.first().y2, 0.0f);

    RecordingSurface zero(0, 100);
    QCOMPARE(thrownBy([&] { Module1::Degradado(2, zero); }), Thrown(11, "División por cero", {}));
    QVERIFY(zero.boxes.isEmpty());

    // The strip at x = 32,766 would end at 32,768, past 16 bits: the ones before stay drawn.
    RecordingSurface wide(32766, 100);
    QCOMPARE(thrownBy([&] { Module1::Degradado(2, wide); }).number, 6);
    QCOMPARE(wide.boxes.size(), 16383);

    RecordingSurface tall(100, 40000);
    QVERIFY_THROWS_EXCEPTION(Failure, Module1::Degradado(2, tall));
}

void TestModule1::theChooserIsPaintedRedFromEdgeToEdge()
{
    const TempFolder folder;
    FakeVolumes volumes;
    ScriptedMessageBoxes boxes;
    Module1::RutaArchivo = vuelco::forms::joinPath(vuelco::forms::fromFilesystemPath(folder.path()), {});
    Module1::Opcion = {0, 0};
    Fdisco dialog;
    const auto *surface = dialog.findChild<vuelco::forms::PersistentSurface *>();
    QVERIFY(surface != nullptr);
    const QImage &picture = surface->picture();

    QCOMPARE(picture.size(), QSize(456, 224));
    const QColor left = picture.pixelColor(0, 100);
    const QColor right = picture.pixelColor(picture.width() - 1, 100);
    QCOMPARE(left, QColor(255, 0, 0));
    QVERIFY2(qAbs(right.red() - 100) <= 1, qPrintable(QString::number(right.red())));
    QCOMPARE(right.green() + right.blue(), 0);
    QCOMPARE(picture.pixelColor(200, 0), picture.pixelColor(200, picture.height() - 1));
    QVERIFY(boxes.shown().isEmpty());
}

QTEST_MAIN(TestModule1)
#include "tst_module1.moc"
