#include "forms/folder_entries.h"

#include "forms/native_paths.h"

#include <cstdint>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <sys/stat.h>

namespace vuelco::forms {
namespace {

enum class EntryKind : std::uint8_t { RegularFile, Folder };

struct FolderCloser {
    void operator()(DIR *folder) const { closedir(folder); }
};

std::optional<EntryKind> kindOfMode(mode_t mode)
{
    if (S_ISREG(mode))
        return EntryKind::RegularFile;
    if (S_ISDIR(mode))
        return EntryKind::Folder;
    return std::nullopt;
}

std::optional<EntryKind> kindOf(int folder, const dirent &entry)
{
    switch (entry.d_type) {
    case DT_REG:
        return EntryKind::RegularFile;
    case DT_DIR:
        return EntryKind::Folder;
    case DT_LNK:
    case DT_UNKNOWN: {
        // Followed, as opening the entry would follow it; a dangling link is neither kind.
        struct stat status {};
        if (fstatat(folder, entry.d_name, &status, 0) != 0)
            return std::nullopt;
        return kindOfMode(status.st_mode);
    }
    default:
        return std::nullopt;
    }
}

} // namespace

FolderEntries readFolderEntries(const QString &folder)
{
    FolderEntries entries;
    const std::unique_ptr<DIR, FolderCloser> listing(opendir(toFilesystemPath(folder).c_str()));
    if (!listing)
        return entries;
    const int descriptor = dirfd(listing.get());
    // readdir ends with a null entry both at the end and on a failure; either way the
    // names read so far are the list. Only this thread reads this stream, which is all
    // readdir asks (readdir_r, which cppcheck would have, is deprecated).
    // cppcheck-suppress readdirCalled
    while (const dirent *entry = readdir(listing.get())) {
        // "." and ".." start with a dot too.
        if (entry->d_name[0] == '.')
            continue;
        const std::optional<EntryKind> kind = kindOf(descriptor, *entry);
        if (!kind)
            continue;
        (*kind == EntryKind::RegularFile ? entries.files : entries.folders).append(fromFilesystemPath(entry->d_name));
    }
    return entries;
}

} // namespace vuelco::forms
