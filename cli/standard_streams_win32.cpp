#include "cli/standard_streams.h"

#include "cli/console_win32.h"

namespace vuelco::cli {

struct StandardStreams::Console : WideConsole {
    using WideConsole::WideConsole;
};

// Windows hands a file opened later a handle of its own, never a closed standard one's:
// nothing to hold.
StandardStreams::StandardStreams(bool jsonOutput) : mConsole(std::make_unique<Console>(jsonOutput)) {}

StandardStreams::~StandardStreams() = default;

} // namespace vuelco::cli
