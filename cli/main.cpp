#include "cli/run.h"

#include <iostream>
#include <string_view>
#include <vector>

int main(int argc, char *argv[])
{
    const std::vector<std::string_view> words(argv + 1, argv + argc);
    return vuelco::cli::run(words, std::cout, std::cerr);
}
