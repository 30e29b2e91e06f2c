#include "forms/folder_listing.h"

#include "forms/native_paths.h"
#include "runtime/verbatim_path_win32.h"
#include "runtime/windows_api.h"

#include <memory>

namespace vuelco::forms {
namespace {

struct SearchCloser {
    void operator()(HANDLE search) const { FindClose(search); }
};

} // namespace

// By the system's own search rather than std::filesystem, whose MinGW build does not take a
// verbatim name.
void forEachVisibleFile(const QString &folder, const std::function<void(const QString &name)> &take)
{
    std::wstring pattern = vuelco::verbatimPath(toFilesystemPath(folder));
    // A verbatim name is taken as written: a root's separator is not doubled.
    if (!pattern.ends_with(L'\\'))
        pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW entry{};
    HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr,
                                     FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        return;
    const std::unique_ptr<void, SearchCloser> closeWhenDone(search);
    constexpr DWORD kNotAVisibleFile = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DEVICE;
    do {
        if ((entry.dwFileAttributes & kNotAVisibleFile) == 0)
            take(QString::fromWCharArray(entry.cFileName));
    } while (FindNextFileW(search, &entry));
}

} // namespace vuelco::forms
