#include "fake_volumes.h"

FakeVolumes::FakeVolumes(const QStringList &extraRoots) : mRoots(QStringList{QStringLiteral("/")} + extraRoots), mScope(*this)
{
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
    QString best;
    for (const QString &root : mRoots) {
        const bool holds = path == root || path.startsWith(root.endsWith(QLatin1Char('/')) ? root : root + QLatin1Char('/'));
        if (holds && root.size() > best.size())
            best = root;
    }
    return best;
}
