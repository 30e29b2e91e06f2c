#include "cli/command_words.h"

namespace vuelco::cli {

std::vector<std::string> commandWords(int argc, char *argv[]) { return {argv + 1, argv + argc}; }

} // namespace vuelco::cli
