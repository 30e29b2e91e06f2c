#include "forms/volumes.h"

#include "forms/native_paths.h"
#include "runtime/failure.h"

#include <algorithm>

// What every system shares; the system's own volumes are in volumes_posix.cpp and
// volumes_win32.cpp.
namespace vuelco::forms {
namespace {

const SystemVolumes gSystemVolumes;
const Volumes *gVolumes = &gSystemVolumes;

// The roots offered since the volume set was put in place.
QStringList gOffered;

} // namespace

const Volumes &Volumes::current() { return *gVolumes; }

QString SystemVolumes::rootOf(const QString &path) const
{
    // The deepest volume root the path lies under.
    QString best;
    for (const QString &root : roots()) {
        if (holds(root, path) && root.size() > best.size())
            best = root;
    }
    return best;
}

ScopedVolumes::ScopedVolumes(const Volumes &volumes) noexcept : ScopedReplacement(gVolumes, volumes)
{
    gOffered.clear();
}

ScopedVolumes::~ScopedVolumes() { gOffered.clear(); }

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
        return offered.size() > root.size() && liesIn(path, offered) && !now.contains(offered);
    });
    if (root.isEmpty() || onGoneVolume || !volumes.isReady(root))
        throw Failure(FailureNumber::DeviceNotReady, toFilesystemPath(path));
}

} // namespace vuelco::forms
