#include "batch/kept_records.h"

#include "runtime/api_win32.h"
#include "runtime/system_errors_win32.h"
#include "runtime/verbatim_path_win32.h"

#include <cstdlib>

namespace vuelco::batch {

std::filesystem::path keptRecordsFolder()
{
    // Read once, on the window's thread, before any run starts.
    const wchar_t *local = _wgetenv(L"LOCALAPPDATA");  // NOLINT(concurrency-mt-unsafe)
    if (local == nullptr || !std::filesystem::path(local).is_absolute())
        return {};
    return std::filesystem::path(local) / L"Vuelco" / L"Registros";
}

void makeFolder(const std::filesystem::path &folder)
{
    if (!CreateDirectoryW(verbatimPath(folder).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        throw failureFromWindowsError(GetLastError(), true, folder);
}

} // namespace vuelco::batch
