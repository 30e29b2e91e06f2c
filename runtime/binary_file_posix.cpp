#include "runtime/binary_file.h"

#include "runtime/entry_kind_posix.h"
#include "runtime/failure.h"
#include "runtime/interrupted_posix.h"
#include "runtime/system_calls_posix.h"
#include "runtime/system_errors_posix.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <optional>
#include <string>
#include <sys/statvfs.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace vuelco {
namespace {

int folderOf(const FilePlace &place)
{
    return place.folder == FilePlace::kNoFolder ? AT_FDCWD : static_cast<int>(place.folder);
}

// The name to look up relative to folderOf: the path itself, or the walked entry's own name.
const char *entryOf(const FilePlace &place) { return place.path.c_str() + place.nameAt; }

Failure failureAt(const FilePlace &place, bool openingForUpdate = false, int error = errno)
{
    return failureFromErrno(error, openingForUpdate, std::filesystem::path(place.path));
}

[[noreturn]] void fail(const FilePlace &place, bool openingForUpdate = false)
{
    throw failureAt(place, openingForUpdate);
}

struct Moved {
    std::size_t bytes = 0;
    bool failed = false;   // with errno set
};

// Runs transfer(done), a pread or pwrite of the bytes from done on, until size bytes have
// moved: a short transfer is continued, and only one that moves nothing stops early.
template <class Transfer>
Moved transferAll(std::size_t size, Transfer transfer)
{
    Moved moved;
    while (moved.bytes < size) {
        const ssize_t now = askAgainWhenInterrupted([&] { return transfer(moved.bytes); });
        if (now <= 0) {
            moved.failed = now < 0;
            break;
        }
        moved.bytes += static_cast<std::size_t>(now);
    }
    return moved;
}

// How long the system gives a lease holder to let go (/proc/sys/fs/lease-break-time, 45
// seconds unless changed); past it the system breaks the lease itself.
std::chrono::seconds leaseBreakTime()
{
    static const std::chrono::seconds time = [] {
        std::ifstream setting("/proc/sys/fs/lease-break-time");
        long seconds = 0;
        if (!(setting >> seconds) || seconds < 0)
            seconds = 45;
        return std::chrono::seconds(seconds);
    }();
    return time;
}

bool isRegularFile(int folder, const char *name, int flags)
{
    const int error = errno;
    struct stat status {};
    const bool regular =
        posixCalls().stat(folder, name, &status, (flags & O_NOFOLLOW) != 0 ? AT_SYMLINK_NOFOLLOW : 0) == 0 &&
        S_ISREG(status.st_mode);
    errno = error;
    return regular;
}

// Opens without waiting on the file: O_NONBLOCK keeps a pipe with no writer or a device
// from hanging the program. On a regular file the same flag turns another program's lease
// (Samba's oplocks, NFS delegations) into EWOULDBLOCK while the system asks the holder to
// let go, which the first attempt sets off: the open is tried again until it gets
// through, for as long as the system gives the holder (and a moment more).
int openLetThrough(int folder, const char *name, int flags)
{
    constexpr auto kPause = std::chrono::milliseconds(10);
    const int allFlags = flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC;
    std::optional<std::chrono::steady_clock::time_point> deadline;
    for (;;) {
        const int fd = askAgainWhenInterrupted([&] { return posixCalls().open(folder, name, allFlags, 0); });
        if (fd >= 0 || errno != EWOULDBLOCK)
            return fd;
        const auto now = std::chrono::steady_clock::now();
        if (!deadline) {
            if (!isRegularFile(folder, name, flags))
                return fd;
            deadline = now + leaseBreakTime() + std::chrono::seconds(1);
        } else if (now >= *deadline) {
            return fd;
        }
        std::this_thread::sleep_for(kPause);
    }
}

struct RegularFile {
    int fd;
    FileIdentity identity;
    std::uint64_t size;
    bool markedReadOnly;
};

// The type is checked on the open descriptor, so nothing can swap the file in between.
RegularFile openRegular(const FilePlace &place, int flags, bool forUpdate)
{
    const int folder = folderOf(place);
    const char *entry = entryOf(place);
    int fd = openLetThrough(folder, entry, flags);
    if (fd < 0 && errno == EISDIR) {
        // A folder refuses a write open: describe it as on the read side.
        fd = openLetThrough(folder, entry, (flags & O_NOFOLLOW) | O_RDONLY);
    }
    if (fd < 0) {
        if (errno == ELOOP && (flags & O_NOFOLLOW) != 0)
            throw Failure(FailureNumber::BadFileName, place.path, FailureCause::SymbolicLinkNotFollowed);
        fail(place, forUpdate);
    }

    struct stat status {};
    if (posixCalls().fstat(fd, &status) != 0) {
        const int error = errno;
        posixCalls().close(fd);
        throw failureAt(place, forUpdate, error);
    }
    const bool markedReadOnly = (status.st_mode & S_IWUSR) == 0;
    if (!S_ISREG(status.st_mode)) {
        posixCalls().close(fd);
        const FileKind kind = fileKindOf(entryKindOf(status.st_mode));
        throw Failure(FailureNumber::BadFileName, place.path, FailureDetail::ofKind(kind));
    }
    if (forUpdate && markedReadOnly) {
        posixCalls().close(fd);
        throw Failure(FailureNumber::ReadOnly, place.path);
    }
    // O_NONBLOCK may stay set: reads and writes of a regular file never wait on it.
    return {fd, {status.st_dev, status.st_ino}, static_cast<std::uint64_t>(status.st_size), markedReadOnly};
}

// The folder in which Linux names each descriptor of the process by its number, and opens
// through that name the very file the descriptor has open, whatever became of the names
// it was opened by. Opened once, straight rather than through the table of calls: it is
// the process's for its lifetime, and a lookup from it costs a third less than the whole
// "/proc/self/fd/N" would. -1 with errno set when it cannot be opened (no /proc, or no
// descriptor left for now).
int descriptorsFolder()
{
    static std::atomic<int> folder{-1};
    const int opened = folder.load();
    if (opened >= 0)
        return opened;
    const int fd = ::open("/proc/self/fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int none = -1;
    if (fd < 0 || folder.compare_exchange_strong(none, fd))
        return fd;
    ::close(fd);
    return none;
}

} // namespace

// A walked entry is never opened through a symbolic link; a path is, as the user named it.
BinaryFile::Opened BinaryFile::nativeOpen(const FilePlace &place, bool forUpdate)
{
    const int noLink = place.folder == FilePlace::kNoFolder ? 0 : O_NOFOLLOW;
    const RegularFile opened = openRegular(place, (forUpdate ? O_RDWR : O_RDONLY) | noLink, forUpdate);
    return {opened.fd, opened.identity, opened.size, opened.markedReadOnly};
}

std::intptr_t BinaryFile::nativeReopenForUpdate() const
{
    const std::string number = std::to_string(mHandle);
    const int folder = descriptorsFolder();
    const int fd = folder < 0 ? -1 : openLetThrough(folder, number.c_str(), O_RDWR);
    if (fd < 0) {
        if (folder < 0 && errno == ENOENT)
            throw Failure(FailureNumber::DeviceIo, mPlace.path, FailureCause::NoFolderToReopenFrom);
        fail(mPlace, true);
    }
    return fd;
}

// The same refusals as reopenForUpdate's open, without opening: the file system's own
// read-only mount, then access(), which asks the very checks an open for writing makes
// (permissions, a read-only volume) where /proc lets it reach the file. A server that
// alone refuses writes (a share exported read-only) answers neither.
void BinaryFile::checkWritable() const
{
    refuseWhenMarkedReadOnly();
    struct statvfs fileSystem {};
    const int fd = static_cast<int>(mHandle);
    if (posixCalls().fileSystemStat(fd, &fileSystem) == 0 && (fileSystem.f_flag & ST_RDONLY) != 0)
        throw failureAt(mPlace, true, EROFS);
    const std::string number = std::to_string(mHandle);
    const int folder = descriptorsFolder();
    if (folder < 0 ? errno != ENOENT : posixCalls().access(folder, number.c_str(), W_OK, 0) != 0)
        fail(mPlace, true);
}

void BinaryFile::nativeCloseQuietly(std::intptr_t handle) noexcept { posixCalls().close(static_cast<int>(handle)); }

std::size_t BinaryFile::read(std::uint64_t offset, std::span<std::uint8_t> bytes)
{
    const Moved got = transferAll(bytes.size(), [&](std::size_t done) {
        return posixCalls().pread(static_cast<int>(mHandle), bytes.data() + done, bytes.size() - done,
                                  static_cast<off_t>(offset + done));
    });
    if (got.failed)
        fail(mPlace);
    return got.bytes;
}

void BinaryFile::write(std::uint64_t offset, std::span<const std::uint8_t> bytes)
{
    const Moved put = transferAll(bytes.size(), [&](std::size_t done) {
        return posixCalls().pwrite(static_cast<int>(mHandle), bytes.data() + done, bytes.size() - done,
                                   static_cast<off_t>(offset + done));
    });
    if (put.bytes == bytes.size())
        return;
    // A write that moves nothing would be asked again forever.
    const int error = put.failed ? errno : EIO;
    if (put.bytes > 0)
        throw failureAt(mPlace, false, error);
    throw WriteRefused(failureAt(mPlace, false, error));
}

void BinaryFile::flush()
{
    if (askAgainWhenInterrupted([this] { return posixCalls().fsync(static_cast<int>(mHandle)); }) != 0)
        fail(mPlace);
}

void BinaryFile::close()
{
    if (mHandle == kClosed)
        return;
    const int fd = static_cast<int>(std::exchange(mHandle, kClosed));
    // Retrying close after EINTR could close a descriptor another thread just opened:
    // on Linux the descriptor is released either way, so EINTR is not a failure.
    if (posixCalls().close(fd) != 0 && errno != EINTR)
        fail(mPlace);
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
    fail(mPlace);
}

bool BinaryFile::isStillAtItsPath()
{
    // A walked entry is looked at where it was listed, without following a link that
    // took its place; a path as the user gave it, links followed.
    struct stat named {};
    const int follow = mPlace.folder == FilePlace::kNoFolder ? 0 : AT_SYMLINK_NOFOLLOW;
    if (posixCalls().stat(folderOf(mPlace), entryOf(mPlace), &named, follow) != 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return false;
        fail(mPlace);
    }
    return FileIdentity{named.st_dev, named.st_ino} == mIdentity;
}

} // namespace vuelco
