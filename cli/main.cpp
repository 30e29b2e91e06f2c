#include "cli/run.h"
#ifdef _WIN32
#include "cli/windows_arguments.h"
#include "cli/windows_console.h"
#endif

#include <iostream>
#include <string_view>
#include <vector>

int main(int argc, char *argv[])
{
#ifdef _WIN32
    (void)argc;
    (void)argv;
    const vuelco::cli::WindowsConsole console;
    const std::vector<std::string> arguments = vuelco::cli::windowsArguments();
    const std::vector<std::string_view> words(arguments.begin(), arguments.end());
#else
    const std::vector<std::string_view> words(argv + 1, argv + argc);
#endif
    return vuelco::cli::run(words, std::cout, std::cerr);
}
