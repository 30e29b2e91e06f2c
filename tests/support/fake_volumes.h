#pragma once

#include "forms/volumes.h"

#include <QSet>

// A volume set for tests: the system's root (see systemRoot) plus any folders a test
// declares volumes, some of which may be "not ready" or come and go. In place for its
// lifetime.
class FakeVolumes final : public vuelco::forms::Volumes {
public:
    explicit FakeVolumes(const QStringList &extraRoots = {});

    // The root volume the tests' temporary folders are on: "/" on Linux; on Windows the
    // drive of the temporary folder ("C:\"). On Windows the set also holds the fallback
    // drive C: and the program's own drive.
    [[nodiscard]] static QString systemRoot();

    void setReady(const QString &root, bool ready);
    // A volume plugged in, or pulled out, while the program runs.
    void mount(const QString &root) { mRoots.append(root); }
    void unmount(const QString &root) { mRoots.removeAll(root); }

    [[nodiscard]] QStringList roots() const override { return mRoots; }
    [[nodiscard]] QString rootOf(const QString &path) const override;
    [[nodiscard]] bool isReady(const QString &root) const override { return !mNotReady.contains(root); }

private:
    QStringList mRoots;
    QSet<QString> mNotReady;
    vuelco::forms::ScopedVolumes mScope;
};
