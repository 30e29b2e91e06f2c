#pragma once

#include <string>
#include <vector>

namespace vuelco::cli {

// The words the program was started with, after its name: argv as it stands on Linux;
// on Windows read from the wide command line, in UTF-8, wildcards expanded
// (command_words_win32.h).
[[nodiscard]] std::vector<std::string> commandWords(int argc, char *argv[]);

} // namespace vuelco::cli
