#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace vuelco::cli {

// Runs the command line given without the program's name, writing results to out and
// failures to err. Returns 0 when every file was shown or converted, 1 when any failed
// or could not be converted, 2 when the command line itself is wrong.
int run(std::span<const std::string_view> words, std::ostream &out, std::ostream &err);

} // namespace vuelco::cli
