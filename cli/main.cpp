#include "cli/run.h"
#include "cli/terminal.h"

#include <iostream>
#include <string_view>
#include <vector>

int main(int argc, char *argv[])
{
    using namespace vuelco::cli;
    const std::vector<std::string_view> words(argv + 1, argv + argc);
    return run(words, std::cout, std::cerr,
               {isTerminal(StandardStream::Output), isTerminal(StandardStream::Error)});
}
