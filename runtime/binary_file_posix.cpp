#include "binary_file.h"

#include "failure.h"
#include "posix_calls.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <utility>

namespace vuelco {
namespace {

constexpr std::intptr_t kClosed = -1;

enum class Step { OpenForReading, OpenForUpdate, Read, Write, Flush, Close, Lock, Identify };

bool parentIsFolder(const std::filesystem::path &path)
{
    const auto parent = path.parent_path();
    struct stat status {};
    return parent.empty() || (posixCalls().stat(parent.c_str(), &status) == 0 && S_ISDIR(status.st_mode));
}

// The system's errors that stand for the same failure number whatever the call and path.
struct Cause {
    int error;
    FailureNumber number;
};

constexpr std::array kCauses{
    Cause{ENOTDIR, FailureNumber::PathNotFound}, Cause{ELOOP, FailureNumber::PathNotFound},
    Cause{EROFS, FailureNumber::ReadOnly},
    Cause{EBUSY, FailureNumber::PermissionDenied}, Cause{ETXTBSY, FailureNumber::PermissionDenied},
    Cause{EILSEQ, FailureNumber::BadFileName}, Cause{EINVAL, FailureNumber::BadFileName},
    Cause{ENOSPC, FailureNumber::DiskFull}, Cause{EDQUOT, FailureNumber::DiskFull},
    Cause{EMFILE, FailureNumber::TooManyFiles}, Cause{ENFILE, FailureNumber::TooManyFiles},
    Cause{ENODEV, FailureNumber::DeviceNotReady}, Cause{ENXIO, FailureNumber::DeviceNotReady},
    Cause{ENOMEDIUM, FailureNumber::DeviceNotReady},
    Cause{EIO, FailureNumber::DeviceIo},
};

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
    case EACCES:
    case EPERM:
        return standard(step == Step::OpenForUpdate ? FailureNumber::ReadOnly : FailureNumber::PermissionDenied);
    case ENAMETOOLONG:
        return Failure(FailureNumber::BadFileName, "El nombre o la ruta del archivo es demasiado largo", path);
    default:
        break;
    }
    const auto cause =
        std::find_if(kCauses.begin(), kCauses.end(), [error](const Cause &c) { return c.error == error; });
    if (cause != kCauses.end())
        return standard(cause->number);
    return Failure(FailureNumber::DeviceIo,
                   "Error del sistema " + std::to_string(error) + " (" + std::strerror(error) + ")", path);
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

// Runs call until a signal no longer interrupts it: an interrupted call has not failed,
// and not every call is restarted by SA_RESTART on every system (fsync is not). close is
// the one call never asked again (see BinaryFile::close).
template <class Call>
auto askAgainWhenInterrupted(Call call)
{
    decltype(call()) result;
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result;
}

// Runs transfer(done), a pread or pwrite of the bytes from done on, until size bytes have
// moved: a short transfer is continued, and only one that moves nothing stops early.
// Returns how many bytes moved, or -1 with errno set when a call fails.
template <class Transfer>
ssize_t transferAll(std::size_t size, Transfer transfer)
{
    std::size_t done = 0;
    while (done < size) {
        const ssize_t moved = askAgainWhenInterrupted([&] { return transfer(done); });
        if (moved < 0)
            return -1;
        if (moved == 0)
            break;
        done += static_cast<std::size_t>(moved);
    }
    return static_cast<ssize_t>(done);
}

// Opens without waiting: O_NONBLOCK keeps a pipe with no writer from hanging the
// window. The type is checked on the open handle, so nothing can swap it in between.
int openAskingAgainWhenInterrupted(const std::filesystem::path &path, int access)
{
    return askAgainWhenInterrupted(
        [&] { return posixCalls().open(path.c_str(), access | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0); });
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
    const ssize_t got = transferAll(bytes.size(), [&](std::size_t done) {
        return posixCalls().pread(static_cast<int>(mHandle), bytes.data() + done, bytes.size() - done,
                                  static_cast<off_t>(offset + done));
    });
    if (got < 0)
        fail(Step::Read, mPath);
    return static_cast<std::size_t>(got);
}

void BinaryFile::write(std::uint64_t offset, std::span<const std::uint8_t> bytes)
{
    const ssize_t put = transferAll(bytes.size(), [&](std::size_t done) {
        return posixCalls().pwrite(static_cast<int>(mHandle), bytes.data() + done, bytes.size() - done,
                                   static_cast<off_t>(offset + done));
    });
    if (put < 0)
        fail(Step::Write, mPath);
    if (static_cast<std::size_t>(put) < bytes.size()) {
        // A write that moves nothing would be asked again forever.
        errno = EIO;
        fail(Step::Write, mPath);
    }
}

void BinaryFile::flush()
{
    if (askAgainWhenInterrupted([this] { return posixCalls().fsync(static_cast<int>(mHandle)); }) != 0)
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

bool BinaryFile::tryLock()
{
    // A lock of the open file description, not of the process: two workers of one batch
    // exclude each other too, and closing another descriptor of the file keeps it.
    struct flock wholeFile {};
    wholeFile.l_type = F_WRLCK;
    wholeFile.l_whence = SEEK_SET;
    const int fd = static_cast<int>(mHandle);
    if (askAgainWhenInterrupted([&] { return posixCalls().lock(fd, F_OFD_SETLK, &wholeFile); }) == 0)
        return true;
    if (errno == EAGAIN || errno == EACCES)
        return false;
    // Some network and FUSE file systems keep no locks: convert there as before, unlocked.
    if (errno == ENOLCK || errno == EINVAL || errno == EOPNOTSUPP)
        return true;
    fail(Step::Lock, mPath);
}

bool BinaryFile::isStillAtItsPath()
{
    struct stat opened {};
    struct stat named {};
    if (posixCalls().fstat(static_cast<int>(mHandle), &opened) != 0)
        fail(Step::Identify, mPath);
    if (posixCalls().stat(mPath.c_str(), &named) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return false;
        fail(Step::Identify, mPath);
    }
    return opened.st_dev == named.st_dev && opened.st_ino == named.st_ino;
}

} // namespace vuelco
