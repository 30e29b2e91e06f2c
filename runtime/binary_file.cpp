#include "runtime/binary_file.h"

#include "runtime/failure.h"
#include "runtime/identity_policy.h"

#include <chrono>
#include <thread>
#include <utility>

// What the file does the same way on every system; the handles and system calls are in
// binary_file_posix.cpp and binary_file_win32.cpp.
namespace vuelco {

BinaryFile::BinaryFile(std::intptr_t handle, FilePlace place, const Opened &opened) noexcept
    : mHandle(handle), mPlace(std::move(place)), mIdentity(opened.identity), mSize(opened.size),
      mMarkedReadOnly(opened.markedReadOnly)
{
}

BinaryFile BinaryFile::openForReading(const std::filesystem::path &path)
{
    return openForReading(FilePlace{path.native()});
}

BinaryFile BinaryFile::openForReading(FilePlace place)
{
    // The place is made before the open, so no failure can come between it and the handle's owner.
    const Opened opened = nativeOpen(place, false);
    return BinaryFile(opened.handle, std::move(place), opened);
}

BinaryFile BinaryFile::openForUpdate(const std::filesystem::path &path)
{
    FilePlace named{path.native()};
    const Opened opened = nativeOpen(named, true);
    return BinaryFile(opened.handle, std::move(named), opened);
}

BinaryFile BinaryFile::reopenForUpdate() const
{
    refuseWhenMarkedReadOnly();
    return BinaryFile(nativeReopenForUpdate(), mPlace, {kClosed, mIdentity, mSize, false});
}

FileNumbers BinaryFile::fileNumbers()
{
    if (mPlace.numbers == FileNumbers::Unasked)
        mPlace.numbers = fileNumbersOf(mHandle);
    return mPlace.numbers;
}

void BinaryFile::refuseWhenMarkedReadOnly() const
{
    if (mMarkedReadOnly)
        throw Failure(FailureNumber::ReadOnly, mPlace.path);
}

BinaryFile::BinaryFile(BinaryFile &&other) noexcept
    : mHandle(std::exchange(other.mHandle, kClosed)),
      mPlace(std::move(other.mPlace)),
      mIdentity(other.mIdentity),
      mSize(other.mSize),
      mMarkedReadOnly(other.mMarkedReadOnly)
{
}

BinaryFile &BinaryFile::operator=(BinaryFile &&other) noexcept
{
    if (this != &other) {
        if (mHandle != kClosed)
            nativeCloseQuietly(mHandle);
        mHandle = std::exchange(other.mHandle, kClosed);
        mPlace = std::move(other.mPlace);
        mIdentity = other.mIdentity;
        mSize = other.mSize;
        mMarkedReadOnly = other.mMarkedReadOnly;
    }
    return *this;
}

BinaryFile::~BinaryFile()
{
    if (mHandle != kClosed)
        nativeCloseQuietly(mHandle);
}

std::optional<std::uint8_t> BinaryFile::readByte(std::uint64_t offset)
{
    std::uint8_t byte = 0;
    if (read(offset, {&byte, 1}) == 0)
        return std::nullopt;
    return byte;
}

void BinaryFile::lockForConversion()
{
    // Another conversion holds a file for one write and one flush, which a USB stick, a
    // hard disk waking up or a network share can take a second or two over: five seconds
    // outlast that, and stay short for a person told that the file is held.
    constexpr auto kLockWait = std::chrono::seconds(5);
    constexpr auto kPause = std::chrono::milliseconds(20);
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    while (!tryLock()) {
        if (std::chrono::steady_clock::now() >= deadline)
            throw Failure(FailureNumber::PermissionDenied, mPlace.path, FailureCause::HeldByAnotherProgram);
        std::this_thread::sleep_for(kPause);
    }
}

} // namespace vuelco
