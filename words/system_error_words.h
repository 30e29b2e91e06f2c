#pragma once

#include <cstdint>
#include <span>

namespace vuelco::words {

// The cause of a system error that has no number of the program's own, in Spanish words,
// for "Error del sistema N (...)".
struct SystemText {
    std::uint32_t error;
    const char *text;
};

// The system's own table (errno on POSIX, GetLastError on Windows): the errors a file on a
// local disk, a network share or an encrypted folder can meet.
[[nodiscard]] std::span<const SystemText> systemTexts();

} // namespace vuelco::words
