#include "runtime/system_calls_win32.h"

namespace vuelco {
namespace {

const Win32Calls kRealCalls{
    ::CreateFileW, ::ReadFile,     ::WriteFile,   ::FlushFileBuffers, ::GetFileType, ::GetFileInformationByHandle,
    ::LockFileEx,  ::UnlockFileEx, ::CloseHandle, ::ReOpenFile,       ::GetVolumeInformationByHandleW,
    ::GetVolumeInformationByHandleW, ::GetFileInformationByHandleEx, ::GetFinalPathNameByHandleW,
    ::GetVolumePathNameW,            ::GetDriveTypeW,
};

const Win32Calls *gCurrent = &kRealCalls;

} // namespace

const Win32Calls &realWin32Calls() noexcept { return kRealCalls; }

const Win32Calls &win32Calls() noexcept { return *gCurrent; }

ScopedWin32Calls::ScopedWin32Calls(const Win32Calls &calls) noexcept : ScopedReplacement(gCurrent, calls) {}

} // namespace vuelco
