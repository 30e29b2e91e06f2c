#pragma once

#include "runtime/binary_file.h"
#include "runtime/file_identity.h"
#include "runtime/identity_policy.h"
#include "runtime/name_text.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// Folders as the walk and the file lists read them. The walk opens and lists them without
// following a link or a junction, each checked against what its parent's listing saw; the
// file lists open the folder named and follow the links in it. folder_posix.cpp works
// through descriptors, opening each entry relative to its folder's; folder_win32.cpp opens
// by verbatim names and lists through the folder's handle. Every name passed as `path` is
// the whole name, for messages and for Windows' opens.
namespace vuelco {

enum class EntryKind : std::uint8_t { File, Folder, Link, Pipe, Socket, Device, Unknown };

// One entry of a folder as its listing tells it; what the listing leaves out (the kind on
// some file systems, the identity on some of Linux's) describe() adds. Where something is
// mounted over the entry, the identity listed is that of the file underneath.
struct ListedEntry {
    NativeName name;
    EntryKind kind = EntryKind::Unknown;
    std::optional<FileIdentity> identity;
    // Left out of the file lists: a name that starts with "." on Linux, an entry marked
    // hidden on Windows. The walk takes it like any other.
    bool hidden = false;
};

// A folder held open, by its descriptor on Linux and its handle on Windows; each system's
// half closes it, when the last holder lets go.
class Folder {
public:
    Folder(std::intptr_t handle, FileIdentity identity)
        : mHandle(handle), mIdentity(identity), mNumbers(fileNumbersOf(handle))
    {
    }
    Folder(const Folder &) = delete;
    Folder &operator=(const Folder &) = delete;
    ~Folder();

    [[nodiscard]] std::intptr_t handle() const noexcept { return mHandle; }
    [[nodiscard]] const FileIdentity &identity() const noexcept { return mIdentity; }
    // What the folder's file system promises of its file numbers. Where they are unstable,
    // a folder opened is not compared with the identity listed, nor are its files: the walk
    // holds to its descriptors, never follows a link and checks each entry's kind instead.
    [[nodiscard]] FileNumbers numbers() const noexcept { return mNumbers; }

private:
    std::intptr_t mHandle;
    FileIdentity mIdentity;
    FileNumbers mNumbers;  // asked once for all the folder's entries
};

// The folder a name given stands for, links followed as for any name given; nothing when
// it is no folder that opens (it is then taken as a file, and opening that tells why).
[[nodiscard]] std::shared_ptr<Folder> openGivenFolder(const NativeName &name);

// Adds the folder's entries to entries, "." and ".." left out, in the order the system
// gives them. Throws Failure, and those listed before the failure stay.
void listFolder(const Folder &folder, const NativeName &path, std::vector<ListedEntry> &entries);

[[nodiscard]] inline std::vector<ListedEntry> listFolder(const Folder &folder, const NativeName &path)
{
    std::vector<ListedEntry> entries;
    listFolder(folder, path, entries);
    return entries;
}

// Completes the entry of folder with its kind and identity, looked up without following
// a link. Throws Failure.
void describe(const Folder &folder, ListedEntry &entry, const NativeName &path);

// What the entry of folder, whose whole name is path, leads to: a link followed as opening
// it would follow it. Unknown for a link that leads nowhere or anything that cannot be
// looked up; never throws a Failure.
[[nodiscard]] EntryKind followedKind(const Folder &folder, const ListedEntry &entry, const NativeName &path);

// Whether the entry of folder, opened as the file of identity opened where its listing told
// another, is a mount over the file listed, seen as it is now; false also when the entry
// was replaced, as far as the system can tell the two apart.
[[nodiscard]] bool mountedOver(const Folder &folder, const NativeName &entry, const FileIdentity &opened);

// A folder listed in parent, opened without following a link, and only while it is still
// the one listed, as far as its file system's numbers tell. Throws Failure.
[[nodiscard]] std::shared_ptr<Folder> openSubfolder(const Folder &parent, const ListedEntry &entry,
                                                    const NativeName &path);

// The folder the walk came down from into child, opened again after the walk let it go
// to keep its descriptors few, and only while it is still the folder of that identity.
// Throws Failure, also when child itself could not be taken back (null) and the folder
// can only be reached through it.
[[nodiscard]] std::shared_ptr<Folder> reopenParent(const Folder *child, const FileIdentity &identity,
                                                   const NativeName &path);

// Where a file listed in folder is opened from: its whole name, its own from nameAt on.
[[nodiscard]] FilePlace placeIn(const Folder &folder, NativeName path, std::size_t nameAt);

// What a failure says an entry is, for one that is no file.
[[nodiscard]] inline FileKind fileKindOf(EntryKind kind)
{
    switch (kind) {
    case EntryKind::Folder: return FileKind::Folder;
    case EntryKind::Pipe: return FileKind::Pipe;
    case EntryKind::Socket: return FileKind::Socket;
    case EntryKind::Device: return FileKind::Device;
    default: return FileKind::Other;
    }
}

// The failure for a folder or file that is not the one listed any more.
[[nodiscard]] inline Failure changedDuringTheWalk(const NativeName &path)
{
    return Failure(FailureNumber::DeviceIo, path, FailureCause::ChangedDuringTheWalk);
}

} // namespace vuelco
