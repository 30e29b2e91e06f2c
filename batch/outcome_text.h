#pragma once

#include "runtime/failure.h"

#include <string>
#include <string_view>

namespace vuelco::batch {

// How the fronts word an outcome, so that the command line and the window read alike.

// What the user reads of a failure: its description, or for a read-only file the advice
// the window's box gives, on one line.
[[nodiscard]] std::string failureText(const Failure &failure);
// A failure as one line says it: "Error # 53: " and its text.
[[nodiscard]] std::string failureReason(const Failure &failure);
// Why a file was not converted when it is no BGA file.
inline constexpr std::string_view kNotConvertedNote = " (no se convierte)";

} // namespace vuelco::batch
