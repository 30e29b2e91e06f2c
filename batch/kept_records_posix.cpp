#include "batch/kept_records.h"

#include "runtime/system_errors_posix.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>

namespace vuelco::batch {

std::filesystem::path keptRecordsFolder()
{
    // Read once, on the window's thread, before any run starts.
    // NOLINTBEGIN(concurrency-mt-unsafe)
    const char *state = std::getenv("XDG_STATE_HOME");
    const char *home = std::getenv("HOME");
    // NOLINTEND(concurrency-mt-unsafe)
    std::filesystem::path folder;
    // A relative state folder is to be ignored, as if unset.
    if (state != nullptr && std::filesystem::path(state).is_absolute())
        folder = state;
    else if (home != nullptr && std::filesystem::path(home).is_absolute())
        folder = std::filesystem::path(home) / ".local" / "state";
    else
        return {};
    return folder / "vuelco" / "registros";
}

void makeFolder(const std::filesystem::path &folder)
{
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        throw failureFromErrno(errno, true, folder);
}

} // namespace vuelco::batch
