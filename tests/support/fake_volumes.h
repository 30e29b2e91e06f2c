#pragma once

#include "runtime/forms/volumes.h"

#include <QSet>

// A volume set for tests: the root "/" plus any folders a test declares volumes, some of
// which may be "not ready" or come and go. In place for its lifetime.
class FakeVolumes final : public vuelco::forms::Volumes {
public:
    explicit FakeVolumes(const QStringList &extraRoots = {});

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
