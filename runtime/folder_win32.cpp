#include "runtime/folder.h"

#include "runtime/api_win32.h"
#include "runtime/identity_policy.h"
#include "runtime/system_calls_win32.h"
#include "runtime/system_errors_win32.h"
#include "runtime/verbatim_path_win32.h"

#include <string_view>

namespace vuelco {

Folder::~Folder() { win32Calls().closeHandle(reinterpret_cast<HANDLE>(mHandle)); }

namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

Failure failureOf(const NativeName &path, DWORD error) { return failureFromWindowsError(error, false, path); }

// The folder of that whole name, listed through its handle. Other programs may go on
// reading, writing, renaming and deleting in it meanwhile. A name given is followed
// through a link or junction; a listed entry is opened as itself, so that a junction put
// in its place is seen for what it is. Nothing when the name is no folder.
std::shared_ptr<Folder> openFolderNamed(const NativeName &path, bool followLink, DWORD &error)
{
    const std::wstring name = verbatimPath(std::filesystem::path(path));
    HANDLE handle = win32Calls().createFile(
        name.c_str(), FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | (followLink ? 0 : FILE_FLAG_OPEN_REPARSE_POINT), nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = GetLastError();
        return nullptr;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (!win32Calls().getFileInformationByHandle(handle, &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        error = GetLastError();
        win32Calls().closeHandle(handle);
        return nullptr;
    }
    const FileIdentity identity{information.dwVolumeSerialNumber,
                                (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) |
                                    information.nFileIndexLow};
    return std::make_shared<Folder>(reinterpret_cast<std::intptr_t>(handle), identity);
}

// A folder listed before, by its whole name, only while it is still the one listed.
std::shared_ptr<Folder> openCheckedFolder(const NativeName &path, const FileIdentity &identity)
{
    DWORD error = NO_ERROR;
    std::shared_ptr<Folder> folder = openFolderNamed(path, false, error);
    if (folder == nullptr && error != NO_ERROR && error != ERROR_FILE_NOT_FOUND)
        throw failureOf(path, error);
    if (folder == nullptr || (folder->numbers() == FileNumbers::Stable && folder->identity() != identity))
        throw changedDuringTheWalk(path);
    return folder;
}

// Links and junctions are the reparse points that stand for another name; the tag of a
// reparse point is where an entry's extended attributes' size would be. Other reparse
// points (a cloud file's placeholder, a deduplicated file) are files like any other.
EntryKind kindOf(const FILE_ID_BOTH_DIR_INFO &record)
{
    if ((record.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 && IsReparseTagNameSurrogate(record.EaSize))
        return EntryKind::Link;
    return (record.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::Folder : EntryKind::File;
}

} // namespace

std::shared_ptr<Folder> openGivenFolder(const NativeName &name)
{
    DWORD ignored = NO_ERROR;
    return openFolderNamed(name, true, ignored);
}

void listFolder(const Folder &folder, const NativeName &path, std::vector<ListedEntry> &entries)
{
    // The records are 8-byte aligned; a buffer of them takes some hundreds of entries.
    std::vector<std::uint64_t> buffer(64 * 1024 / sizeof(std::uint64_t));
    const auto size = static_cast<DWORD>(buffer.size() * sizeof(std::uint64_t));
    const auto handle = reinterpret_cast<HANDLE>(folder.handle());
    for (auto part = FileIdBothDirectoryRestartInfo;; part = FileIdBothDirectoryInfo) {
        if (!win32Calls().getFileInformationByHandleEx(handle, part, buffer.data(), size)) {
            const DWORD error = GetLastError();
            if (error == ERROR_NO_MORE_FILES)
                return;
            throw failureOf(path, error);
        }
        const auto *bytes = reinterpret_cast<const char *>(buffer.data());
        for (;;) {
            const auto &record = *reinterpret_cast<const FILE_ID_BOTH_DIR_INFO *>(bytes);
            const std::wstring_view name(record.FileName, record.FileNameLength / sizeof(wchar_t));
            if (name != L"." && name != L"..")
                entries.push_back({NativeName(name), kindOf(record),
                                   FileIdentity{folder.identity().volume,
                                                static_cast<std::uint64_t>(record.FileId.QuadPart)},
                                   (record.FileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0});
            if (record.NextEntryOffset == 0)
                break;
            bytes += record.NextEntryOffset;
        }
    }
}

EntryKind followedKind(const Folder &, const ListedEntry &, const NativeName &path)
{
    const std::wstring name = verbatimPath(std::filesystem::path(path));
    HANDLE target = win32Calls().createFile(name.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                            FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (target == INVALID_HANDLE_VALUE)
        return EntryKind::Unknown;
    BY_HANDLE_FILE_INFORMATION information{};
    const bool described = win32Calls().getFileInformationByHandle(target, &information) != FALSE;
    win32Calls().closeHandle(target);
    if (!described)
        return EntryKind::Unknown;
    return (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::Folder : EntryKind::File;
}

// Windows' listing tells every entry's kind and identity already.
void describe(const Folder &, ListedEntry &, const NativeName &) {}

// Windows lists the file's own identity, whatever is mounted where.
bool mountedOver(const Folder &, const NativeName &, const FileIdentity &) { return false; }

std::shared_ptr<Folder> openSubfolder(const Folder &, const ListedEntry &entry, const NativeName &path)
{
    return openCheckedFolder(path, entry.identity.value_or(FileIdentity{}));
}

// Windows opens by name: the folder is opened again by its whole name, and checked.
std::shared_ptr<Folder> reopenParent(const Folder *, const FileIdentity &identity, const NativeName &path)
{
    return openCheckedFolder(path, identity);
}

FilePlace placeIn(const Folder &folder, NativeName path, std::size_t nameAt)
{
    return {std::move(path), FilePlace::kNoFolder, nameAt, folder.numbers()};
}

} // namespace vuelco
