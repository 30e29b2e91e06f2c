#pragma once

#include "runtime/binary_file.h"
#include "runtime/file_identity.h"
#include "runtime/name_text.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

// Folders as a walk asks each system for them: opened and listed without following a link
// or a junction, and checked against what their parent's listing saw. folder_posix.cpp
// works through descriptors, opening each entry relative to its folder's; folder_win32.cpp
// opens by verbatim names and lists through the folder's handle. Every name passed as
// `path` is the whole name the walk reports, for messages and for Windows' opens.
namespace vuelco {

enum class EntryKind : std::uint8_t { File, Folder, Link, Pipe, Socket, Device, Unknown };

// One entry of a folder as its listing tells it; what the listing leaves out (the kind on
// some file systems, the identity on some of Linux's) describe() adds. Where something is
// mounted over the entry, the identity listed is that of the file underneath.
struct ListedEntry {
    NativeName name;
    EntryKind kind = EntryKind::Unknown;
    std::optional<FileIdentity> identity;
};

// A folder the walk holds open; closed when the last holder lets go.
class Folder;

// The folder a name given stands for, links followed as for any name given; nothing when
// it is no folder that opens (it is then taken as a file, and opening that tells why).
[[nodiscard]] std::shared_ptr<Folder> openGivenFolder(const NativeName &name);

// The folder's entries, "." and ".." left out, in no particular order. Throws Failure.
[[nodiscard]] std::vector<ListedEntry> listFolder(const Folder &folder, const NativeName &path);

// Completes the entry of folder with its kind and identity, looked up without following
// a link. Throws Failure.
void describe(const Folder &folder, ListedEntry &entry, const NativeName &path);

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

[[nodiscard]] FileIdentity identityOf(const Folder &folder);

// What the folder's file system promises of its file numbers. Where they are unstable, a
// folder opened is not compared with the identity listed, nor are its files: the walk
// holds to its descriptors, never follows a link and checks each entry's kind instead.
[[nodiscard]] FileNumbers numbersOf(const Folder &folder);

// Where a file listed in folder is opened from: its whole name, its own from nameAt on.
[[nodiscard]] FilePlace placeIn(const Folder &folder, NativeName path, std::size_t nameAt);

// The failure for a folder or file that is not the one listed any more.
[[nodiscard]] inline Failure changedDuringTheWalk(const NativeName &path)
{
    return Failure(FailureNumber::DeviceIo, path, FailureCause::ChangedDuringTheWalk);
}

} // namespace vuelco
