#pragma once

#include "runtime/scoped_replacement.h"

#include <QString>
#include <QStringList>

namespace vuelco::forms {

// The volumes the drive list offers: drive letters on Windows; on Linux the mounted
// volumes a person browses (the root, removable and mounted media, the volume of the
// home folder), never pseudo file systems. Tests put a volume set of their own in place
// to have a drive that is not ready.
class Volumes {
public:
    virtual ~Volumes() = default;

    // The volume roots, in the order the drive list shows them ("C:\", or "/", "/media/usb").
    [[nodiscard]] virtual QStringList roots() const = 0;
    // The root of the volume that holds a path, or the empty text when none does.
    [[nodiscard]] virtual QString rootOf(const QString &path) const = 0;
    // Whether a volume can be read now; a drive with no medium cannot.
    [[nodiscard]] virtual bool isReady(const QString &root) const = 0;
    // The volume's label ("SISTEMA"), or a network drive's share; empty when it has none.
    [[nodiscard]] virtual QString label(const QString &root) const
    {
        Q_UNUSED(root);
        return {};
    }

    // The volumes in use: the system's unless a test put others in place.
    [[nodiscard]] static const Volumes &current();
};

// The system's volumes, read afresh on every question.
class SystemVolumes final : public Volumes {
public:
    [[nodiscard]] QStringList roots() const override;
    [[nodiscard]] QString rootOf(const QString &path) const override;
    [[nodiscard]] bool isReady(const QString &root) const override;
    [[nodiscard]] QString label(const QString &root) const override;

private:
    // Whether a path lies on the volume of a root, by the system's own rule.
    [[nodiscard]] static bool holds(const QString &root, const QString &path);
};

// Puts a volume set in place for its lifetime, and the previous one back after; the
// volumes offered are forgotten at both ends.
class ScopedVolumes : public ScopedReplacement<const Volumes> {
public:
    explicit ScopedVolumes(const Volumes &volumes) noexcept;
    ~ScopedVolumes();
};

// The volumes to offer now, as Volumes::current().roots(); each is remembered until
// another volume set is put in place, so that one gone since is known for a drive.
[[nodiscard]] QStringList offeredRoots();

// Throws DeviceNotReady (68) when the volume holding the path cannot be read, or when
// the path lies on a volume offered earlier that is gone now (unmounted, unplugged).
void requireReady(const QString &path);

// What the drive list shows for a volume: on Windows the drive letter in lower case and
// the label in brackets, "c: [SISTEMA]" ("a:" without one), as the forms runtime always
// showed drives; any other root, and every root elsewhere, as it is.
[[nodiscard]] QString driveCaption(const QString &root);

// The folder a drive names when the folder list is pointed at it: on Windows a drive as
// the drive list shows it ("c: [SISTEMA]", or just "c:") is the current folder Windows
// keeps for that drive; any other text, and every text elsewhere, is itself.
[[nodiscard]] QString folderOfDrive(const QString &drive);

} // namespace vuelco::forms
