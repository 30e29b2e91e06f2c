#include "runtime/forms/volumes.h"

#include "runtime/failure.h"
#include "runtime/forms/native_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>

namespace vuelco::forms {
namespace {

const SystemVolumes gSystemVolumes;
const Volumes *gVolumes = &gSystemVolumes;

#ifndef Q_OS_WIN
bool isBrowsable(const QString &root)
{
    static const QStringList kMediaFolders{QStringLiteral("/media/"), QStringLiteral("/run/media/"),
                                           QStringLiteral("/mnt/")};
    if (root == QLatin1String("/"))
        return true;
    for (const QString &folder : kMediaFolders) {
        if (root.startsWith(folder))
            return true;
    }
    return root == QStorageInfo(QDir::homePath()).rootPath();
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
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (isBrowsable(root) && !roots.contains(root))
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
    const QStorageInfo volume(root);
    return volume.isValid() && volume.isReady() && QFileInfo(root).isReadable();
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
