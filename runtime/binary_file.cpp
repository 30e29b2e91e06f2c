#include "binary_file.h"

#include "failure.h"

#include <chrono>
#include <thread>
#include <utility>

// What the file does the same way on every system; the system calls are in
// binary_file_posix.cpp and binary_file_win32.cpp.
namespace vuelco {

BinaryFile::BinaryFile(std::intptr_t handle, std::filesystem::path::string_type path) noexcept
    : mHandle(handle), mPath(std::move(path))
{
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
    // About a third of a second in all: many conversions' worth, and no wait a person notices.
    constexpr int kAttempts = 20;
    constexpr auto kPause = std::chrono::milliseconds(15);
    for (int attempt = 1; !tryLock(); ++attempt) {
        if (attempt == kAttempts)
            throw Failure(FailureNumber::PermissionDenied,
                          "Otra conversión tiene el archivo en uso; no se escribió nada", mPath);
        std::this_thread::sleep_for(kPause);
    }
}

} // namespace vuelco
