// The command-line parser over arbitrary words (the input split at zero bytes): it either
// understands the words or says why not, and what it understands is made of them.

#include "cli/arguments.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

void check(bool condition, const char *what)
{
    if (!condition) {
        std::fprintf(stderr, "arguments_fuzzer: %s\n", what);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace vuelco::cli;
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    std::vector<std::string_view> words;
    for (std::size_t start = 0; start <= input.size();) {
        const std::size_t end = std::min(input.find('\0', start), input.size());
        words.push_back(input.substr(start, end - start));
        start = end + 1;
    }

    const ParsedArguments parsed = parseArguments(words);
    check(parsed.arguments.has_value() != !parsed.error.empty(), "neither a result nor a reason, or both");
    if (!parsed.arguments)
        return 0;
    const Arguments &arguments = *parsed.arguments;
    const bool seesFiles = arguments.command == Command::Show || arguments.command == Command::Convert;
    check(arguments.command != Command::Undo || !arguments.undoRecord.empty(), "an undo without its record");
    check(arguments.recordFile.empty() || arguments.recordFile.front() != '-', "an option taken as the record");
    check(!seesFiles || !arguments.files.empty(), "no file to work on");
    check(seesFiles || arguments.files.empty(), "help or version with files");
    const bool optionsEnded = std::find(words.begin(), words.end(), "--") != words.end();
    for (const std::string &file : arguments.files) {
        check(std::find(words.begin(), words.end(), file) != words.end(), "a file that is not one of the words");
        check(optionsEnded || file.empty() || file == "-" || file.front() != '-',
              "an option taken as a file");
    }
    // Only the words before "--" can be options: after it, "--a-arcade" is a file's name.
    const auto optionsEnd = std::find(words.begin(), words.end(), "--");
    const bool asksArcade = std::find(words.begin(), optionsEnd, "--a-arcade") != optionsEnd;
    const bool asksEmulator = std::find(words.begin(), optionsEnd, "--a-emulador") != optionsEnd;
    if (arguments.command == Command::Convert) {
        check(asksArcade != asksEmulator, "converts without being asked, or to both layouts");
        check(arguments.target == (asksArcade ? vuelco::Layout::Arcade : vuelco::Layout::PcEmulator),
              "converts to the layout not asked for");
    }
    return 0;
}
