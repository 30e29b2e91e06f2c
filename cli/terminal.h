#pragma once

#include <cstdint>

namespace vuelco::cli {

enum class StandardStream : std::uint8_t { Output, Error };

// Whether the stream is a terminal (a console on Windows), where a self-rewriting progress
// line can be drawn and where it shares the screen with the other lines.
[[nodiscard]] bool isTerminal(StandardStream stream);

} // namespace vuelco::cli
