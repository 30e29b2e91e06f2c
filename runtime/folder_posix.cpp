#include "runtime/folder.h"

#include "runtime/entry_kind_posix.h"
#include "runtime/identity_policy.h"
#include "runtime/interrupted_posix.h"
#include "runtime/system_calls_posix.h"
#include "runtime/system_errors_posix.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace vuelco {

Folder::~Folder() { posixCalls().close(static_cast<int>(mHandle)); }

namespace {

int descriptorOf(const Folder &folder) { return static_cast<int>(folder.handle()); }

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;

int openAskingAgainWhenInterrupted(int folder, const char *name, int flags)
{
    return askAgainWhenInterrupted([&] { return posixCalls().open(folder, name, flags, 0); });
}

Failure failureOf(const NativeName &path, int error = errno)
{
    return failureFromErrno(error, false, std::filesystem::path(path));
}

EntryKind kindOfListed(unsigned char type)
{
    switch (type) {
    case DT_REG: return EntryKind::File;
    case DT_DIR: return EntryKind::Folder;
    case DT_LNK: return EntryKind::Link;
    case DT_FIFO: return EntryKind::Pipe;
    case DT_SOCK: return EntryKind::Socket;
    case DT_CHR:
    case DT_BLK: return EntryKind::Device;
    default: return EntryKind::Unknown;
    }
}

// The folder name names relative to the open folder `from`, as a folder of that identity.
// A folder that became a link or something else since it was listed, or one that is not
// the folder listed any more, is not walked.
std::shared_ptr<Folder> openCheckedFolder(int from, const char *name, int flags, const FileIdentity &identity,
                                          const NativeName &path)
{
    const int fd = openAskingAgainWhenInterrupted(from, name, flags);
    if (fd < 0) {
        if (errno == ELOOP || errno == ENOTDIR)
            throw changedDuringTheWalk(path);
        throw failureOf(path);
    }
    struct stat status {};
    if (posixCalls().fstat(fd, &status) != 0) {
        const int error = errno;
        posixCalls().close(fd);
        throw failureOf(path, error);
    }
    auto folder = std::make_shared<Folder>(fd, FileIdentity{status.st_dev, status.st_ino});
    if (folder->numbers() == FileNumbers::Stable && folder->identity() != identity)
        throw changedDuringTheWalk(path);
    return folder;
}

// Room for the entries a folder's size suggests, at most kMostRoomMade: growing the list
// of 100,000 entries a doubling at a time took a fifth of its listing, most of it the
// system handing out fresh memory. An entry takes 20 to 40 bytes of a folder's size on ext4
// and tmpfs for the names of a collection, so the room is seldom short; room made and not
// used is never touched, and the list is let go once sorted.
std::size_t roomForTheEntriesOf(int folder)
{
    constexpr std::size_t kBytesForEachEntry = 16;
    constexpr std::size_t kMostRoomMade = std::size_t{1} << 20;
    struct stat status {};
    if (posixCalls().fstat(folder, &status) != 0 || status.st_size <= 0)
        return 0;
    return std::min(static_cast<std::size_t>(status.st_size) / kBytesForEachEntry, kMostRoomMade);
}

} // namespace

EntryKind entryKindOf(mode_t mode)
{
    if (S_ISREG(mode))
        return EntryKind::File;
    if (S_ISDIR(mode))
        return EntryKind::Folder;
    if (S_ISLNK(mode))
        return EntryKind::Link;
    if (S_ISFIFO(mode))
        return EntryKind::Pipe;
    if (S_ISSOCK(mode))
        return EntryKind::Socket;
    return S_ISCHR(mode) || S_ISBLK(mode) ? EntryKind::Device : EntryKind::Unknown;
}

std::shared_ptr<Folder> openGivenFolder(const NativeName &name)
{
    const int fd = openAskingAgainWhenInterrupted(AT_FDCWD, name.c_str(), kFolderFlags);
    if (fd < 0)
        return nullptr;
    struct stat status {};
    if (posixCalls().fstat(fd, &status) != 0) {
        posixCalls().close(fd);
        return nullptr;
    }
    return std::make_shared<Folder>(fd, FileIdentity{status.st_dev, status.st_ino});
}

