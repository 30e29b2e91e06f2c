#pragma once

#include "runtime/scoped_replacement.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/types.h>
#include <sys/vfs.h>

namespace vuelco {

// Every system call the file layer and its folders make on files and folders goes
// through this table, so that a test can make any one of them fail, be interrupted or
// fall short, and count how often each runs. Names are looked up relative to a folder:
// AT_FDCWD for a path, or the descriptor of a folder a walk holds open.
struct PosixCalls {
    // openat
    int (*open)(int folder, const char *name, int flags, mode_t mode);
    ssize_t (*pread)(int fd, void *buffer, size_t count, off_t offset);
    ssize_t (*pwrite)(int fd, const void *buffer, size_t count, off_t offset);
    int (*fstat)(int fd, struct stat *status);
    // fstatat
    int (*stat)(int folder, const char *name, struct stat *status, int flags);
    // statx, only ever asked an entry's identity and whether something is mounted on it.
    int (*statx)(int folder, const char *name, int flags, unsigned int mask, struct statx *status);
    // faccessat, only ever asked whether a file could be opened for writing.
    int (*access)(int folder, const char *name, int mode, int flags);
    // fstatvfs, only ever asked whether the file system is mounted read-only.
    int (*fileSystemStat)(int fd, struct statvfs *status);
    // fstatfs, only ever asked the file system's type.
    int (*fileSystemKind)(int fd, struct statfs *status);
    int (*fsync)(int fd);
    // fcntl, only ever asked to take a lock (F_OFD_SETLK).
    int (*lock)(int fd, int command, struct flock *range);
    int (*close)(int fd);
    // A listing of the open folder that reads through a copy of its descriptor (fcntl's
    // F_DUPFD_CLOEXEC, then fdopendir), so that closing it leaves the folder's own open.
    DIR *(*openListing)(int folder);
    // readdir: the next entry, or null at the end and on a failure (errno tells which).
    // readdir_r is deprecated: readdir is safe on a stream no other thread reads.
    dirent *(*readEntry)(DIR *listing);
    // closedir
    int (*closeListing)(DIR *listing);
};

// The table of the real calls.
[[nodiscard]] const PosixCalls &realPosixCalls() noexcept;
// The table in use, the real one unless a test put another in place.
[[nodiscard]] const PosixCalls &posixCalls() noexcept;

// Puts a table in place for its lifetime and restores the previous one after.
class ScopedPosixCalls : public ScopedReplacement<const PosixCalls> {
public:
    explicit ScopedPosixCalls(const PosixCalls &calls) noexcept;
};

} // namespace vuelco
