#include "system_call_faults.h"

#include "runtime/system_calls_win32.h"

#include <algorithm>

using vuelco::realWin32Calls;

namespace {

// Runs a call that moves no bytes: as planned to fail, or for real.
template <class Real>
BOOL failOrRun(const Twist &twist, Real real)
{
    if (twist.error != 0) {
        SetLastError(static_cast<DWORD>(twist.error));
        return FALSE;
    }
    return real();
}

// Runs a ReadFile or WriteFile: as planned to fail, to move no byte, to fall short, or for real.
template <class Real>
BOOL transfer(const Twist &twist, DWORD count, LPDWORD moved, Real real)
{
    if (twist.error != 0) {
        SetLastError(static_cast<DWORD>(twist.error));
        return FALSE;
    }
    if (twist.atMost == 0) {
        *moved = 0;
        return TRUE;
    }
    return real(static_cast<DWORD>(std::min<std::size_t>(count, twist.atMost)));
}

std::uint64_t offsetOf(const OVERLAPPED *at)
{
    return at == nullptr ? 0 : (static_cast<std::uint64_t>(at->OffsetHigh) << 32) | at->Offset;
}

// Runs an open, CreateFileW or ReOpenFile: as planned to fail, or for real.
template <class Real>
HANDLE openOrFail(Real real)
{
    const Twist twist = FakeCalls::enter({Call::Open});
    if (twist.error != 0) {
        SetLastError(static_cast<DWORD>(twist.error));
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = real();
    if (handle != INVALID_HANDLE_VALUE)
        FakeCalls::countDescriptors(+1);
    return handle;
}

HANDLE WINAPI fakeCreateFile(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                             DWORD disposition, DWORD flags, HANDLE pattern)
{
    return openOrFail(
        [&] { return realWin32Calls().createFile(name, access, share, security, disposition, flags, pattern); });
}

HANDLE WINAPI fakeReOpenFile(HANDLE original, DWORD access, DWORD share, DWORD flags)
{
    return openOrFail([&] { return realWin32Calls().reOpenFile(original, access, share, flags); });
}

BOOL WINAPI fakeReadFile(HANDLE file, LPVOID buffer, DWORD count, LPDWORD got, LPOVERLAPPED at)
{
    return transfer(FakeCalls::enter({Call::Read, offsetOf(at), count}), count, got,
                    [&](DWORD size) { return realWin32Calls().readFile(file, buffer, size, got, at); });
}

BOOL WINAPI fakeWriteFile(HANDLE file, LPCVOID buffer, DWORD count, LPDWORD put, LPOVERLAPPED at)
{
    return transfer(FakeCalls::enter({Call::Write, offsetOf(at), count}), count, put,
                    [&](DWORD size) { return realWin32Calls().writeFile(file, buffer, size, put, at); });
}

BOOL WINAPI fakeFlushFileBuffers(HANDLE file)
{
    return failOrRun(FakeCalls::enter({Call::Flush}), [&] { return realWin32Calls().flushFileBuffers(file); });
}

// A failing GetFileType answers "unknown" and leaves its error to GetLastError.
DWORD WINAPI fakeGetFileType(HANDLE file)
{
    const Twist twist = FakeCalls::enter({Call::GetFileType});
    if (twist.error != 0) {
        SetLastError(static_cast<DWORD>(twist.error));
        return FILE_TYPE_UNKNOWN;
    }
    return realWin32Calls().getFileType(file);
}

BOOL WINAPI fakeGetFileInformation(HANDLE file, LPBY_HANDLE_FILE_INFORMATION information)
{
    return failOrRun(FakeCalls::enter({Call::GetFileInformation}),
                     [&] { return realWin32Calls().getFileInformationByHandle(file, information); });
}

BOOL WINAPI fakeGetVolumeInformation(HANDLE file, LPWSTR volumeName, DWORD volumeNameSize, LPDWORD serialNumber,
                                     LPDWORD longestName, LPDWORD flags, LPWSTR fileSystemName, DWORD fileSystemNameSize)
{
    return failOrRun(FakeCalls::enter({Call::GetFileInformation}), [&] {
        return realWin32Calls().getVolumeInformationByHandle(file, volumeName, volumeNameSize, serialNumber,
                                                             longestName, flags, fileSystemName, fileSystemNameSize);
    });
}

BOOL WINAPI fakeLockFileEx(HANDLE file, DWORD flags, DWORD reserved, DWORD countLow, DWORD countHigh, LPOVERLAPPED at)
{
    return failOrRun(FakeCalls::enter({Call::Lock}), [&] {
        return realWin32Calls().lockFileEx(file, flags, reserved, countLow, countHigh, at);
    });
}

BOOL WINAPI fakeUnlockFileEx(HANDLE file, DWORD reserved, DWORD countLow, DWORD countHigh, LPOVERLAPPED at)
{
    return failOrRun(FakeCalls::enter({Call::Lock}),
                     [&] { return realWin32Calls().unlockFileEx(file, reserved, countLow, countHigh, at); });
}

// A handle whose close is planned to fail is closed all the same, so that no test leaks it.
BOOL WINAPI fakeCloseHandle(HANDLE file)
{
    const Twist twist = FakeCalls::enter({Call::Close});
    const BOOL closed = realWin32Calls().closeHandle(file);
    if (closed)
        FakeCalls::countDescriptors(-1);
    return failOrRun(twist, [closed] { return closed; });
}

const vuelco::Win32Calls kTable{
    fakeCreateFile,  fakeReadFile,           fakeWriteFile,    fakeFlushFileBuffers,
    fakeGetFileType, fakeGetFileInformation, fakeLockFileEx,   fakeUnlockFileEx,
    fakeCloseHandle, fakeReOpenFile,         fakeGetVolumeInformation,
    // What the file system promises is asked as it is: the faults are those of the file.
    realWin32Calls().getFileSystemByHandle, realWin32Calls().getFileInformationByHandleEx,
    realWin32Calls().getFinalPathNameByHandle, realWin32Calls().getVolumePathName, realWin32Calls().getDriveType,
};

} // namespace

std::shared_ptr<void> FakeCalls::putInPlace() { return std::make_shared<vuelco::ScopedWin32Calls>(kTable); }

// The lock is taken on two ranges (the header and a byte past any end); under it the
// file is read, written and flushed; then its identity is compared with
// the one the path names now (a no-access open, described and closed).
const SystemCalls kSystemCalls{
    {"CreateFileW", "ReadFile", "WriteFile", "FlushFileBuffers", "LockFileEx", "CloseHandle", "", "", "GetFileType",
     "GetFileInformationByHandle"},
    ERROR_IO_DEVICE,
    ERROR_DISK_FULL,
    ERROR_WRITE_PROTECT,
    0,
    0,
    ERROR_ACCESS_DENIED,
    Call::GetFileType,
    std::nullopt,
    2,
    false,
    {Call::Lock, Call::Lock, Call::Read, Call::Write, Call::Flush, Call::Open, Call::GetFileInformation, Call::Close,
     Call::Close},
    // The numbers the handlers answer to: 75 gets the convert button's read-only message,
    // 68 the chooser's retry question; a file another program keeps to itself is 70, which
    // the user sees in the generic box with its number.
    {{"accessDeniedForUpdate", ERROR_ACCESS_DENIED, true, 75},
     {"accessDeniedForReading", ERROR_ACCESS_DENIED, false, 70},
     {"writeProtectedMedium", ERROR_WRITE_PROTECT, true, 75},
     {"heldWithoutSharing", ERROR_SHARING_VIOLATION, true, 70},
     {"lockedRange", ERROR_LOCK_VIOLATION, true, 70},
     {"fileNotFound", ERROR_FILE_NOT_FOUND, false, 53},
     {"pathNotFound", ERROR_PATH_NOT_FOUND, false, 76},
     {"shareGone", ERROR_BAD_NET_NAME, false, 76},
     {"driveNotReady", ERROR_NOT_READY, false, 68},
     {"invalidName", ERROR_INVALID_NAME, false, 52},
     {"nameTooLong", ERROR_FILENAME_EXCED_RANGE, false, 52, "El nombre o la ruta del archivo es demasiado largo"},
     {"diskFull", ERROR_DISK_FULL, true, 61},
     {"shareLost", ERROR_NETNAME_DELETED, false, 57, "Error del sistema 64 (se perdió la conexión con la carpeta de red)"},
     {"unknownToTheTable", 9999, false, 57, "Error del sistema 9999"}},
};
