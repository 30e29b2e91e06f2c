#include "cli/standard_streams.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace vuelco::cli {

// An open takes the lowest number free, so each closed one is taken in turn.
void holdClosedStandardStreams()
{
    for (int stream = STDIN_FILENO; stream <= STDERR_FILENO; ++stream) {
        if (::fcntl(stream, F_GETFD) == -1 && errno == EBADF)
            (void)::open("/dev/null", O_RDONLY);
    }
}

} // namespace vuelco::cli
