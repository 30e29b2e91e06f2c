#include "forms/volumes.h"

#include "runtime/failure.h"
#include "forms/native_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStorageInfo>
#include <algorithm>

#ifdef Q_OS_WIN
#include "runtime/windows_api.h"
// After windows_api.h, which it needs.
#include <winnetwk.h>
#endif

namespace vuelco::forms {
namespace {

const SystemVolumes gSystemVolumes;
const Volumes *gVolumes = &gSystemVolumes;

#ifdef Q_OS_WIN
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
#else
bool isBrowsable(const QString &root, const QString &homeRoot)
{
    static const QStringList kMediaFolders{QStringLiteral("/media/"), QStringLiteral("/run/media/"),
                                           QStringLiteral("/mnt/")};
    if (root == QLatin1String("/"))
        return true;
    for (const QString &folder : kMediaFolders) {
        if (root.startsWith(folder))
            return true;
    }
    return root == homeRoot;
}
#endif

// Whether path lies on or below root.
bool lies(const QString &path, const QString &root)
{
    return path == root || path.startsWith(isRootFolder(root) ? root : root + pathSeparator());
}

// The roots offered since the volume set was put in place.
QStringList gOffered;

} // namespace

const Volumes &Volumes::current() { return *gVolumes; }

QStringList SystemVolumes::roots() const
{
    QStringList roots;
#ifdef Q_OS_WIN
    for (const QFileInfo &drive : QDir::drives())
        roots.append(QDir::toNativeSeparators(drive.absolutePath()));
#else
    // Asked once: each QStorageInfo reads the whole mount table again.
    const QString homeRoot = QStorageInfo(QDir::homePath()).rootPath();
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (isBrowsable(root, homeRoot) && !roots.contains(root))
            roots.append(root);
    }
    if (!roots.contains(QStringLiteral("/")))
        roots.prepend(QStringLiteral("/"));
#endif
    return roots;
}

QString SystemVolumes::rootOf(const QString &path) const
{
    // The deepest volume root the path lies under.
    QString best;
    for (const QString &root : roots()) {
#ifdef Q_OS_WIN
        const bool holds = path.startsWith(root.left(2), Qt::CaseInsensitive);
#else
        const bool holds = lies(path, root);
#endif
        if (holds && root.size() > best.size())
            best = root;
    }
    return best;
}

bool SystemVolumes::isReady(const QString &root) const
{
#ifdef Q_OS_WIN
    // A gone network drive or an empty card reader cannot tell its volume's details.
    const QuietDriveErrors quiet;
    const std::wstring name = rootName(root);
    return GetDriveTypeW(name.c_str()) != DRIVE_NO_ROOT_DIR &&
           GetVolumeInformationW(name.c_str(), nullptr, 0, nullptr, nullptr, nullptr, nullptr, 0);
#else
    const QStorageInfo volume(root);
    return volume.isValid() && volume.isReady() && QFileInfo(root).isReadable();
#endif
}

QString SystemVolumes::label(const QString &root) const
{
#ifdef Q_OS_WIN
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
#else
    // The drive list shows Linux volumes by their mount points alone.
    Q_UNUSED(root);
    return {};
#endif
}

ScopedVolumes::ScopedVolumes(const Volumes &volumes) noexcept : mPrevious(gVolumes)
{
    gVolumes = &volumes;
    gOffered.clear();
}

ScopedVolumes::~ScopedVolumes()
{
    gVolumes = mPrevious;
    gOffered.clear();
}

QStringList offeredRoots()
{
    QStringList roots = Volumes::current().roots();
    for (const QString &root : roots) {
        if (!gOffered.contains(root))
            gOffered.append(root);
    }
    return roots;
}

QString driveCaption(const QString &root)
{
#ifdef Q_OS_WIN
    const bool driveRoot = root.size() == 3 && root.at(1) == QLatin1Char(':');
    if (!driveRoot)
        return root;
    const QString label = Volumes::current().label(root);
    const QString drive = root.left(2).toLower();
    return label.isEmpty() ? drive : drive + QStringLiteral(" [") + label + QLatin1Char(']');
#else
    return root;
#endif
}

QString folderOfDrive(const QString &drive)
{
#ifdef Q_OS_WIN
    static const QRegularExpression kDrive(QStringLiteral("^([A-Za-z]:)( \\[.*\\])?$"));
    const QRegularExpressionMatch match = kDrive.match(drive);
    if (!match.hasMatch())
        return drive;
    // Windows keeps a current folder for each drive; a bare "X:" names it.
    const std::wstring name = match.captured(1).toUpper().toStdWString();
    wchar_t folder[MAX_PATH + 1] = {};
    const DWORD length = GetFullPathNameW(name.c_str(), MAX_PATH + 1, folder, nullptr);
    if (length == 0 || length > MAX_PATH)
        return match.captured(1).toUpper() + pathSeparator();
    return QString::fromWCharArray(folder, static_cast<qsizetype>(length));
#else
    return drive;
#endif
}

void requireReady(const QString &path)
{
    const Volumes &volumes = Volumes::current();
    const QString root = volumes.rootOf(path);
    // A volume unmounted since it was offered leaves its folder behind, empty, or takes
    // it along: either way the drive is not ready, not a folder missing from the volume
    // beneath it, so the user is asked to put it back.
    const QStringList now = volumes.roots();
    const bool onGoneVolume = std::any_of(gOffered.cbegin(), gOffered.cend(), [&](const QString &offered) {
        return offered.size() > root.size() && lies(path, offered) && !now.contains(offered);
    });
    if (root.isEmpty() || onGoneVolume || !volumes.isReady(root))
        throw Failure(FailureNumber::DeviceNotReady, standardDescription(FailureNumber::DeviceNotReady),
                      toFilesystemPath(path));
}

} // namespace vuelco::forms
