#include "cli/terminal.h"

#include "runtime/api_win32.h"

namespace vuelco::cli {

// Only a console has a console mode; _isatty would also take the NUL device for one.
bool isTerminal(StandardStream stream)
{
    DWORD mode = 0;
    const DWORD which = stream == StandardStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE;
    return GetConsoleMode(GetStdHandle(which), &mode) != 0;
}

} // namespace vuelco::cli
