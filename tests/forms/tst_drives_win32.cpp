// The drive side of the forms runtime on Windows: drives shown by letter and label, the
// current folder Windows keeps for each drive, a drive that is not there, and the faces
// the design fonts resolve to.

#include "forms/dir_list_box.h"
#include "forms/drive_list_box.h"
#include "forms/fonts.h"
#include "forms/volumes.h"
#include "runtime/failure.h"

#include <QDir>
#include <QFontDatabase>
#include <QFontInfo>
#include <QHash>
#include <QTemporaryDir>
#include <QtTest>

#include "runtime/api_win32.h"

using vuelco::Failure;
using vuelco::forms::DirListBox;
using vuelco::forms::DriveListBox;

namespace {

// The system's drives with labels of the test's choosing.
class LabelledVolumes final : public vuelco::forms::Volumes {
public:
    explicit LabelledVolumes(QHash<QString, QString> labels) : mLabels(std::move(labels)), mScope(*this) {}

    [[nodiscard]] QStringList roots() const override { return mSystem.roots(); }
    [[nodiscard]] QString rootOf(const QString &path) const override { return mSystem.rootOf(path); }
    [[nodiscard]] bool isReady(const QString &root) const override { return mSystem.isReady(root); }
    [[nodiscard]] QString label(const QString &root) const override { return mLabels.value(root); }

private:
    vuelco::forms::SystemVolumes mSystem;
    QHash<QString, QString> mLabels;
    vuelco::forms::ScopedVolumes mScope;
};

// A drive letter Windows does not have.
QString missingDrive()
{
    const DWORD present = GetLogicalDrives();
    for (int letter = 'Z'; letter >= 'D'; --letter) {
        if ((present & (1u << (letter - 'A'))) == 0)
            return QString(QChar(letter)) + QStringLiteral(":");
    }
    return {};
}

} // namespace

class TestWindowsDrives : public QObject {
    Q_OBJECT

private slots:
    void drivesShowTheirLetterAndLabel();
    void aDriveShowsTheCurrentFolderWindowsKeepsForIt();
    void aDriveThatIsNotThereIsNotReady();
    void msSansSerifIsDrawnInTheFaceWindowsPutsInItsPlace();
};

void TestWindowsDrives::drivesShowTheirLetterAndLabel()
{
    const QString system = QDir::toNativeSeparators(QDir::rootPath());
    LabelledVolumes volumes({{system, QStringLiteral("SISTEMA")}});
    DriveListBox drives;
    drives.setDrive(system);
    QCOMPARE(drives.Drive(), system.left(2).toLower() + QStringLiteral(" [SISTEMA]"));
    for (int i = 0; i < drives.count(); ++i) {
        if (drives.itemData(i).toString() != system)
            QCOMPARE(drives.itemText(i), drives.itemData(i).toString().left(2).toLower());
    }
}

void TestWindowsDrives::aDriveShowsTheCurrentFolderWindowsKeepsForIt()
{
    QTemporaryDir temp;
    const QString inside = QDir::toNativeSeparators(temp.filePath(QStringLiteral("Música")));
    QVERIFY(QDir().mkpath(inside));
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(inside));

    LabelledVolumes volumes({{inside.left(3), QStringLiteral("DATOS")}});
    DriveListBox drives;
    DirListBox folders;
    drives.setDrive(inside);
    folders.setPath(drives.Drive());
    const QString shown = folders.Path();
    // A root given as such is the root, whatever the drive's current folder.
    folders.setPath(inside.left(3));
    const QString root = folders.Path();
    QDir::setCurrent(previous);

    QCOMPARE(shown, inside);
    QCOMPARE(root, inside.left(3));
}

void TestWindowsDrives::aDriveThatIsNotThereIsNotReady()
{
    const QString drive = missingDrive();
    if (drive.isEmpty())
        QSKIP("every drive letter is in use");
    QVERIFY(!vuelco::forms::SystemVolumes().isReady(drive + QStringLiteral("\\")));
    DirListBox folders;
    try {
        folders.setPath(drive.toLower());
        QFAIL("a missing drive was shown");
    } catch (const Failure &failure) {
        QCOMPARE(failure.number(), 68);
    }
}

// Only the faces that are really there are asserted: Wine, for one, has no Times New
// Roman and lets the host pick any serif face.
void TestWindowsDrives::msSansSerifIsDrawnInTheFaceWindowsPutsInItsPlace()
{
    using vuelco::forms::DesignFace;
    const QFont sans = vuelco::forms::designFont(DesignFace::MsSansSerif, 8.25, false);
    // Qt keeps substitutes in lower case.
    QCOMPARE(QFont::substitutes(QStringLiteral("MS Sans Serif")), QStringList{QStringLiteral("microsoft sans serif")});
    QVERIFY(QFont::substitutes(QStringLiteral("Times New Roman")).isEmpty());
    QVERIFY(QFont::substitutes(QStringLiteral("Arial")).isEmpty());

    const QStringList families = QFontDatabase::families();
    if (families.contains(QStringLiteral("Microsoft Sans Serif"))) {
        QCOMPARE(QFontInfo(sans).family(), QStringLiteral("Microsoft Sans Serif"));
    }
    if (families.contains(QStringLiteral("Times New Roman"))) {
        const QFont font = vuelco::forms::designFont(DesignFace::TimesNewRoman, 12, true);
        QCOMPARE(QFontInfo(font).family(), QStringLiteral("Times New Roman"));
    }
}

QTEST_MAIN(TestWindowsDrives)
#include "tst_drives_win32.moc"
