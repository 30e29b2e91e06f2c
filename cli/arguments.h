#pragma once

#include "core/bga_header.h"

#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vuelco::cli {

enum class Command : std::uint8_t { Show, Convert, Help, Version };

// Worker threads without -j. On a disk nearly all of a conversion is its flush, and
// flushes in flight together share the file system's journal commits, so workers pay
// even on two cores: measured on ext4 (bench/RESULTS.md), 10,000 files went from about
// 210 us a file on one to 58 on 8, 43 on 16, 33 on 32 and 31 on 64. Past 32 the gain is
// within the noise, while each thread still costs its start on a fast device.
inline constexpr unsigned kDefaultWorkers = 32;
// The most -j accepts: past a few dozen, more workers only add threads.
inline constexpr unsigned kMostWorkers = 64;

struct Arguments {
    Command command = Command::Show;
    Layout target = Layout::Arcade;   // with Convert
    std::vector<std::string> files;
    bool recursive = false;           // folders among the files are walked for ".dat" files
    bool simulate = false;            // with Convert: say what would change, write nothing
    std::optional<unsigned> workers;  // empty: the default count
};

// What the command line asked for, or why it cannot be understood (a message in
// Spanish, for standard error). "--" ends the options, so a file may start with "-".
// "/?" asks for help, as on Windows; after "--" it is a file like any other.
struct ParsedArguments {
    std::optional<Arguments> arguments;
    std::string error;
};

[[nodiscard]] ParsedArguments parseArguments(std::span<const std::string_view> words);

// The file a file argument names. On Windows the arguments arrive as UTF-8 (see
// windowsArguments), which the library would otherwise read in the ANSI code page; on
// Linux the bytes are the name, whatever their encoding.
[[nodiscard]] std::filesystem::path fileArgumentPath(std::string_view word);

} // namespace vuelco::cli
