#include "cli/interrupts.h"
#include "cli/run.h"
#include "cli/standard_streams.h"
#include "cli/terminal.h"
#ifdef _WIN32
#include "cli/windows_arguments.h"
#include "cli/windows_console.h"
#endif

#include <iostream>
#include <string_view>
#include <vector>

int main(int argc, char *argv[])
{
    using namespace vuelco::cli;
    holdClosedStandardStreams();
#ifdef _WIN32
    (void)argc;
    (void)argv;
    const WindowsConsole console;
    const std::vector<std::string> arguments = windowsArguments();
    const std::vector<std::string_view> words(arguments.begin(), arguments.end());
#else
    const std::vector<std::string_view> words(argv + 1, argv + argc);
#endif
    Interruption interruption;
    const InterruptHandlers handlers(interruption);
    return run(words, std::cout, std::cerr, {isTerminal(StandardStream::Output), isTerminal(StandardStream::Error)},
               &interruption);
}
