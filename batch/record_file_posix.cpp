#include "batch/record_file.h"

#include "runtime/interrupted_posix.h"
#include "runtime/system_calls_posix.h"
#include "runtime/system_errors_posix.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace vuelco::batch {

RecordFile::~RecordFile()
{
    if (isOpen())
        posixCalls().close(static_cast<int>(mHandle));
}

bool RecordFile::create(const std::filesystem::path &path)
{
    mPath = path;
    // O_EXCL: an existing name, a symbolic link to anywhere included, is refused.
    const int fd = askAgainWhenInterrupted([&path] {
        return posixCalls().open(AT_FDCWD, path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    });
    if (fd < 0) {
        if (errno == EEXIST)
            return false;
        throw failureFromErrno(errno, true, path);
    }
    mHandle = fd;
    return true;
}

void RecordFile::write(std::string_view text)
{
    const int fd = static_cast<int>(mHandle);
    while (!text.empty()) {
        const ssize_t put = askAgainWhenInterrupted([fd, text] { return ::write(fd, text.data(), text.size()); });
        if (put <= 0)
            throw failureFromErrno(put < 0 ? errno : EIO, false, mPath);
        text.remove_prefix(static_cast<std::size_t>(put));
    }
}

void RecordFile::flush()
{
    const int fd = static_cast<int>(mHandle);
    if (askAgainWhenInterrupted([fd] { return posixCalls().fsync(fd); }) != 0)
        throw failureFromErrno(errno, false, mPath);
}

} // namespace vuelco::batch
