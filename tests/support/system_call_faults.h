#pragma once

// The faults a test plans on the file layer's system calls, said once for both systems
// and bound here to each one's calls and error numbers, so that one table of cases runs
// on Linux (FakePosixCalls) and on Windows (FakeWin32Calls).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#ifdef _WIN32
#include "fake_win32_calls.h"
#else
#include "fake_posix_calls.h"
#include <cerrno>
#endif

namespace vuelco {

// A device error, a full disk, a device gone read-only, an interruption (Linux only), a
// read or write that moves half its bytes.
enum class Fault : std::uint8_t { None, DeviceIo, DiskFull, ReadOnlyDevice, Interrupted, Short };

#ifdef _WIN32
using FakeCalls = FakeWin32Calls;
#else
using FakeCalls = FakePosixCalls;
#endif
using Call = FakeCalls::Call;
using Record = FakeCalls::Record;
using Twist = FakeCalls::Twist;

struct SystemCalls {
    Call open;
    Call close;
    Call write;
    Call flush;
    // A conversion's calls, from the open to the close, as nameOf() spells them.
    std::vector<std::string> conversion;
};

#ifdef _WIN32

// The file is opened, described, locked, read, written and flushed; then its identity is
// compared with the one the path names now (a no-access open, described and closed).
inline const SystemCalls kSystemCalls{
    Call::CreateFile,
    Call::CloseHandle,
    Call::WriteFile,
    Call::FlushFileBuffers,
    {"CreateFileW", "GetFileType", "GetFileInformationByHandle", "LockFileEx", "ReadFile", "WriteFile",
     "FlushFileBuffers", "GetFileInformationByHandle", "CreateFileW", "GetFileInformationByHandle", "CloseHandle",
     "CloseHandle"},
};

inline const char *nameOf(Call call)
{
    switch (call) {
    case Call::CreateFile: return "CreateFileW";
    case Call::ReadFile: return "ReadFile";
    case Call::WriteFile: return "WriteFile";
    case Call::FlushFileBuffers: return "FlushFileBuffers";
    case Call::GetFileType: return "GetFileType";
    case Call::GetFileInformation: return "GetFileInformationByHandle";
    case Call::LockFileEx: return "LockFileEx";
    case Call::CloseHandle: return "CloseHandle";
    }
    return "?";
}

inline bool canFallShort(Call call) { return call == Call::ReadFile || call == Call::WriteFile; }

// Windows has no interrupted calls.
inline bool canBeInterrupted(Call) { return false; }

// The close of the handle that only looked up the path's identity (the one before the
// file's own close): it wrote nothing and held nothing, so its failure changes nothing.
inline bool failureGoesUnnoticed(const std::vector<Record> &calls, std::size_t at)
{
    return calls[at].call == Call::CloseHandle && at + 1 < calls.size() && calls[at + 1].call == Call::CloseHandle;
}

inline Twist twistFor(Fault fault, const Record &call)
{
    switch (fault) {
    case Fault::None: return {};
    case Fault::DeviceIo: return {ERROR_IO_DEVICE};
    case Fault::DiskFull: return {ERROR_DISK_FULL};
    case Fault::ReadOnlyDevice: return {ERROR_WRITE_PROTECT};
    case Fault::Interrupted: return {};
    case Fault::Short: return {0, call.size > 1 ? call.size / 2 : SIZE_MAX};
    }
    return {};
}

#else

inline const SystemCalls kSystemCalls{
    Call::Open,
    Call::Close,
    Call::Pwrite,
    Call::Fsync,
    {"open", "fstat", "lock", "pread", "pwrite", "fsync", "fstat", "stat", "close"},
};

inline const char *nameOf(Call call)
{
    switch (call) {
    case Call::Open: return "open";
    case Call::Pread: return "pread";
    case Call::Pwrite: return "pwrite";
    case Call::Fstat: return "fstat";
    case Call::Stat: return "stat";
    case Call::Fsync: return "fsync";
    case Call::Lock: return "lock";
    case Call::Close: return "close";
    }
    return "?";
}

inline bool canFallShort(Call call) { return call == Call::Pread || call == Call::Pwrite; }

// fstat and stat never wait for anything.
inline bool canBeInterrupted(Call call) { return call != Call::Fstat && call != Call::Stat; }

inline bool failureGoesUnnoticed(const std::vector<Record> &, std::size_t) { return false; }

inline Twist twistFor(Fault fault, const Record &call)
{
    switch (fault) {
    case Fault::None: return {};
    case Fault::DeviceIo: return {EIO};
    case Fault::DiskFull: return {ENOSPC};
    case Fault::ReadOnlyDevice: return {EROFS};
    case Fault::Interrupted: return {EINTR};
    case Fault::Short: return {0, call.size > 1 ? call.size / 2 : SIZE_MAX};
    }
    return {};
}

#endif

} // namespace vuelco
