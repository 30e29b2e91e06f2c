#pragma once

#include "runtime/failure.h"

#include <filesystem>

namespace vuelco {

// The program's failure for a system error (errno) met while opening a file or a folder for
// reading or for update, or while using it: an error that has a number of the program's own
// gets it, and any other is DeviceIo (57) with the error's code.
[[nodiscard]] Failure failureFromErrno(int error, bool openingForUpdate, const std::filesystem::path &path);

} // namespace vuelco
