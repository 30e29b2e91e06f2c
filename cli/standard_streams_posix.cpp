#include "cli/standard_streams.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace vuelco::cli {

// A terminal takes UTF-8 as it is: nothing stands between it and the streams.
struct StandardStreams::Console {};

// An open takes the lowest number free, so each closed one is taken in turn. UTF-8 serves
// text and JSON alike.
StandardStreams::StandardStreams(bool /*jsonOutput*/)
{
    for (int stream = STDIN_FILENO; stream <= STDERR_FILENO; ++stream) {
        if (::fcntl(stream, F_GETFD) == -1 && errno == EBADF)
            (void)::open("/dev/null", O_RDONLY);
    }
    // A pipe whose reader went away (`| head`) would end the program on SIGPIPE in the
    // middle of the run, silent and with no summary; ignored, the write fails with EPIPE
    // and the record tells it like any other lost output.
    (void)std::signal(SIGPIPE, SIG_IGN);
}

StandardStreams::~StandardStreams() = default;

} // namespace vuelco::cli
