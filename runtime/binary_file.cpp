#include "binary_file.h"

// What the file does the same way on every system; the system calls are in
// binary_file_posix.cpp and binary_file_win32.cpp.
namespace vuelco {

std::optional<std::uint8_t> BinaryFile::readByte(std::uint64_t offset)
{
    std::uint8_t byte = 0;
    if (read(offset, {&byte, 1}) == 0)
        return std::nullopt;
    return byte;
}

} // namespace vuelco
