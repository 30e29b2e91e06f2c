#include "fake_volumes.h"

#include "forms/native_paths.h"

#include <QDir>

namespace {

QStringList baseRoots()
{
    QStringList roots{FakeVolumes::systemRoot()};
#ifdef Q_OS_WIN
    // The program's own drive too, where the chooser starts.
    for (const QString &root : {vuelco::forms::fallbackFolder(), vuelco::forms::applicationFolder().left(3).toUpper()}) {
        if (!roots.contains(root))
            roots.append(root);
    }
#endif
    return roots;
}

} // namespace

FakeVolumes::FakeVolumes(const QStringList &extraRoots) : mRoots(baseRoots() + extraRoots), mScope(*this) {}

QString FakeVolumes::systemRoot()
{
#ifdef Q_OS_WIN
    return QDir::toNativeSeparators(QDir::tempPath()).left(3).toUpper();
#else
    return QStringLiteral("/");
#endif
}

void FakeVolumes::setReady(const QString &root, bool ready)
{
    if (ready)
        mNotReady.remove(root);
    else
        mNotReady.insert(root);
}

QString FakeVolumes::rootOf(const QString &path) const
{
    const QString native = QDir::toNativeSeparators(path);
    QString best;
    for (const QString &root : mRoots) {
        bool holds = native == root || native.startsWith(vuelco::forms::joinPath(root, {}));
#ifdef Q_OS_WIN
        // A drive root holds every text that starts with its drive: "C:", "c: [SISTEMA]".
        if (root.size() == 3 && native.left(2).compare(root.left(2), Qt::CaseInsensitive) == 0)
            holds = true;
#endif
        if (holds && root.size() > best.size())
            best = root;
    }
    return best;
}
