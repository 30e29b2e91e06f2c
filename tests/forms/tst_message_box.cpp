#include "forms/message_box.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QtTest>
#include <memory>

using vuelco::forms::createMessageBox;
using vuelco::forms::MsgBoxResult;

namespace {

QStringList buttonTexts(const QMessageBox &box)
{
    QStringList texts;
    for (QAbstractButton *button : box.buttons())
        texts.append(button->text().remove(QLatin1Char('&')));
    texts.sort();
    return texts;
}

} // namespace

class TestMessageBox : public QObject {
    Q_OBJECT

private slots:
    void mapsTheStyleOntoTheQtBox_data();
    void mapsTheStyleOntoTheQtBox();
    void breaksLinesAtCarriageReturnAndLineFeed();
    void isWideEnoughForItsTitle();
    void opensCentredOverTheProgramsWindowAsAnAlert();
};

void TestMessageBox::mapsTheStyleOntoTheQtBox_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<QStringList>("buttons");
    QTest::addColumn<int>("icon");
    QTest::addColumn<QString>("defaultText");
    QTest::addColumn<int>("escapeAnswer");
    QTest::addColumn<int>("defaultAnswer");
    const int none = QMessageBox::NoIcon;
    QTest::newRow("generic error (0)") << 0 << QStringList{"Aceptar"} << none << "Aceptar" << 1 << 1;
    QTest::newRow("information (64)") << 64 << QStringList{"Aceptar"} << int(QMessageBox::Information) << "Aceptar"
                                      << 1 << 1;
    QTest::newRow("stop (16)") << 16 << QStringList{"Aceptar"} << int(QMessageBox::Critical) << "Aceptar" << 1 << 1;
    QTest::newRow("exclamation (48)") << 48 << QStringList{"Aceptar"} << int(QMessageBox::Warning) << "Aceptar" << 1
                                      << 1;
    QTest::newRow("drive question (49)") << 49 << QStringList{"Aceptar", "Cancelar"} << int(QMessageBox::Warning)
                                         << "Aceptar" << 2 << 1;
    QTest::newRow("yes/no (4)") << 4 << QStringList{"No", "Sí"} << none << "Sí" << 7 << 6;
    QTest::newRow("confirmation, No default (260)") << 260 << QStringList{"No", "Sí"} << none << "No" << 7 << 7;
}

void TestMessageBox::mapsTheStyleOntoTheQtBox()
{
    QFETCH(int, style);
    QFETCH(QStringList, buttons);
    QFETCH(int, icon);
    QFETCH(QString, defaultText);
    QFETCH(int, escapeAnswer);
    QFETCH(int, defaultAnswer);
    const std::unique_ptr<QMessageBox> box(createMessageBox(QStringLiteral("texto"), style, QStringLiteral("Título")));

    QCOMPARE(box->windowTitle(), QStringLiteral("Título"));
    QCOMPARE(buttonTexts(*box), buttons);
    QCOMPARE(int(box->icon()), icon);
    QVERIFY(box->defaultButton() != nullptr);
    QCOMPARE(box->defaultButton()->text().remove(QLatin1Char('&')), defaultText);

    // Escape and the close box go through the escape button.
    QVERIFY(box->escapeButton() != nullptr);
    QCOMPARE(int(vuelco::forms::answerOf(*box)), escapeAnswer);

    // The default button's first letter, pressed alone, answers with it: its access key.
    box->show();
    QTest::keyClick(box.get(), Qt::Key(defaultText.at(0).unicode()));
    QTRY_VERIFY(box->isHidden());
    QCOMPARE(int(vuelco::forms::answerOf(*box)), defaultAnswer);
}

void TestMessageBox::breaksLinesAtCarriageReturnAndLineFeed()
{
    const QString prompt = QStringLiteral("Error #  53") + QChar(13) + QStringLiteral("No se encontró") + QChar(10) +
                           QStringLiteral("fin");
    const std::unique_ptr<QMessageBox> box(createMessageBox(prompt, 0, QStringLiteral("Algo mal...")));
    QCOMPARE(box->text(), QStringLiteral("Error #  53\nNo se encontró\nfin"));
    QCOMPARE(box->textFormat(), Qt::PlainText);
}

// A short prompt must not make a box too narrow for its title beside a title bar's icon
// and buttons.
void TestMessageBox::isWideEnoughForItsTitle()
{
    const QString title = QStringLiteral("Un título bastante más largo que el texto");
    const std::unique_ptr<QMessageBox> box(createMessageBox(QStringLiteral("Fin"), 0, title));
    box->show();
    const int bar = box->style()->pixelMetric(QStyle::PM_TitleBarHeight);
    QVERIFY(box->width() >= QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(title) + 4 * bar);
}

void TestMessageBox::opensCentredOverTheProgramsWindowAsAnAlert()
{
    QWidget window;
    window.setGeometry(20, 40, 200, 120);  // far from the middle of the screen
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QApplication::setActiveWindow(nullptr);  // the user went to another program meanwhile
    QPoint offset;
    QString read;  // as a screen reader reads it: an alert and its text
    QTimer::singleShot(0, [&] {
        QWidget *box = QApplication::activeModalWidget();
        offset = box->geometry().center() - window.geometry().center();
        if (const QAccessibleInterface *alert = QAccessible::queryAccessibleInterface(box); alert->role() == QAccessible::AlertMessage)
            read = alert->text(QAccessible::Value);
        box->close();
    });
    vuelco::forms::MsgBox(QStringLiteral("Finalizado"), 64, QStringLiteral("Convertir"));
    QCOMPARE(read, QStringLiteral("Finalizado"));
    QVERIFY2(offset.manhattanLength() < 40, qPrintable(QStringLiteral("%1, %2").arg(offset.x()).arg(offset.y())));
}

QTEST_MAIN(TestMessageBox)
#include "tst_message_box.moc"
