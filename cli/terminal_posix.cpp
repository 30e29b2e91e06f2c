#include "cli/terminal.h"

#include <unistd.h>

namespace vuelco::cli {

bool isTerminal(StandardStream stream)
{
    return ::isatty(stream == StandardStream::Output ? STDOUT_FILENO : STDERR_FILENO) == 1;
}

} // namespace vuelco::cli
