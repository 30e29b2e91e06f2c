#pragma once

#include "runtime/failure.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace vuelco::words {

// The numbers of the file chooser's drawing arithmetic, which has no file to name.
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kDivisionByZero = 11;

// The standard Spanish description of a failure number, as the user sees it.
[[nodiscard]] std::string standardDescription(std::int32_t number);
[[nodiscard]] std::string standardDescription(FailureNumber number);

// What the user reads of a failure: its standard description, or the sentence its detail
// calls for, after those of the failures that led to it.
[[nodiscard]] std::string description(const Failure &failure);

// What the user reads instead of ReadOnly's description, in the window's box (one line
// each) and on the command line's one line: a read-only file reads the same in both.
inline constexpr std::array<std::string_view, 2> kReadOnlyAdvice{
    "No se puede escribir en el archivo.", "Verificar si tiene activado el 'Solo Lectura'"};

// "Error # " + the number (one blank before a non-negative one, a minus sign before a
// negative one) + the line break + the description. The window passes character 13,
// a terminal '\n'.
[[nodiscard]] std::string errorPrompt(std::int32_t number, std::string_view description, char lineBreak);
[[nodiscard]] std::string errorPrompt(const Failure &failure, char lineBreak);

// What the user reads of a failure on one line: its description, or for a read-only file
// the advice the window's box gives.
[[nodiscard]] std::string failureText(const Failure &failure);
// A failure as one line says it: "Error # 53: " and its text.
[[nodiscard]] std::string failureReason(const Failure &failure);

} // namespace vuelco::words
