#include "forms/volumes.h"

#include "forms/native_paths.h"
#include "runtime/api_win32.h"
#include "runtime/verbatim_path_win32.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

// After api_win32.h, which it needs.
#include <winnetwk.h>

namespace vuelco::forms {
namespace {

// A drive with no medium must answer "not ready", never make Windows ask the user to
// insert a disk in a box of its own; so the error mode is set around every question.
class QuietDriveErrors {
public:
    QuietDriveErrors() { SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &mPrevious); }
    QuietDriveErrors(const QuietDriveErrors &) = delete;
    QuietDriveErrors &operator=(const QuietDriveErrors &) = delete;
    ~QuietDriveErrors() { SetThreadErrorMode(mPrevious, nullptr); }

private:
    DWORD mPrevious = 0;
};

std::wstring rootName(const QString &root) { return QDir::toNativeSeparators(root).toStdWString(); }

} // namespace

QStringList SystemVolumes::roots() const
{
    QStringList roots;
    for (const QFileInfo &drive : QDir::drives())
        roots.append(QDir::toNativeSeparators(drive.absolutePath()));
    return roots;
}

bool SystemVolumes::holds(const QString &root, const QString &path)
{
    return path.startsWith(root.left(2), Qt::CaseInsensitive);
}

bool SystemVolumes::isReady(const QString &root) const
{
    // A gone network drive or an empty card reader cannot tell its volume's details.
    const QuietDriveErrors quiet;
    const std::wstring name = rootName(root);
    return GetDriveTypeW(name.c_str()) != DRIVE_NO_ROOT_DIR &&
           GetVolumeInformationW(name.c_str(), nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0);
}

QString SystemVolumes::label(const QString &root) const
{
    const QuietDriveErrors quiet;
    const std::wstring name = rootName(root);
    if (GetDriveTypeW(name.c_str()) == DRIVE_REMOTE) {
        // The share a network drive stands for, which Windows knows without the network.
        const std::wstring drive = name.substr(0, 2);
        wchar_t share[MAX_PATH + 1] = {};
        DWORD size = MAX_PATH;
        return WNetGetConnectionW(drive.c_str(), share, &size) == NO_ERROR ? QString::fromWCharArray(share) : QString();
    }
    wchar_t volumeName[MAX_PATH + 1] = {};
    if (!GetVolumeInformationW(name.c_str(), volumeName, MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0))
        return {};
    return QString::fromWCharArray(volumeName);
}

QString driveCaption(const QString &root)
{
    const bool driveRoot = root.size() == 3 && root.at(1) == QLatin1Char(':');
    if (!driveRoot)
        return root;
    const QString label = Volumes::current().label(root);
    const QString drive = root.left(2).toLower();
    return label.isEmpty() ? drive : drive + QStringLiteral(" [") + label + QLatin1Char(']');
}

QString folderOfDrive(const QString &drive)
{
    static const QRegularExpression kDrive(QStringLiteral("^([A-Za-z]:)( \\[.*\\])?$"));
    const QRegularExpressionMatch match = kDrive.match(drive);
    if (!match.hasMatch())
        return drive;
    // Windows keeps a current folder for each drive; a bare "X:" names it.
    return fromFilesystemPath(currentFolderOf(match.captured(1).toUpper().toStdWString()));
}

} // namespace vuelco::forms
