#include "cli/command_words.h"
#include "cli/interrupts.h"
#include "cli/run.h"
#include "cli/standard_streams.h"
#include "cli/terminal.h"

#include <iostream>
#include <string>
#include <string_view>
#include <vector>

int main(int argc, char *argv[])
{
    using namespace vuelco::cli;
    const StandardStreams streams;
    const std::vector<std::string> arguments = commandWords(argc, argv);
    const std::vector<std::string_view> words(arguments.begin(), arguments.end());
    Interruption interruption;
    const InterruptHandlers handlers(interruption);
    return run(words, std::cout, std::cerr, {isTerminal(StandardStream::Output), isTerminal(StandardStream::Error)},
               &interruption, &std::cin);
}
