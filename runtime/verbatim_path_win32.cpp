#include "runtime/verbatim_path_win32.h"

#include <algorithm>
#include <string_view>

#include "runtime/api_win32.h"

namespace vuelco {
namespace {

namespace fs = std::filesystem;

constexpr std::wstring_view kVerbatim = LR"(\\?\)";
constexpr std::wstring_view kDevice = LR"(\\.\)";
constexpr std::wstring_view kVerbatimUnc = LR"(\\?\UNC\)";

fs::path anchored(const fs::path &path)
{
    if (path.has_root_name() && path.has_root_directory())
        return path;
    if (path.has_root_directory())
        return fs::current_path().root_name() / path;
    if (path.has_root_name())
        return currentFolderOf(path.root_name()) / path.relative_path();
    return fs::current_path() / path;
}

} // namespace

fs::path currentFolderOf(const fs::path &drive)
{
    const std::wstring name = drive.native();
    const DWORD size = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return drive / L"\\";
    std::wstring folder(size, L'\0');
    const DWORD length = GetFullPathNameW(name.c_str(), size, folder.data(), nullptr);
    folder.resize(length < size ? length : 0);
    return folder.empty() ? drive / L"\\" : fs::path(folder);
}

std::wstring verbatimPath(const fs::path &path)
{
    std::wstring text = path.native();
    std::replace(text.begin(), text.end(), L'/', L'\\');
    if (text.starts_with(kVerbatim) || text.starts_with(kDevice))
        return text;

    // lexically_normal keeps a trailing blank or dot, unlike the system's own resolution.
    // A network path is already absolute; the library does not take "\\servidor" for a
    // root, so it is resolved below its server.
    if (text.starts_with(LR"(\\)"))
        return std::wstring(kVerbatimUnc) + fs::path(text.substr(2)).lexically_normal().native();
    return std::wstring(kVerbatim) + anchored(fs::path(text)).lexically_normal().native();
}

} // namespace vuelco
