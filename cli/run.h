#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace vuelco::cli {

// Which standard streams are terminals. A run that lasts more than a second keeps a
// progress line on err when err is one; lines written to a terminal go above it.
struct Terminals {
    bool out = false;
    bool err = false;
};

// Runs the command line given without the program's name, writing results to out and
// failures to err, one line per file in the order of the names and of the walk. A
// conversion or a simulation ends with one summary line of counts on err.
// Returns 0 when every file was shown or converted, 1 when any failed or could not be
// converted (a folder a walk could not read included), 2 when the command line itself
// is wrong.
int run(std::span<const std::string_view> words, std::ostream &out, std::ostream &err,
        Terminals terminals = {});

} // namespace vuelco::cli
