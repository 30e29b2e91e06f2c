#pragma once

#include <string_view>

namespace vuelco::words {

// Why a file was not converted when it is no BGA file.
inline constexpr std::string_view kNotConvertedNote = " (no se convierte)";
// Why an undo left a file alone: the header changed since, no file is at the path, or
// another file stands there now.
inline constexpr std::string_view kNotUndoneNote = " (no se deshace)";
inline constexpr std::string_view kChangedSinceText = "cambió desde entonces";
inline constexpr std::string_view kNotFoundText = "ya no está en su ruta";
inline constexpr std::string_view kOtherFileText = "ahora hay otro archivo en su ruta";

} // namespace vuelco::words
