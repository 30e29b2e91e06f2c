#pragma once

#include <cerrno>

namespace vuelco {

// Runs call until a signal no longer interrupts it: an interrupted call has not failed,
// and not every call is restarted by SA_RESTART on every system (fsync is not). close is
// the one call never asked again (see BinaryFile::close).
template <class Call>
auto askAgainWhenInterrupted(Call call)
{
    decltype(call()) result;
    do {
        result = call();
    } while (result < 0 && errno == EINTR);
    return result;
}

} // namespace vuelco
