#include "cli/standard_streams.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace vuelco::cli {

// A terminal takes UTF-8 as it is: nothing stands between it and the streams.
struct StandardStreams::Console {};

// An open takes the lowest number free, so each closed one is taken in turn.
StandardStreams::StandardStreams()
{
    for (int stream = STDIN_FILENO; stream <= STDERR_FILENO; ++stream) {
        if (::fcntl(stream, F_GETFD) == -1 && errno == EBADF)
            (void)::open("/dev/null", O_RDONLY);
    }
}

StandardStreams::~StandardStreams() = default;

} // namespace vuelco::cli
