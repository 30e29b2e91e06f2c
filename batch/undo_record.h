#pragma once

#include "batch/request.h"

#include <cstddef>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string_view>
#include <vector>

namespace vuelco::batch {

// The longest line a record is read with: a path of the longest Windows takes (32,767
// characters) written as "\uXXXX" escapes twice over, with room to spare. A longer line
// is no line of Vuelco's.
inline constexpr std::size_t kLongestRecordLine = std::size_t{1} << 20;

// What an undo takes from a record (the --json lines of a conversion or of an undo): for
// each line telling of a file written ("convertido", "deshecho"), the file's absolute
// path and its step, in the record's order. A record comes from anywhere and is trusted
// for nothing but which file to look at and which header to expect there.
struct UndoRecord {
    std::vector<NativeName> paths;
    std::vector<UndoStep> steps;
    // The numbers (from 1) of the lines that are no line of Vuelco's: cut short by a
    // crash, changed by hand, or a written file's line without all an undo needs.
    std::vector<std::size_t> refusedLines;
    bool repeatsAPath = false;  // some path comes in two steps, which must go in order
};

enum class RecordLine : std::uint8_t {
    Step,        // a file written: path and step filled
    PassedOver,  // a line of Vuelco's about no file written (already there, failed...), or the summary
    Refused,     // no line of Vuelco's
};

// One line, its line break left out. Never throws for any text.
[[nodiscard]] RecordLine readRecordLine(std::string_view line, NativeName &path, UndoStep &step);

// Whether the file at path is a record, known by its first line whatever the file's name:
// a whole line of Vuelco's. False for a file that cannot be read.
[[nodiscard]] bool isUndoRecordFile(const std::filesystem::path &path);

// Every line of in, to its end; nothing when in cannot be read (a read error).
[[nodiscard]] std::optional<UndoRecord> readUndoRecord(std::istream &in);

} // namespace vuelco::batch
