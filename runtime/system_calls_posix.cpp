#include "runtime/system_calls_posix.h"

#include <fcntl.h>
#include <unistd.h>

namespace vuelco {
namespace {

int realOpen(int folder, const char *name, int flags, mode_t mode) { return ::openat(folder, name, flags, mode); }

int realLock(int fd, int command, struct flock *range) { return ::fcntl(fd, command, range); }

const PosixCalls kRealCalls{
    realOpen, ::pread, ::pwrite, ::fstat, ::fstatat, ::faccessat, ::fstatvfs, ::fstatfs, ::fsync, realLock, ::close,
};

const PosixCalls *gCurrent = &kRealCalls;

} // namespace

const PosixCalls &realPosixCalls() noexcept { return kRealCalls; }

const PosixCalls &posixCalls() noexcept { return *gCurrent; }

ScopedPosixCalls::ScopedPosixCalls(const PosixCalls &calls) noexcept : ScopedReplacement(gCurrent, calls) {}

} // namespace vuelco
