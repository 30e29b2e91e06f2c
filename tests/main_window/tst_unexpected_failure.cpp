#include "main_window/unexpected_failure.h"

#include <QTest>
#include <filesystem>
#include <functional>
#include <new>
#include <stdexcept>

using Thrower = std::function<void()>;
Q_DECLARE_METATYPE(Thrower)

class TestUnexpectedFailure : public QObject {
    Q_OBJECT

private slots:
    void everyExceptionBecomesAFailure_data()
    {
        QTest::addColumn<Thrower>("thrower");
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("description");

        QTest::newRow("failure kept") << Thrower([] { throw vuelco::Failure(vuelco::FailureNumber::ReadOnly, "Solo lectura"); })
                                      << 75 << "Solo lectura";
        QTest::newRow("out of memory") << Thrower([] { throw std::bad_alloc(); }) << 7 << "Memoria insuficiente";
        QTest::newRow("library error") << Thrower([] { throw std::length_error("demasiado"); }) << 51
                                       << "Error interno: demasiado";
        QTest::newRow("filesystem error")
            << Thrower([] { throw std::filesystem::filesystem_error("ruta", std::make_error_code(std::errc::io_error)); })
            << 51 << "";
        QTest::newRow("anything else") << Thrower([] { throw 42; }) << 51 << "Error interno";
    }

    void everyExceptionBecomesAFailure()
    {
        QFETCH(Thrower, thrower);
        QFETCH(int, number);
        QFETCH(QString, description);
        try {
            thrower();
            QFAIL("nothing was thrown");
        } catch (...) {
            const vuelco::Failure failure = vuelco::currentFailure();
            QCOMPARE(failure.number(), number);
            const QString shown = QString::fromStdString(failure.description());
            if (description.isEmpty())
                QVERIFY(shown.startsWith(QStringLiteral("Error interno: ")) && shown.size() > 15);
            else
                QCOMPARE(shown, description);
        }
    }
};

QTEST_GUILESS_MAIN(TestUnexpectedFailure)
#include "tst_unexpected_failure.moc"
