#include "binary_file.h"

#include "failure.h"
#include "posix_calls.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <utility>

namespace vuelco {
namespace {

constexpr std::intptr_t kClosed = -1;

enum class Step { OpenForReading, OpenForUpdate, Read, Write, Flush, Close };

bool parentIsFolder(const std::filesystem::path &path)
{
    const auto parent = path.parent_path();
    struct stat status {};
    return parent.empty() || (posixCalls().stat(parent.c_str(), &status) == 0 && S_ISDIR(status.st_mode));
}

// Maps the system's error onto the program's failure numbers. Permission refused on a
// write open is what a file marked read-only gives, so it counts as ReadOnly; on a read
// open it stays PermissionDenied.
Failure failureFromErrno(int error, Step step, const std::filesystem::path &path)
{
    const auto standard = [&](FailureNumber number) {
        return Failure(number, standardDescription(number), path);
    };
    switch (error) {
    case ENOENT:
        return standard(parentIsFolder(path) ? FailureNumber::FileNotFound : FailureNumber::PathNotFound);
    case ENOTDIR:
    case ELOOP:
        return standard(FailureNumber::PathNotFound);
    case EACCES:
    case EPERM:
        return standard(step == Step::OpenForUpdate ? FailureNumber::ReadOnly : FailureNumber::PermissionDenied);
    case EROFS:
        return standard(FailureNumber::ReadOnly);
    case EBUSY:
    case ETXTBSY:
        return standard(FailureNumber::PermissionDenied);
    case ENAMETOOLONG:
        return Failure(FailureNumber::BadFileName, "El nombre o la ruta del archivo es demasiado largo", path);
    case EILSEQ:
    case EINVAL:
        return standard(FailureNumber::BadFileName);
    case ENOSPC:
    case EDQUOT:
        return standard(FailureNumber::DiskFull);
    case EMFILE:
    case ENFILE:
        return standard(FailureNumber::TooManyFiles);
    case ENODEV:
    case ENXIO:
    case ENOMEDIUM:
        return standard(FailureNumber::DeviceNotReady);
    case EIO:
        return standard(FailureNumber::DeviceIo);
    default:
        return Failure(FailureNumber::DeviceIo,
                       "Error del sistema " + std::to_string(error) + " (" + std::strerror(error) + ")", path);
    }
}

[[noreturn]] void fail(Step step, const std::filesystem::path &path)
{
    throw failureFromErrno(errno, step, path);
}

std::string kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "es una carpeta";
    if (S_ISFIFO(mode))
        return "es una tubería con nombre";
    if (S_ISSOCK(mode))
        return "es un socket";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "es un dispositivo";
    return "no es un archivo común";
}

// Opens without waiting: O_NONBLOCK keeps a pipe with no writer from hanging the
// window. The type is checked on the open handle, so nothing can swap it in between.
int openAskingAgainWhenInterrupted(const std::filesystem::path &path, int access)
{
    int fd;
    do {
        fd = posixCalls().open(path.c_str(), access | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

int openRegular(const std::filesystem::path &path, int access, Step step)
{
    int fd = openAskingAgainWhenInterrupted(path, access);
    if (fd < 0) {
        // A folder refuses a write open with EISDIR: describe it as on the read side.
        if (errno != EISDIR)
            fail(step, path);
        fd = openAskingAgainWhenInterrupted(path, O_RDONLY);
        if (fd < 0)
            fail(step, path);
    }

    struct stat status {};
    if (posixCalls().fstat(fd, &status) != 0) {
        const int error = errno;
        posixCalls().close(fd);
        throw failureFromErrno(error, step, path);
    }
    std::string refusal;
    auto number = FailureNumber::BadFileName;
    if (!S_ISREG(status.st_mode)) {
        refusal = "No se puede abrir: " + kindOf(status.st_mode);
    } else if (step == Step::OpenForUpdate && (status.st_mode & S_IWUSR) == 0) {
        number = FailureNumber::ReadOnly;
        refusal = standardDescription(number);
    }
    if (!refusal.empty()) {
        posixCalls().close(fd);
        throw Failure(number, refusal, path);
    }
    // O_NONBLOCK may stay set: reads and writes of a regular file never wait on it.
    return fd;
}

} // namespace

BinaryFile::BinaryFile(std::intptr_t handle, std::filesystem::path::string_type path) noexcept
    : mHandle(handle), mPath(std::move(path))
{
}

BinaryFile BinaryFile::openForReading(const std::filesystem::path &path)
{
    // The name is copied before the open, so no failure can come between it and the handle's owner.
    auto name = path.native();
    return BinaryFile(openRegular(path, O_RDONLY, Step::OpenForReading), std::move(name));
}

BinaryFile BinaryFile::openForUpdate(const std::filesystem::path &path)
{
    auto name = path.native();
    return BinaryFile(openRegular(path, O_RDWR, Step::OpenForUpdate), std::move(name));
}

BinaryFile::BinaryFile(BinaryFile &&other) noexcept
    : mHandle(std::exchange(other.mHandle, kClosed)), mPath(std::move(other.mPath))
{
}

BinaryFile &BinaryFile::operator=(BinaryFile &&other) noexcept
{
    if (this != &other) {
        if (mHandle != kClosed)
            posixCalls().close(static_cast<int>(mHandle));
        mHandle = std::exchange(other.mHandle, kClosed);
        mPath = std::move(other.mPath);
    }
    return *this;
}

BinaryFile::~BinaryFile()
{
    if (mHandle != kClosed)
        posixCalls().close(static_cast<int>(mHandle));
}

std::size_t BinaryFile::read(std::uint64_t offset, std::span<std::uint8_t> bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = posixCalls().pread(static_cast<int>(mHandle), bytes.data() + done,
                                               bytes.size() - done, static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            fail(Step::Read, mPath);
        }
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}

void BinaryFile::write(std::uint64_t offset, std::span<const std::uint8_t> bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t put = posixCalls().pwrite(static_cast<int>(mHandle), bytes.data() + done,
                                                bytes.size() - done, static_cast<off_t>(offset + done));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            fail(Step::Write, mPath);
        }
        if (put == 0) {
            errno = EIO;
            fail(Step::Write, mPath);
        }
        done += static_cast<std::size_t>(put);
    }
}

void BinaryFile::flush()
{
    // fsync is not restarted by SA_RESTART on every system; an interrupted one has not
    // failed, so it is simply asked again.
    int result;
    do {
        result = posixCalls().fsync(static_cast<int>(mHandle));
    } while (result != 0 && errno == EINTR);
    if (result != 0)
        fail(Step::Flush, mPath);
}

void BinaryFile::close()
{
    if (mHandle == kClosed)
        return;
    const int fd = static_cast<int>(std::exchange(mHandle, kClosed));
    // Retrying close after EINTR could close a descriptor another thread just opened:
    // on Linux the descriptor is released either way, so EINTR is not a failure.
    if (posixCalls().close(fd) != 0 && errno != EINTR)
        fail(Step::Close, mPath);
}

} // namespace vuelco
