#pragma once

#include "core/bga_header.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vuelco::cli {

enum class Command : std::uint8_t { Show, Convert, Help, Version };

struct Arguments {
    Command command = Command::Show;
    Layout target = Layout::Arcade;   // with Convert
    std::vector<std::string> files;
};

// What the command line asked for, or why it cannot be understood (a message in
// Spanish, for standard error). "--" ends the options, so a file may start with "-".
struct ParsedArguments {
    std::optional<Arguments> arguments;
    std::string error;
};

[[nodiscard]] ParsedArguments parseArguments(std::span<const std::string_view> words);

} // namespace vuelco::cli
