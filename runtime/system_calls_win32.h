#pragma once

#include "runtime/api_win32.h"
#include "runtime/scoped_replacement.h"

namespace vuelco {

// Every Win32 call the file layer and its folders make goes through this table, so that a test can
// make any one of them fail with a chosen error or fall short, and see them in order.
struct Win32Calls {
    HANDLE(WINAPI *createFile)(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                               DWORD disposition, DWORD flags, HANDLE pattern);
    BOOL(WINAPI *readFile)(HANDLE file, LPVOID buffer, DWORD count, LPDWORD got, LPOVERLAPPED at);
    BOOL(WINAPI *writeFile)(HANDLE file, LPCVOID buffer, DWORD count, LPDWORD put, LPOVERLAPPED at);
    BOOL(WINAPI *flushFileBuffers)(HANDLE file);
    DWORD(WINAPI *getFileType)(HANDLE file);
    BOOL(WINAPI *getFileInformationByHandle)(HANDLE file, LPBY_HANDLE_FILE_INFORMATION information);
    BOOL(WINAPI *lockFileEx)(HANDLE file, DWORD flags, DWORD reserved, DWORD countLow, DWORD countHigh,
                             LPOVERLAPPED at);
    BOOL(WINAPI *unlockFileEx)(HANDLE file, DWORD reserved, DWORD countLow, DWORD countHigh, LPOVERLAPPED at);
    BOOL(WINAPI *closeHandle)(HANDLE file);
    HANDLE(WINAPI *reOpenFile)(HANDLE original, DWORD access, DWORD share, DWORD flags);
    // GetVolumeInformationByHandleW, only ever asked for the volume's flags.
    BOOL(WINAPI *getVolumeInformationByHandle)(HANDLE file, LPWSTR volumeName, DWORD volumeNameSize,
                                               LPDWORD serialNumber, LPDWORD longestName, LPDWORD flags,
                                               LPWSTR fileSystemName, DWORD fileSystemNameSize);
    // GetVolumeInformationByHandleW again, only ever asked the file system's name, and
    // GetFileInformationByHandleEx, asked whether the file is on a remote share (what the
    // file system promises of its file IDs) and for a folder's entries.
    BOOL(WINAPI *getFileSystemByHandle)(HANDLE file, LPWSTR volumeName, DWORD volumeNameSize, LPDWORD serialNumber,
                                        LPDWORD longestName, LPDWORD flags, LPWSTR fileSystemName,
                                        DWORD fileSystemNameSize);
    BOOL(WINAPI *getFileInformationByHandleEx)(HANDLE file, FILE_INFO_BY_HANDLE_CLASS kind, LPVOID information,
                                               DWORD size);
    // GetFinalPathNameByHandleW, GetVolumePathNameW and GetDriveTypeW: whether the file's
    // drive is a network one, which is all a network drive of Wine's says of itself.
    DWORD(WINAPI *getFinalPathNameByHandle)(HANDLE file, LPWSTR path, DWORD size, DWORD flags);
    BOOL(WINAPI *getVolumePathName)(LPCWSTR path, LPWSTR root, DWORD size);
    UINT(WINAPI *getDriveType)(LPCWSTR root);
};

// The table of the real calls.
[[nodiscard]] const Win32Calls &realWin32Calls() noexcept;
// The table in use, the real one unless a test put another in place.
[[nodiscard]] const Win32Calls &win32Calls() noexcept;

// Puts a table in place for its lifetime and restores the previous one after.
class ScopedWin32Calls : public ScopedReplacement<const Win32Calls> {
public:
    explicit ScopedWin32Calls(const Win32Calls &calls) noexcept;
};

} // namespace vuelco
