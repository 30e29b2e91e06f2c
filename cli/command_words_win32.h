#pragma once

#include "cli/command_words.h"

#include <string>
#include <vector>

namespace vuelco::cli {

// Windows hands a program its command line as one text and leaves wildcards to it
// (cmd.exe does not expand "*.dat"); these put that right before the words are parsed.

// commandWords reads the words after the program's name from the wide command line, with
// wildcards in file arguments expanded, in UTF-8: the encoding every file argument is read
// in on Windows (see fileArgumentName), so names outside the ANSI code page survive.

// Replaces each file argument holding "*" or "?" in its last name with the entries of
// its folder that match, sorted without regard to case and written with the folder as
// typed ("datos\*.dat" gives "datos\a.dat"). Matching looks at the long names only, so
// "*.dat" does not take "a.data" through its short 8.3 name. A pattern that matches
// nothing stays as it is, to be reported as not found. Options (before "--") and "/?"
// are never expanded: no Windows file name holds "*" or "?".
[[nodiscard]] std::vector<std::wstring> expandWildcards(const std::vector<std::wstring> &words);

} // namespace vuelco::cli
