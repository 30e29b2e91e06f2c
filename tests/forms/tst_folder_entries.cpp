// What the folder and file lists are made of: one read of a folder's entries, their order
// without regard to case, and the file patterns.
#include "forms/caseless_names.h"
#include "forms/folder_entries.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using vuelco::forms::folderEntries;

class TestFolderEntries : public QObject {
    Q_OBJECT

private slots:
    void linksCountAsWhatTheyLeadTo();
    void aSharedReadEndsWithItsScope();
    void sortsAsACaselessCompareDoes();
    void patternsMatchWithoutRegardToCase_data();
    void patternsMatchWithoutRegardToCase();

private:
    QTemporaryDir mDir;
};

void TestFolderEntries::linksCountAsWhatTheyLeadTo()
{
#ifdef Q_OS_WIN
    QSKIP("QFile::link makes shortcuts on Windows, which are plain files");
#endif
    QDir(mDir.path()).mkpath(QStringLiteral("carpeta"));
    QFile(mDir.filePath(QStringLiteral("a.dat"))).open(QIODevice::WriteOnly);
    QFile::link(mDir.filePath(QStringLiteral("a.dat")), mDir.filePath(QStringLiteral("enlace.dat")));
    QFile::link(mDir.filePath(QStringLiteral("carpeta")), mDir.filePath(QStringLiteral("enlace")));
    QFile::link(mDir.filePath(QStringLiteral("no-existe")), mDir.filePath(QStringLiteral("roto.dat")));
    auto entries = vuelco::forms::readFolderEntries(mDir.path());
    entries.files.sort();
    entries.folders.sort();
    QCOMPARE(entries.files, (QStringList{"a.dat", "enlace.dat"}));
    QCOMPARE(entries.folders, (QStringList{"carpeta", "enlace"}));
}

void TestFolderEntries::aSharedReadEndsWithItsScope()
{
    const QString added = QStringLiteral("nuevo.dat");
    {
        const vuelco::forms::SharedFolderRead read(mDir.path());
        QFile(mDir.filePath(added)).open(QIODevice::WriteOnly);
        QVERIFY(!folderEntries(mDir.path()).files.contains(added));
    }
    QVERIFY(folderEntries(mDir.path()).files.contains(added));
}

void TestFolderEntries::sortsAsACaselessCompareDoes()
{
    QStringList names{"b.dat", "A.dat", "a.dat", "Año.dat", "ano.dat", "ÁRBOL.dat", "zeta.dat", "Straße.dat",
                      "STRASSE.dat", "Σίσυφος.dat", "σίσυφος.dat", "_x.dat", "10.dat", "9.dat", "𐐀.dat", "𐐨.dat"};
    vuelco::forms::sortWithoutCase(names);
    for (qsizetype i = 1; i < names.size(); ++i)
        QVERIFY2(QString::compare(names[i - 1], names[i], Qt::CaseInsensitive) <= 0, qPrintable(names.join(u' ')));
    QVERIFY(names.indexOf(QStringLiteral("A.dat")) < names.indexOf(QStringLiteral("a.dat")));
}

void TestFolderEntries::patternsMatchWithoutRegardToCase_data()
{
    QTest::addColumn<QString>("patterns");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("matches");
    QTest::newRow("the extension in capitals") << "*.dat" << "NIVEL1.DAT" << true;
    QTest::newRow("an extension after it") << "*.dat" << "nivel1.dat.bak" << false;
    QTest::newRow("the second pattern") << "*.txt;*.DAT" << "x.Dat" << true;
    QTest::newRow("a star that must retry") << "a*b*c" << "aXbYbZc" << true;
    QTest::newRow("one character") << "?.dat" << "ab.dat" << false;
    QTest::newRow("a dot required") << "*.*" << "sinpunto" << false;
    QTest::newRow("an accent in either case") << "ÁRBOL.*" << "árbol.dat" << true;
}

void TestFolderEntries::patternsMatchWithoutRegardToCase()
{
    QFETCH(QString, patterns);
    QFETCH(QString, name);
    QFETCH(bool, matches);
    QCOMPARE(vuelco::forms::CaselessWildcards(patterns).matches(name), matches);
}

QTEST_MAIN(TestFolderEntries)
#include "tst_folder_entries.moc"
