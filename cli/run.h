#pragma once

#include "cli/interrupts.h"
#include "cli/record.h"

#include <iosfwd>
#include <span>
#include <string_view>

namespace vuelco::cli {

// Runs the command line given without the program's name on the batch engine, writing
// the record to out and err (see Record), in the order of the names and of the walk.
// Returns the exit status (usage.h): 0 when every file was shown or converted, 1 when any
// failed or could not be converted (a folder a walk could not read included), 2 when the
// command line itself is wrong, 3 when the record could not be written, and the status
// an interruption asks for (130, 143) when one came. An undo reads its record from in
// when named "-" (none: an empty record), and returns 2 when the record cannot be read.
int run(std::span<const std::string_view> words, std::ostream &out, std::ostream &err, Terminals terminals = {},
        Interruption *interruption = nullptr, std::istream *in = nullptr);

} // namespace vuelco::cli
