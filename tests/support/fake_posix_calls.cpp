#include "fake_posix_calls.h"

#include <algorithm>
#include <cerrno>
#include <stdexcept>

using vuelco::realPosixCalls;

namespace {

// The table holds plain function pointers, so they find the fake in place through here.
FakePosixCalls *gFake = nullptr;

// Runs a call that takes no byte count: as planned to fail, or for real.
template <class Real>
int failOrRun(const FakePosixCalls::Twist &twist, Real real)
{
    if (twist.error != 0) {
        errno = twist.error;
        return -1;
    }
    return real();
}

// Runs a pread or pwrite: as planned to fail, to move no byte, to fall short, or for real.
template <class Real>
ssize_t transfer(const FakePosixCalls::Twist &twist, size_t count, Real real)
{
    if (twist.error != 0) {
        errno = twist.error;
        return -1;
    }
    if (twist.atMost == 0)
        return 0;
    return real(std::min(count, twist.atMost));
}

} // namespace

const vuelco::PosixCalls FakePosixCalls::kTable{
    FakePosixCalls::open, FakePosixCalls::pread, FakePosixCalls::pwrite, FakePosixCalls::fstat,
    FakePosixCalls::stat, FakePosixCalls::fsync, FakePosixCalls::lock, FakePosixCalls::close,
};

FakePosixCalls::FakePosixCalls() : mScope(kTable)
{
    if (gFake != nullptr)
        throw std::logic_error("only one FakePosixCalls at a time");
    gFake = this;
}

FakePosixCalls::~FakePosixCalls() { gFake = nullptr; }

std::size_t FakePosixCalls::count(Call call) const
{
    return static_cast<std::size_t>(
        std::count_if(mTrace.begin(), mTrace.end(), [call](const Record &record) { return record.call == call; }));
}

std::vector<FakePosixCalls::Record> FakePosixCalls::accesses(Call call) const
{
    std::vector<Record> found;
    std::copy_if(mTrace.begin(), mTrace.end(), std::back_inserter(found),
                 [call](const Record &record) { return record.call == call; });
    return found;
}

FakePosixCalls::Twist FakePosixCalls::enter(const Record &call)
{
    gFake->mTrace.push_back(call);
    return gFake->mPlan ? gFake->mPlan(call, gFake->mTrace.size() - 1) : Twist{};
}

int FakePosixCalls::open(const char *path, int flags, mode_t mode)
{
    const int fd = failOrRun(enter({Call::Open}), [&] { return realPosixCalls().open(path, flags, mode); });
    if (fd >= 0)
        ++gFake->mOpenDescriptors;
    return fd;
}

ssize_t FakePosixCalls::pread(int fd, void *buffer, size_t count, off_t offset)
{
    return transfer(enter({Call::Pread, offset, count}), count,
                    [&](size_t size) { return realPosixCalls().pread(fd, buffer, size, offset); });
}

ssize_t FakePosixCalls::pwrite(int fd, const void *buffer, size_t count, off_t offset)
{
    return transfer(enter({Call::Pwrite, offset, count}), count,
                    [&](size_t size) { return realPosixCalls().pwrite(fd, buffer, size, offset); });
}

int FakePosixCalls::fstat(int fd, struct stat *status)
{
    return failOrRun(enter({Call::Fstat}), [&] { return realPosixCalls().fstat(fd, status); });
}

int FakePosixCalls::stat(const char *path, struct stat *status)
{
    return failOrRun(enter({Call::Stat}), [&] { return realPosixCalls().stat(path, status); });
}

int FakePosixCalls::fsync(int fd)
{
    return failOrRun(enter({Call::Fsync}), [&] { return realPosixCalls().fsync(fd); });
}

int FakePosixCalls::lock(int fd, int command, struct flock *range)
{
    return failOrRun(enter({Call::Lock}), [&] { return realPosixCalls().lock(fd, command, range); });
}

// A failed close still releases the descriptor on Linux, so a planned failure closes it too.
int FakePosixCalls::close(int fd)
{
    const Twist twist = enter({Call::Close});
    const int result = realPosixCalls().close(fd);
    if (result == 0)
        --gFake->mOpenDescriptors;
    return failOrRun(twist, [result] { return result; });
}
