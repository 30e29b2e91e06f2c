#include "forms/folder_entries.h"

#include "forms/native_paths.h"
#include "runtime/api_win32.h"
#include "runtime/verbatim_path_win32.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace vuelco::forms {
namespace {

enum class EntryKind : std::uint8_t { RegularFile, Folder };

// Both handles below stand for "none" with INVALID_HANDLE_VALUE, not with null.
struct SearchCloser {
    void operator()(HANDLE search) const
    {
        if (search != INVALID_HANDLE_VALUE)
            FindClose(search);
    }
};

struct HandleCloser {
    void operator()(HANDLE handle) const
    {
        if (handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
};

// The attributes of what a link leads to, as opening it would follow it; nothing for a
// dangling link.
std::optional<DWORD> followedAttributes(const std::wstring &path)
{
    const std::unique_ptr<void, HandleCloser> target(CreateFileW(path.c_str(), 0,
                                                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                                                 nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                                                                 nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (target.get() == INVALID_HANDLE_VALUE || !GetFileInformationByHandle(target.get(), &information))
        return std::nullopt;
    return information.dwFileAttributes;
}

std::optional<EntryKind> kindOf(const std::wstring &folder, const WIN32_FIND_DATAW &entry)
{
    std::optional<DWORD> attributes = entry.dwFileAttributes;
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        attributes = followedAttributes(folder + entry.cFileName);
    if (!attributes)
        return std::nullopt;
    return (*attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::Folder : EntryKind::RegularFile;
}

bool isDotOrDotDot(const wchar_t *name)
{
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

} // namespace

FolderEntries readFolderEntries(const QString &folder)
{
    FolderEntries entries;
    std::wstring prefix = verbatimPath(toFilesystemPath(folder));
    if (!prefix.empty() && prefix.back() != L'\\')
        prefix += L'\\';
    WIN32_FIND_DATAW entry{};
    const std::unique_ptr<void, SearchCloser> search(FindFirstFileExW((prefix + L'*').c_str(), FindExInfoBasic, &entry,
                                                                      FindExSearchNameMatch, nullptr,
                                                                      FIND_FIRST_EX_LARGE_FETCH));
    if (search.get() == INVALID_HANDLE_VALUE)
        return entries;
    // FindNextFileW fails both at the end and on an error; either way the names read so
    // far are the list.
    do {
        if (isDotOrDotDot(entry.cFileName) || (entry.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN) != 0)
            continue;
        const std::optional<EntryKind> kind = kindOf(prefix, entry);
        if (kind)
            (*kind == EntryKind::RegularFile ? entries.files : entries.folders)
                .append(QString::fromWCharArray(entry.cFileName));
    } while (FindNextFileW(search.get(), &entry));
    return entries;
}

} // namespace vuelco::forms
