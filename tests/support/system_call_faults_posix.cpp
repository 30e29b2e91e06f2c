#include "system_call_faults.h"

#include "runtime/system_calls_posix.h"

#include <algorithm>
#include <cerrno>

using vuelco::realPosixCalls;

namespace {

// Runs a call that takes no byte count: as planned to fail, or for real.
template <class Real>
int failOrRun(const Twist &twist, Real real)
{
    if (twist.error != 0) {
        errno = twist.error;
        return -1;
    }
    return real();
}

// Runs a pread or pwrite: as planned to fail, to move no byte, to fall short, or for real.
template <class Real>
ssize_t transfer(const Twist &twist, size_t count, Real real)
{
    if (twist.error != 0) {
        errno = twist.error;
        return -1;
    }
    if (twist.atMost == 0)
        return 0;
    return real(std::min(count, twist.atMost));
}

int fakeOpen(int folder, const char *name, int flags, mode_t mode)
{
    const int fd =
        failOrRun(FakeCalls::enter({Call::Open}), [&] { return realPosixCalls().open(folder, name, flags, mode); });
    if (fd >= 0)
        FakeCalls::countDescriptors(+1);
    return fd;
}

ssize_t fakePread(int fd, void *buffer, size_t count, off_t offset)
{
    return transfer(FakeCalls::enter({Call::Read, static_cast<std::uint64_t>(offset), count}), count,
                    [&](size_t size) { return realPosixCalls().pread(fd, buffer, size, offset); });
}

ssize_t fakePwrite(int fd, const void *buffer, size_t count, off_t offset)
{
    return transfer(FakeCalls::enter({Call::Write, static_cast<std::uint64_t>(offset), count}), count,
                    [&](size_t size) { return realPosixCalls().pwrite(fd, buffer, size, offset); });
}

int fakeFstat(int fd, struct stat *status)
{
    return failOrRun(FakeCalls::enter({Call::Fstat}), [&] { return realPosixCalls().fstat(fd, status); });
}

int fakeStat(int folder, const char *name, struct stat *status, int flags)
{
    return failOrRun(FakeCalls::enter({Call::Stat}),
                     [&] { return realPosixCalls().stat(folder, name, status, flags); });
}

// Asking whether a name may be written is a look at it, like stat.
int fakeAccess(int folder, const char *name, int mode, int flags)
{
    return failOrRun(FakeCalls::enter({Call::Stat}),
                     [&] { return realPosixCalls().access(folder, name, mode, flags); });
}

int fakeFileSystemStat(int fd, struct statvfs *status)
{
    return failOrRun(FakeCalls::enter({Call::Fstat}), [&] { return realPosixCalls().fileSystemStat(fd, status); });
}

int fakeFsync(int fd)
{
    return failOrRun(FakeCalls::enter({Call::Flush}), [&] { return realPosixCalls().fsync(fd); });
}

int fakeLock(int fd, int command, struct flock *range)
{
    return failOrRun(FakeCalls::enter({Call::Lock}), [&] { return realPosixCalls().lock(fd, command, range); });
}

// A failed close still releases the descriptor on Linux, so a planned failure closes it too.
int fakeClose(int fd)
{
    const Twist twist = FakeCalls::enter({Call::Close});
    const int result = realPosixCalls().close(fd);
    if (result == 0)
        FakeCalls::countDescriptors(-1);
    return failOrRun(twist, [result] { return result; });
}

// The file system's type, a mount's identity and a folder's listing are asked as they are:
// the faults are those of the calls on the file.
const vuelco::PosixCalls kTable{fakeOpen, fakePread, fakePwrite, fakeFstat, fakeStat, ::statx, fakeAccess,
    fakeFileSystemStat, ::fstatfs, fakeFsync, fakeLock, fakeClose, realPosixCalls().openListing, ::readdir, ::closedir};

} // namespace

std::shared_ptr<void> FakeCalls::putInPlace() { return std::make_shared<vuelco::ScopedPosixCalls>(kTable); }

// Under the lock the file is read, written and flushed; then what its path names now is
// looked up and compared with it.
const SystemCalls kSystemCalls{
    {"open", "pread", "pwrite", "fsync", "lock", "close", "fstat", "stat", "", ""},
    EIO,
    ENOSPC,
    EROFS,
    EINTR,
    ENOLCK,
    EACCES,
    Call::Fstat,
    Call::Stat,
    1,
    true,
    {Call::Lock, Call::Read, Call::Write, Call::Flush, Call::Stat, Call::Close},
    {{"eaccesOnRead", EACCES, false, 70},
     {"eaccesOnUpdate", EACCES, true, 75},
     {"epermOnUpdate", EPERM, true, 75},
     {"erofsOnUpdate", EROFS, true, 75},
     {"emfile", EMFILE, false, 67},
     {"enfile", ENFILE, true, 67},
     {"eio", EIO, true, 57},
     {"enospc", ENOSPC, true, 61},
     {"enxio", ENXIO, false, 68},
     {"enoent", ENOENT, false, 53},
     {"enotdir", ENOTDIR, false, 76},
     {"ebusy", EBUSY, true, 70},
     {"enametoolong", ENAMETOOLONG, false, 52, "El nombre o la ruta del archivo es demasiado largo"},
     {"estale", ESTALE, false, 57, "Error del sistema 116 (identificador de archivo caducado; vuelva a montar la unidad)"},
     {"unknownToTheTable", 200, false, 57, "Error del sistema 200"}},
};
