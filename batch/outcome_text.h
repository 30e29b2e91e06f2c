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
// Why an undo left a file alone: the header changed since, no file is at the path, or
// another file stands there now.
inline constexpr std::string_view kNotUndoneNote = " (no se deshace)";
inline constexpr std::string_view kChangedSinceText = "cambió desde entonces";
inline constexpr std::string_view kNotFoundText = "ya no está en su ruta";
inline constexpr std::string_view kOtherFileText = "ahora hay otro archivo en su ruta";

} // namespace vuelco::batch
