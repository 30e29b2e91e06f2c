#include "runtime/binary_file.h"

#include "runtime/failure.h"
#include "runtime/system_calls_win32.h"
#include "runtime/system_errors_win32.h"
#include "runtime/verbatim_path_win32.h"

#include <optional>
#include <string>
#include <utility>

namespace vuelco {
namespace {

HANDLE handleOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

// No Windows file system keeps a name of more than 255 characters; asking for one gets
// "not found" or "invalid name" depending on the system, so it is refused up front.
bool hasOverlongName(const std::filesystem::path &path)
{
    constexpr std::size_t kLongestName = 255;
    for (const std::filesystem::path &part : path.relative_path()) {
        if (part.native().size() > kLongestName)
            return true;
    }
    return false;
}

Failure failureFromLastError(DWORD error, bool openingForUpdate, const std::filesystem::path &path)
{
    return failureFromWindowsError(error, openingForUpdate, path);
}

[[noreturn]] void fail(const std::filesystem::path &path, bool openingForUpdate = false)
{
    throw failureFromLastError(GetLastError(), openingForUpdate, path);
}

Failure refusal(FileKind kind, const std::filesystem::path &path)
{
    return Failure(FailureNumber::BadFileName, path, FailureDetail::ofKind(kind));
}

FileIdentity identityOf(const BY_HANDLE_FILE_INFORMATION &information)
{
    return {information.dwVolumeSerialNumber,
            (static_cast<std::uint64_t>(information.nFileIndexHigh) << 32) | information.nFileIndexLow};
}

struct RegularFile {
    HANDLE handle;
    FileIdentity identity;
    std::uint64_t size;
    bool markedReadOnly;
};

RegularFile openRegular(const std::filesystem::path &path, DWORD access, bool forUpdate)
{
    // The verbatim name reaches exactly the file named, whatever its length, its
    // trailing blanks or dots. OPEN_EXISTING: nothing is ever created. Other programs
    // may go on reading and writing the file, as they could before.
    if (hasOverlongName(path))
        throw Failure(FailureNumber::BadFileName, path, FailureCause::NameTooLong);
    const std::wstring name = verbatimPath(path);
    HANDLE handle = win32Calls().createFile(name.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // A folder cannot be opened as a file and says so with access refused, which
        // would otherwise read as a read-only file.
        const DWORD attributes = error == ERROR_ACCESS_DENIED ? GetFileAttributesW(name.c_str())
                                                              : INVALID_FILE_ATTRIBUTES;
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
            throw refusal(FileKind::Folder, path);
        throw failureFromLastError(error, forUpdate, path);
    }

    BY_HANDLE_FILE_INFORMATION information{};
    // "Unknown" is also how the type check says it failed, and then it is no device.
    SetLastError(NO_ERROR);
    const DWORD type = win32Calls().getFileType(handle);
    const DWORD typeError = type == FILE_TYPE_UNKNOWN ? GetLastError() : NO_ERROR;
    std::optional<Failure> refused;
    const bool described = typeError == NO_ERROR && type == FILE_TYPE_DISK &&
                           win32Calls().getFileInformationByHandle(handle, &information);
    const bool markedReadOnly = (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (typeError != NO_ERROR) {
        refused = failureFromLastError(typeError, forUpdate, path);
    } else if (type != FILE_TYPE_DISK) {
        refused = refusal(FileKind::Device, path);
    } else if (!described) {
        refused = failureFromLastError(GetLastError(), forUpdate, path);
    } else if (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        refused = refusal(FileKind::Folder, path);
    } else if (forUpdate && markedReadOnly) {
        refused = Failure(FailureNumber::ReadOnly, path);
    }
    if (refused) {
        win32Calls().closeHandle(handle);
        throw *refused;
    }
    return {handle, identityOf(information),
            (static_cast<std::uint64_t>(information.nFileSizeHigh) << 32) | information.nFileSizeLow, markedReadOnly};
}

OVERLAPPED at(std::uint64_t offset)
{
    OVERLAPPED overlapped{};
    overlapped.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    overlapped.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return overlapped;
}

} // namespace

// Windows opens no file relative to a folder's handle: a walked entry is opened by its
// whole verbatim name too, and the walk then checks that its identity is the one listed,
// so that a junction or link put in the way leads to nothing written.
BinaryFile::Opened BinaryFile::nativeOpen(const FilePlace &place, bool forUpdate)
{
    const DWORD access = forUpdate ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
    const RegularFile opened = openRegular(std::filesystem::path(place.path), access, forUpdate);
    return {reinterpret_cast<std::intptr_t>(opened.handle), opened.identity, opened.size, opened.markedReadOnly};
}

std::intptr_t BinaryFile::nativeReopenForUpdate() const
{
    HANDLE handle = win32Calls().reOpenFile(handleOf(mHandle), GENERIC_READ | GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, 0);
    if (handle == INVALID_HANDLE_VALUE)
        fail(mPlace.path, true);
    return reinterpret_cast<std::intptr_t>(handle);
}

// What can be told without opening the file for writing: the read-only attribute, and a
// volume that says it takes no writes (a write-protected card, a disc, a share the server
// marks read-only). A server that refuses writes without saying so is heard only then.
void BinaryFile::checkWritable() const
{
    refuseWhenMarkedReadOnly();
    DWORD flags = 0;
    if (win32Calls().getVolumeInformationByHandle(handleOf(mHandle), nullptr, 0, nullptr, nullptr, &flags, nullptr,
                                                  0) &&
        (flags & FILE_READ_ONLY_VOLUME) != 0)
        throw failureFromLastError(ERROR_WRITE_PROTECT, true, mPlace.path);
}

void BinaryFile::nativeCloseQuietly(std::intptr_t handle) noexcept { win32Calls().closeHandle(handleOf(handle)); }

std::size_t BinaryFile::read(std::uint64_t offset, std::span<std::uint8_t> bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        OVERLAPPED overlapped = at(offset + done);
        DWORD got = 0;
        if (!win32Calls().readFile(handleOf(mHandle), bytes.data() + done,
                                   static_cast<DWORD>(bytes.size() - done), &got, &overlapped)) {
            if (GetLastError() == ERROR_HANDLE_EOF)
                break;
            fail(mPlace.path);
        }
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

void BinaryFile::write(std::uint64_t offset, std::span<const std::uint8_t> bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        OVERLAPPED overlapped = at(offset + done);
        DWORD put = 0;
        const bool written = win32Calls().writeFile(handleOf(mHandle), bytes.data() + done,
                                                    static_cast<DWORD>(bytes.size() - done), &put, &overlapped);
        if (!written || put == 0) {
            // A write that moves nothing would be asked again forever.
            const Failure failure = failureFromLastError(written ? ERROR_IO_DEVICE : GetLastError(), false,
                                                         mPlace.path);
            if (done == 0)
                throw WriteRefused(failure);
            throw failure;
        }
        done += put;
    }
}

void BinaryFile::flush()
{
    if (!win32Calls().flushFileBuffers(handleOf(mHandle)))
        fail(mPlace.path);
}

void BinaryFile::close()
{
    if (mHandle == kClosed)
        return;
    if (!win32Calls().closeHandle(handleOf(std::exchange(mHandle, kClosed))))
        fail(mPlace.path);
}

bool BinaryFile::tryLock()
{
    // Two ranges. The header, the bytes a conversion rewrites: another program's lock on
    // it is waited for like another Vuelco's, and while this one holds it no other handle
    // reads or writes the header (Windows enforces a locked range against them). And a
    // byte far past the end of any real file, which no program reads or writes: another
    // Vuelco's lock meets it there, and so does a lock on the rest of the file. Offsets
    // are signed 64-bit numbers to the system, hence the highest positive one but one.
    constexpr DWORD kHeaderBytes = 16;
    constexpr std::uint64_t kLockedByte = 0x7FFFFFFFFFFFFFFEu;
    const HANDLE handle = handleOf(mHandle);
    const auto lock = [handle](std::uint64_t offset, DWORD count) {
        OVERLAPPED overlapped = at(offset);
        return win32Calls().lockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, count, 0,
                                       &overlapped) != FALSE;
    };
    if (lock(0, kHeaderBytes)) {
        if (lock(kLockedByte, 1))
            return true;
        // Let go of the header, or the next attempt would find it taken by this very handle.
        const DWORD error = GetLastError();
        OVERLAPPED header = at(0);
        win32Calls().unlockFileEx(handle, 0, kHeaderBytes, 0, &header);
        SetLastError(error);
    }
    if (GetLastError() == ERROR_LOCK_VIOLATION)
        return false;
    fail(mPlace.path);
}

bool BinaryFile::isStillAtItsPath()
{
    // No access asked: only the identity is read, and the open disturbs nobody. The
    // verbatim name, as at the first open, so the check looks at the very file named.
    const std::wstring name = verbatimPath(std::filesystem::path(mPlace.path));
    HANDLE named = win32Calls().createFile(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (named == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return false;
        throw failureFromLastError(error, false, mPlace.path);
    }
    BY_HANDLE_FILE_INFORMATION now{};
    const bool described = win32Calls().getFileInformationByHandle(named, &now);
    const DWORD error = GetLastError();
    win32Calls().closeHandle(named);
    if (!described)
        throw failureFromLastError(error, false, mPlace.path);
    return identityOf(now) == mIdentity;
}

} // namespace vuelco
