#pragma once

#include "cli/run.h"

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

// What one run of the command line in this process left: its status and both streams.
struct CliRun {
    int status;
    std::string out;
    std::string err;
};

// Runs the command line on these words, with in as standard input.
inline CliRun runCli(const std::vector<std::string> &words, const std::string &in = {})
{
    const std::vector<std::string_view> views(words.begin(), words.end());
    std::ostringstream out, err;
    std::istringstream input(in);
    const int status = vuelco::cli::run(views, out, err, {}, nullptr, &input);
    return {status, out.str(), err.str()};
}
