#include "forms/folder_entries.h"

#include "forms/native_paths.h"
#include "runtime/folder.h"

#include <filesystem>
#include <memory>
#include <vector>

namespace vuelco::forms {
namespace {

// The innermost living shared read; the lists live on the GUI thread only.
const SharedFolderRead *gSharedRead = nullptr;

} // namespace

FolderEntries readFolderEntries(const QString &folder)
{
    FolderEntries entries;
    const std::filesystem::path path = toFilesystemPath(folder);
    const std::shared_ptr<Folder> opened = openGivenFolder(path.native());
    if (!opened)
        return entries;
    std::vector<ListedEntry> listed;
    try {
        listFolder(*opened, path.native(), listed);
    } catch (const Failure &) {
        // A read that fails half way ends the list with the names read before.
    }
    for (const ListedEntry &entry : listed) {
        if (entry.hidden)
            continue;
        EntryKind kind = entry.kind;
        // A link counts as what it leads to, and a dangling one as neither kind.
        if (kind == EntryKind::Link || kind == EntryKind::Unknown)
            kind = followedKind(*opened, entry, (path / entry.name).native());
        if (kind == EntryKind::File)
            entries.files.append(fromFilesystemPath(entry.name));
        else if (kind == EntryKind::Folder)
            entries.folders.append(fromFilesystemPath(entry.name));
    }
    return entries;
}

SharedFolderRead::SharedFolderRead(const QString &folder)
    : mFolder(folder), mEntries(readFolderEntries(folder)), mOuter(gSharedRead)
{
    gSharedRead = this;
}

SharedFolderRead::~SharedFolderRead() { gSharedRead = mOuter; }

FolderEntries folderEntries(const QString &folder)
{
    for (const SharedFolderRead *read = gSharedRead; read != nullptr; read = read->mOuter) {
        if (read->mFolder == folder)
            return read->mEntries;
    }
    return readFolderEntries(folder);
}

} // namespace vuelco::forms
