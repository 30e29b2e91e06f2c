#include "cli/command_words.h"
#include "cli/interrupts.h"
#include "cli/run.h"
#include "cli/standard_streams.h"
#include "cli/terminal.h"

#include <algorithm>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

int main(int argc, char *argv[])
{
    using namespace vuelco::cli;
    const std::vector<std::string> arguments = commandWords(argc, argv);
    const std::vector<std::string_view> words(arguments.begin(), arguments.end());
    // Read before the run parses them, since the streams are made ready before any output.
    const auto options = std::find(words.begin(), words.end(), "--");
    const StandardStreams streams(std::find(words.begin(), options, "--json") != options);
    Interruption interruption;
    const InterruptHandlers handlers(interruption);
    return run(words, std::cout, std::cerr, {isTerminal(StandardStream::Output), isTerminal(StandardStream::Error)},
               &interruption, &std::cin);
}
