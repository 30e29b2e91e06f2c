#pragma once

#include "runtime/failure.h"

#include <cstdint>
#include <filesystem>

namespace vuelco {

// The program's failure for a Windows error code (GetLastError) met while opening a file
// for reading or for update, or while using it.
[[nodiscard]] Failure failureFromWindowsError(std::uint32_t error, bool openingForUpdate,
                                              const std::filesystem::path &path);

} // namespace vuelco
