#pragma once

#include "runtime/posix_calls.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

// The one stand-in for the file layer's system calls. While it lives, every call runs
// for real and is written down in order; a test may plan, call by call, that one fails,
// falls short or makes no progress instead, or throw from the plan to see what escapes.
class FakePosixCalls {
public:
    enum class Call : std::uint8_t { Open, Pread, Pwrite, Fstat, Stat, Fsync, Lock, Close };

    // One call as it was asked for; offset and size only for pread and pwrite.
    struct Record {
        Call call;
        off_t offset = 0;
        std::size_t size = 0;
    };

    // What a call does instead of running plainly.
    struct Twist {
        int error = 0;                   // fails with this errno; a close still releases its descriptor
        std::size_t atMost = SIZE_MAX;   // pread, pwrite: moves at most this many bytes (0: none)
    };

    // Decides each call's twist from the call and its place in the trace, counted from 0.
    using Plan = std::function<Twist(const Record &call, std::size_t index)>;

    FakePosixCalls();
    FakePosixCalls(const FakePosixCalls &) = delete;
    FakePosixCalls &operator=(const FakePosixCalls &) = delete;
    ~FakePosixCalls();

    void plan(Plan plan) { mPlan = std::move(plan); }

    [[nodiscard]] const std::vector<Record> &trace() const { return mTrace; }
    [[nodiscard]] std::size_t count(Call call) const;
    // The preads or pwrites, in order.
    [[nodiscard]] std::vector<Record> accesses(Call call) const;
    // Descriptors opened and not closed yet.
    [[nodiscard]] int openDescriptors() const { return mOpenDescriptors; }

private:
    static int open(const char *path, int flags, mode_t mode);
    static ssize_t pread(int fd, void *buffer, size_t count, off_t offset);
    static ssize_t pwrite(int fd, const void *buffer, size_t count, off_t offset);
    static int fstat(int fd, struct stat *status);
    static int stat(const char *path, struct stat *status);
    static int fsync(int fd);
    static int lock(int fd, int command, struct flock *range);
    static int close(int fd);
    static const vuelco::PosixCalls kTable;

    // Writes the call down and tells what to do with it.
    static Twist enter(const Record &call);

    Plan mPlan;
    std::vector<Record> mTrace;
    int mOpenDescriptors = 0;
    vuelco::ScopedPosixCalls mScope;
};
