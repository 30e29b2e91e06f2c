#include "forms/volumes.h"

#include "forms/native_paths.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>

namespace vuelco::forms {
namespace {

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

} // namespace

QStringList SystemVolumes::roots() const
{
    QStringList roots;
    // Asked once: each QStorageInfo reads the whole mount table again.
    const QString homeRoot = QStorageInfo(QDir::homePath()).rootPath();
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (isBrowsable(root, homeRoot) && !roots.contains(root))
            roots.append(root);
    }
    if (!roots.contains(QStringLiteral("/")))
        roots.prepend(QStringLiteral("/"));
    return roots;
}

bool SystemVolumes::holds(const QString &root, const QString &path) { return liesIn(path, root); }

bool SystemVolumes::isReady(const QString &root) const
{
    const QStorageInfo volume(root);
    return volume.isValid() && volume.isReady() && QFileInfo(root).isReadable();
}

// The drive list shows Linux volumes by their mount points alone.
QString SystemVolumes::label(const QString &root) const
{
    Q_UNUSED(root);
    return {};
}

QString driveCaption(const QString &root) { return root; }

QString folderOfDrive(const QString &drive) { return drive; }

} // namespace vuelco::forms
