#include "batch/record_file.h"

#include "runtime/api_win32.h"
#include "runtime/system_calls_win32.h"
#include "runtime/system_errors_win32.h"
#include "runtime/verbatim_path_win32.h"

#include <algorithm>
#include <string>

namespace vuelco::batch {
namespace {

HANDLE handleOf(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

} // namespace

RecordFile::~RecordFile()
{
    if (isOpen())
        win32Calls().closeHandle(handleOf(mHandle));
}

bool RecordFile::create(const std::filesystem::path &path)
{
    mPath = path;
    // CREATE_NEW: an existing name is refused. Appending, so that every write lands at the end.
    const std::wstring name = verbatimPath(path);
    HANDLE handle = win32Calls().createFile(name.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
            return false;
        throw failureFromWindowsError(error, true, path);
    }
    mHandle = reinterpret_cast<std::intptr_t>(handle);
    return true;
}

void RecordFile::write(std::string_view text)
{
    while (!text.empty()) {
        const auto count = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1U << 30));
        DWORD put = 0;
        if (!win32Calls().writeFile(handleOf(mHandle), text.data(), count, &put, nullptr))
            throw failureFromWindowsError(GetLastError(), false, mPath);
        if (put == 0)
            throw failureFromWindowsError(ERROR_WRITE_FAULT, false, mPath);
        text.remove_prefix(put);
    }
}

void RecordFile::flush()
{
    if (!win32Calls().flushFileBuffers(handleOf(mHandle)))
        throw failureFromWindowsError(GetLastError(), false, mPath);
}

} // namespace vuelco::batch
