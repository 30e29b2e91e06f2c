#include "runtime/system_calls_posix.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace vuelco {
namespace {

int realOpen(int folder, const char *name, int flags, mode_t mode) { return ::openat(folder, name, flags, mode); }

int realLock(int fd, int command, struct flock *range) { return ::fcntl(fd, command, range); }

DIR *realOpenListing(int folder)
{
    const int copy = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
    DIR *listing = copy < 0 ? nullptr : ::fdopendir(copy);
    if (listing == nullptr && copy >= 0) {
        const int error = errno;
        ::close(copy);
        errno = error;
    }
    return listing;
}

const PosixCalls kRealCalls{
    realOpen, ::pread,    ::pwrite, ::fstat,         ::fstatat,     ::statx,    ::faccessat, ::fstatvfs,
    ::fstatfs, ::fsync,   realLock, ::close,         realOpenListing, ::readdir, ::closedir,
};

const PosixCalls *gCurrent = &kRealCalls;

} // namespace

const PosixCalls &realPosixCalls() noexcept { return kRealCalls; }

const PosixCalls &posixCalls() noexcept { return *gCurrent; }

ScopedPosixCalls::ScopedPosixCalls(const PosixCalls &calls) noexcept : ScopedReplacement(gCurrent, calls) {}

} // namespace vuelco
