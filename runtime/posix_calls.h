#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

namespace vuelco {

// Every system call the file layer makes goes through this table, so that a test can
// make any one of them fail, be interrupted or fall short, and count how often each runs.
struct PosixCalls {
    int (*open)(const char *path, int flags, mode_t mode);
    ssize_t (*pread)(int fd, void *buffer, size_t count, off_t offset);
    ssize_t (*pwrite)(int fd, const void *buffer, size_t count, off_t offset);
    int (*fstat)(int fd, struct stat *status);
    int (*stat)(const char *path, struct stat *status);
    int (*fsync)(int fd);
    // fcntl, only ever asked to take a lock (F_OFD_SETLK).
    int (*lock)(int fd, int command, struct flock *range);
    int (*close)(int fd);
};

// The table of the real calls.
[[nodiscard]] const PosixCalls &realPosixCalls() noexcept;
// The table in use, the real one unless a test put another in place.
[[nodiscard]] const PosixCalls &posixCalls() noexcept;

// Puts a table in place for its lifetime and restores the previous one after.
class ScopedPosixCalls {
public:
    explicit ScopedPosixCalls(const PosixCalls &calls) noexcept;
    ScopedPosixCalls(const ScopedPosixCalls &) = delete;
    ScopedPosixCalls &operator=(const ScopedPosixCalls &) = delete;
    ~ScopedPosixCalls();

private:
    const PosixCalls *mPrevious;
};

} // namespace vuelco
