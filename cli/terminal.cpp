#include "cli/terminal.h"

// The one place the command line asks the platform something of its own.
#ifdef _WIN32
#include <cstdio>
#include <io.h>

#include "runtime/windows_api.h"
#else
#include <unistd.h>
#endif

namespace vuelco::cli {

bool isTerminal(StandardStream stream)
{
#ifdef _WIN32
    // _isatty is also true for the NUL device; only a console has a console mode.
    const bool output = stream == StandardStream::Output;
    DWORD mode = 0;
    return _isatty(_fileno(output ? stdout : stderr)) != 0 &&
           GetConsoleMode(GetStdHandle(output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE), &mode) != 0;
#else
    return ::isatty(stream == StandardStream::Output ? STDOUT_FILENO : STDERR_FILENO) == 1;
#endif
}

} // namespace vuelco::cli
