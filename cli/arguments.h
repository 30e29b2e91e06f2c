#pragma once

#include "batch/request.h"
#include "core/bga_header.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vuelco::cli {

enum class Command : std::uint8_t { Show, Convert, Undo, Help, Version };

struct Arguments {
    Command command = Command::Show;
    Layout target = Layout::Arcade;   // with Convert
    std::vector<std::string> files;
    bool recursive = false;           // folders among the files are walked for ".dat" files
    bool simulate = false;            // with Convert: say what would change, write nothing
    bool json = false;                // one JSON object a line instead of text
    std::optional<unsigned> workers;  // empty: the engine's default count
    std::string undoRecord;           // with Undo: the record to take back, "-" for standard input
    std::string recordFile;           // --registro: a new file for the JSON record too; empty for none
};

// What the command line asked for, or why it cannot be understood (a message in
// Spanish, for one line of standard error). "--" ends the options, so a file may start with "-".
// "/?" asks for help, as on Windows; after "--" it is a file like any other.
struct ParsedArguments {
    std::optional<Arguments> arguments;
    std::string error;
};

[[nodiscard]] ParsedArguments parseArguments(std::span<const std::string_view> words);

// The name of the file a file argument names, in the system's own text. On Windows the
// arguments arrive as UTF-8 (see windowsArguments), which the library would otherwise
// read in the ANSI code page; on Linux the bytes are the name, whatever their encoding.
[[nodiscard]] std::filesystem::path::string_type fileArgumentName(std::string_view word);
// The same, taking the argument's text over where it already is the name (on Linux).
[[nodiscard]] std::filesystem::path::string_type fileArgumentName(std::string &&word);

} // namespace vuelco::cli