void listFolder(const Folder &folder, const NativeName &path, std::vector<ListedEntry> &entries)
{
    // The listing reads through a copy of the descriptor, which closing it closes; the
    // folder's own stays open for the entries to be opened relative to it.
    DIR *listing = posixCalls().openListing(descriptorOf(folder));
    if (listing == nullptr)
        throw failureOf(path);
    const std::size_t first = entries.size();
    entries.reserve(first + roomForTheEntriesOf(descriptorOf(folder)));
    const FileIdentity &own = folder.identity();
    // Most file systems list each entry's inode number, and the walk then needs no look-up
    // of its own for a file. Those whose listing makes numbers up (some FUSE and network
    // file systems, overlayfs over several devices) tell on the folder itself.
    bool inodesListed = false;
    errno = 0;
    while (const dirent *entry = posixCalls().readEntry(listing)) {
        const std::string_view name = entry->d_name;
        if (name == ".")
            inodesListed = entry->d_ino == own.file;
        else if (name != "..")
            entries.push_back({NativeName(name), kindOfListed(entry->d_type), FileIdentity{own.volume, entry->d_ino},
                               name.front() == '.'});
        errno = 0;
    }
    const int error = errno;
    posixCalls().closeListing(listing);
    if (!inodesListed || folder.numbers() != FileNumbers::Stable) {
        for (auto entry = entries.begin() + static_cast<std::ptrdiff_t>(first); entry != entries.end(); ++entry)
            entry->identity.reset();
    }
    if (error != 0)
        throw failureOf(path, error);
}

void describe(const Folder &folder, ListedEntry &entry, const NativeName &path)
{
    struct stat status {};
    if (posixCalls().stat(descriptorOf(folder), entry.name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
        throw failureOf(path);
    entry.kind = entryKindOf(status.st_mode);
    entry.identity = FileIdentity{status.st_dev, status.st_ino};
}

EntryKind followedKind(const Folder &folder, const ListedEntry &entry, const NativeName &)
{
    struct stat status {};
    if (posixCalls().stat(descriptorOf(folder), entry.name.c_str(), &status, 0) != 0)
        return EntryKind::Unknown;
    return entryKindOf(status.st_mode);
}

bool mountedOver(const Folder &folder, const NativeName &entry, const FileIdentity &opened)
{
    struct statx status {};
    if (posixCalls().statx(descriptorOf(folder), entry.c_str(), AT_SYMLINK_NOFOLLOW | AT_STATX_SYNC_AS_STAT,
                           STATX_TYPE | STATX_INO, &status) != 0)
        return false;
    const FileIdentity named{makedev(status.stx_dev_major, status.stx_dev_minor), status.stx_ino};
    // A system too old to tell a mount from a file put in its place (Linux before 5.8) is
    // taken at its name, as a walk that looked each entry up before opening it would.
    const bool tellsMounts = (status.stx_attributes_mask & STATX_ATTR_MOUNT_ROOT) != 0;
    return named == opened && (!tellsMounts || (status.stx_attributes & STATX_ATTR_MOUNT_ROOT) != 0);
}

std::shared_ptr<Folder> openSubfolder(const Folder &parent, const ListedEntry &entry, const NativeName &path)
{
    return openCheckedFolder(descriptorOf(parent), entry.name.c_str(), kFolderFlags | O_NOFOLLOW,
                             entry.identity.value_or(FileIdentity{}), path);
}

std::shared_ptr<Folder> reopenParent(const Folder *child, const FileIdentity &identity, const NativeName &path)
{
    if (child == nullptr)
        throw changedDuringTheWalk(path);
    return openCheckedFolder(descriptorOf(*child), "..", kFolderFlags, identity, path);
}

FilePlace placeIn(const Folder &folder, NativeName path, std::size_t nameAt)
{
    return {std::move(path), folder.handle(), nameAt, folder.numbers()};
}

} // namespace vuelco
