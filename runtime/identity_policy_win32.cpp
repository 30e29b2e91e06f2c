#include "runtime/identity_policy.h"

#include "runtime/api_win32.h"
#include "runtime/system_calls_win32.h"

#include <array>
#include <cwchar>
#include <new>
#include <optional>
#include <string>

namespace vuelco {
namespace {

// The root of the volume file is on, in the form GetDriveTypeW takes; nothing when it cannot
// be told. Wine's GetDriveTypeW knows a drive's root only without the verbatim prefix that
// GetFinalPathNameByHandleW puts before it: with it, a network drive is said to be fixed.
std::optional<std::wstring> volumeRootOf(HANDLE file)
{
    const Win32Calls &calls = win32Calls();
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = calls.getFinalPathNameByHandle(file, path.data(), static_cast<DWORD>(path.size()), VOLUME_NAME_DOS);
    if (length >= path.size()) {
        path.resize(length);
        length = calls.getFinalPathNameByHandle(file, path.data(), static_cast<DWORD>(path.size()), VOLUME_NAME_DOS);
    }
    if (length == 0 || length >= path.size())
        return std::nullopt;
    path.resize(length);
    std::wstring root(path.size() + 1, L'\0');
    if (!calls.getVolumePathName(path.c_str(), root.data(), static_cast<DWORD>(root.size())))
        return std::nullopt;
    root.resize(std::wcslen(root.c_str()));
    const std::wstring verbatim = L"\\\\?\\";
    if (root.size() == verbatim.size() + 3 && root.compare(0, verbatim.size(), verbatim) == 0 && root[5] == L':')
        root.erase(0, verbatim.size());
    return root;
}

} // namespace

// A file on a share is Unstable whatever the server's file system: the client makes its
// IDs up, or passes on the server's, which may be anything. Windows' own client says so of
// the handle; a network drive of Wine's only through its drive type, and names its file
// system NTFS. On a local volume only NTFS and ReFS keep a file's ID for its life; FAT's
// and exFAT's are positions in a folder.
FileNumbers fileNumbersOf(std::intptr_t handle) noexcept
{
    const HANDLE file = reinterpret_cast<HANDLE>(handle);
    FILE_REMOTE_PROTOCOL_INFO remote{};
    if (win32Calls().getFileInformationByHandleEx(file, FileRemoteProtocolInfo, &remote, sizeof remote))
        return FileNumbers::Unstable;
    try {
        const std::optional<std::wstring> root = volumeRootOf(file);
        if (!root || win32Calls().getDriveType(root->c_str()) == DRIVE_REMOTE)
            return FileNumbers::Unstable;
    } catch (const std::bad_alloc &) {
        return FileNumbers::Unstable;
    }
    std::array<wchar_t, MAX_PATH + 1> name{};
    if (!win32Calls().getFileSystemByHandle(file, nullptr, 0, nullptr, nullptr, nullptr, name.data(),
                                            static_cast<DWORD>(name.size())))
        return FileNumbers::Unstable;
    const bool keepsIds = std::wcscmp(name.data(), L"NTFS") == 0 || std::wcscmp(name.data(), L"ReFS") == 0;
    return keepsIds ? FileNumbers::Stable : FileNumbers::Unstable;
}

} // namespace vuelco
