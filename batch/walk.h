#pragma once

#include "batch/entry_name.h"
#include "runtime/folder.h"
#include "runtime/failure.h"
#include "runtime/file_identity.h"

#include <memory>
#include <optional>
#include <vector>

namespace vuelco::batch {

// What a walk found: a file to look at, or what it met instead of one (a folder it could
// not read, a pipe named ".dat").
struct Found {
    EntryName name;
    NativeName path;                       // the whole name, name.text()
    std::shared_ptr<const Folder> folder;  // with a file: the folder it was listed in
    FileIdentity identity;                 // with a file: the identity the listing saw
    std::optional<Failure> failure;
};

// The walk of one folder given: every entry whose name ends in ".dat", in any case, in name
// order, folder by folder, depth first. It follows no link to a folder or to a file, so it
// never loops and never leaves the tree, whatever happens to the tree meanwhile: each
// folder is opened from its parent's handle (on Windows by its verbatim name) and only
// while it is still the one listed. Pipes, sockets and devices are reported from the
// listing without being opened. A folder it cannot read is reported with its failure,
// and the walk goes on with the rest.
//
// It holds few folders open however deep the tree, and what it keeps grows with the
// entries of the folders it is in, not with the square of their depth.
class Walk {
public:
    Walk(NativeName given, std::shared_ptr<Folder> top);

    // The next file, or failure; nothing once the walk is over.
    [[nodiscard]] std::optional<Found> next();

private:
    struct Level {
        std::shared_ptr<const EntryName> name;
        std::shared_ptr<Folder> folder;  // let go above the deepest few, taken back on the way up
        FileIdentity identity;
        std::vector<ListedEntry> entries;  // in name order
        std::size_t next = 0;
        std::size_t pathLength = 0;       // of mPath while in this folder
    };

    // Lists the folder the walk has just come into; a failure when it cannot be read.
    [[nodiscard]] std::optional<Found> list(Level &level) const;
    // The entry of the deepest folder as a file to look at or a failure; nothing for an
    // entry passed over, or for a folder gone into.
    [[nodiscard]] std::optional<Found> take(ListedEntry &entry);
    void goInto(const ListedEntry &entry, const NativeName &path);
    // Back up from the deepest folder; a failure when its parent cannot be taken back.
    [[nodiscard]] std::optional<Found> leave();

    std::vector<Level> mLevels;
    NativeName mPath;  // the folder being walked, as given and then below it
    bool mStarted = false;
};

} // namespace vuelco::batch
