#include "binary_file.h"

#include "failure.h"
#include "verbatim_path_win32.h"
#include "win32_calls.h"
#include "windows_errors.h"

#include <optional>
#include <string>
#include <utility>

namespace vuelco {
namespace {

const std::intptr_t kClosed = reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE);

enum class Step { OpenForReading, OpenForUpdate, Read, Write, Flush, Close, Lock, Identify };

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

Failure failureFromLastError(DWORD error, Step step, const std::filesystem::path &path)
{
    return failureFromWindowsError(error, step == Step::OpenForUpdate, path);
}

[[noreturn]] void fail(Step step, const std::filesystem::path &path)
{
    throw failureFromLastError(GetLastError(), step, path);
}

Failure refusal(FailureNumber number, std::string why, const std::filesystem::path &path)
{
    return Failure(number, why.empty() ? standardDescription(number) : "No se puede abrir: " + why, path);
}

HANDLE openRegular(const std::filesystem::path &path, DWORD access, Step step)
{
    // The verbatim name reaches exactly the file named, whatever its length, its
    // trailing blanks or dots. OPEN_EXISTING: nothing is ever created. Other programs
    // may go on reading and writing the file, as they could before.
    if (hasOverlongName(path))
        throw nameTooLong(path);
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
            throw refusal(FailureNumber::BadFileName, "es una carpeta", path);
        throw failureFromLastError(error, step, path);
    }

    BY_HANDLE_FILE_INFORMATION information{};
    // "Unknown" is also how the type check says it failed, and then it is no device.
    SetLastError(NO_ERROR);
    const DWORD type = win32Calls().getFileType(handle);
    const DWORD typeError = type == FILE_TYPE_UNKNOWN ? GetLastError() : NO_ERROR;
    std::optional<Failure> refused;
    if (typeError != NO_ERROR) {
        refused = failureFromLastError(typeError, step, path);
    } else if (type != FILE_TYPE_DISK) {
        refused = refusal(FailureNumber::BadFileName, "es un dispositivo", path);
    } else if (!win32Calls().getFileInformationByHandle(handle, &information)) {
        refused = failureFromLastError(GetLastError(), step, path);
    } else if (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        refused = refusal(FailureNumber::BadFileName, "es una carpeta", path);
    } else if (step == Step::OpenForUpdate && (information.dwFileAttributes & FILE_ATTRIBUTE_READONLY)) {
        refused = refusal(FailureNumber::ReadOnly, {}, path);
    }
    if (refused) {
        win32Calls().closeHandle(handle);
        throw *refused;
    }
    return handle;
}

OVERLAPPED at(std::uint64_t offset)
{
    OVERLAPPED overlapped{};
    overlapped.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    overlapped.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return overlapped;
}

} // namespace

BinaryFile BinaryFile::openForReading(const std::filesystem::path &path)
{
    // The name is copied before the open, so no failure can come between it and the handle's owner.
    auto name = path.native();
    return BinaryFile(reinterpret_cast<std::intptr_t>(openRegular(path, GENERIC_READ, Step::OpenForReading)),
                      std::move(name));
}

BinaryFile BinaryFile::openForUpdate(const std::filesystem::path &path)
{
    auto name = path.native();
    return BinaryFile(reinterpret_cast<std::intptr_t>(
                          openRegular(path, GENERIC_READ | GENERIC_WRITE, Step::OpenForUpdate)),
                      std::move(name));
}

BinaryFile::BinaryFile(BinaryFile &&other) noexcept
    : mHandle(std::exchange(other.mHandle, kClosed)), mPath(std::move(other.mPath))
{
}

BinaryFile &BinaryFile::operator=(BinaryFile &&other) noexcept
{
    if (this != &other) {
        if (mHandle != kClosed)
            win32Calls().closeHandle(handleOf(mHandle));
        mHandle = std::exchange(other.mHandle, kClosed);
        mPath = std::move(other.mPath);
    }
    return *this;
}

BinaryFile::~BinaryFile()
{
    if (mHandle != kClosed)
        win32Calls().closeHandle(handleOf(mHandle));
}

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
            fail(Step::Read, mPath);
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
        if (!win32Calls().writeFile(handleOf(mHandle), bytes.data() + done,
                                    static_cast<DWORD>(bytes.size() - done), &put, &overlapped))
            fail(Step::Write, mPath);
        if (put == 0) {
            SetLastError(ERROR_IO_DEVICE);
            fail(Step::Write, mPath);
        }
        done += put;
    }
}

void BinaryFile::flush()
{
    if (!win32Calls().flushFileBuffers(handleOf(mHandle)))
        fail(Step::Flush, mPath);
}

void BinaryFile::close()
{
    if (mHandle == kClosed)
        return;
    if (!win32Calls().closeHandle(handleOf(std::exchange(mHandle, kClosed))))
        fail(Step::Close, mPath);
}

bool BinaryFile::tryLock()
{
    // A byte far past the end of any real file: Windows enforces a locked range against
    // every other handle's reads and writes, and no other program ever reaches there,
    // so only another Vuelco taking the same lock is kept out. Offsets are signed
    // 64-bit numbers to the system, hence the highest positive one but one.
    constexpr std::uint64_t kLockedByte = 0x7FFFFFFFFFFFFFFEu;
    OVERLAPPED overlapped = at(kLockedByte);
    if (win32Calls().lockFileEx(handleOf(mHandle), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0,
                                &overlapped))
        return true;
    if (GetLastError() == ERROR_LOCK_VIOLATION)
        return false;
    fail(Step::Lock, mPath);
}

bool BinaryFile::isStillAtItsPath()
{
    BY_HANDLE_FILE_INFORMATION opened{};
    if (!win32Calls().getFileInformationByHandle(handleOf(mHandle), &opened))
        fail(Step::Identify, mPath);
    // No access asked: only the identity is read, and the open disturbs nobody. The
    // verbatim name, as at the first open, so the check looks at the very file named.
    const std::wstring name = verbatimPath(std::filesystem::path(mPath));
    HANDLE named = win32Calls().createFile(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (named == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return false;
        throw failureFromLastError(error, Step::Identify, mPath);
    }
    BY_HANDLE_FILE_INFORMATION now{};
    const bool described = win32Calls().getFileInformationByHandle(named, &now);
    const DWORD error = GetLastError();
    win32Calls().closeHandle(named);
    if (!described)
        throw failureFromLastError(error, Step::Identify, mPath);
    return opened.dwVolumeSerialNumber == now.dwVolumeSerialNumber &&
           opened.nFileIndexHigh == now.nFileIndexHigh && opened.nFileIndexLow == now.nFileIndexLow;
}

} // namespace vuelco
