#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vuelco::words {

// What is about to be overwritten: the file the main window loaded, or a collection's
// files, as many as are to be converted.
enum class Overwritten : std::uint8_t { ChosenFile, CollectionFiles };

// The lines of the question asked before a conversion overwrites files in place, an empty
// line before the question itself.
[[nodiscard]] std::vector<std::string> overwriteQuestion(Overwritten what, std::size_t files = 1);

} // namespace vuelco::words
