#include "runtime/identity_policy.h"

#include "runtime/api_win32.h"
#include "runtime/system_calls_win32.h"

#include <array>
#include <cwchar>

namespace vuelco {

// A file on a share is Unstable whatever the server's file system: the client makes its
// IDs up, or passes on the server's, which may be anything. On a local volume only NTFS
// and ReFS keep a file's ID for its life; FAT's and exFAT's are positions in a folder.
FileNumbers fileNumbersOf(std::intptr_t handle) noexcept
{
    const HANDLE file = reinterpret_cast<HANDLE>(handle);
    FILE_REMOTE_PROTOCOL_INFO remote{};
    if (win32Calls().getFileInformationByHandleEx(file, FileRemoteProtocolInfo, &remote, sizeof remote))
        return FileNumbers::Unstable;
    std::array<wchar_t, MAX_PATH + 1> name{};
    if (!win32Calls().getFileSystemByHandle(file, nullptr, 0, nullptr, nullptr, nullptr, name.data(),
                                            static_cast<DWORD>(name.size())))
        return FileNumbers::Unstable;
    const bool keepsIds = std::wcscmp(name.data(), L"NTFS") == 0 || std::wcscmp(name.data(), L"ReFS") == 0;
    return keepsIds ? FileNumbers::Stable : FileNumbers::Unstable;
}

} // namespace vuelco
