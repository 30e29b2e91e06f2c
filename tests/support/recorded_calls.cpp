#include "recorded_calls.h"

#include <cerrno>

namespace {

RecordedCalls *gLog = nullptr;

int recordOpen(const char *path, int flags, mode_t mode)
{
    const int fd = vuelco::realPosixCalls().open(path, flags, mode);
    if (fd >= 0)
        ++gLog->opens;
    return fd;
}

ssize_t recordPread(int fd, void *buffer, size_t count, off_t offset)
{
    gLog->reads.push_back({offset, count});
    return vuelco::realPosixCalls().pread(fd, buffer, count, offset);
}

ssize_t recordPwrite(int fd, const void *buffer, size_t count, off_t offset)
{
    gLog->writes.push_back({offset, count});
    return vuelco::realPosixCalls().pwrite(fd, buffer, count, offset);
}

int recordFsync(int fd)
{
    ++gLog->flushes;
    return vuelco::realPosixCalls().fsync(fd);
}

int recordClose(int fd)
{
    ++gLog->closes;
    return vuelco::realPosixCalls().close(fd);
}

const vuelco::PosixCalls kRecording{
    recordOpen, recordPread, recordPwrite, vuelco::realPosixCalls().fstat, vuelco::realPosixCalls().stat,
    recordFsync, recordClose,
};

} // namespace

RecordedCalls::RecordedCalls() : mScope(kRecording) { gLog = this; }

RecordedCalls::~RecordedCalls() { gLog = nullptr; }
