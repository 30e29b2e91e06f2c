#include "runtime/system_errors_win32.h"

#include <string>

#include "runtime/api_win32.h"

namespace vuelco {

// Maps the system's error onto the program's failure numbers. Access refused on a
// write open is what a file marked read-only gives, so it counts as ReadOnly; a folder
// gives it as well, and is told apart before this mapping (binary_file_win32.cpp). A file
// that another program holds without sharing its writes is PermissionDenied (70).
Failure failureFromWindowsError(std::uint32_t error, bool openingForUpdate, const std::filesystem::path &path)
{
    const auto standard = [&](FailureNumber number) { return Failure(number, path); };
    // Windows allows no "*" or "?" in a name: one there is a pattern that matched nothing.
    if (path.filename().native().find_first_of(L"*?") != std::wstring::npos)
        return Failure(FailureNumber::FileNotFound, path, FailureCause::NoNameMatches);
    switch (error) {
    case ERROR_FILE_NOT_FOUND: return standard(FailureNumber::FileNotFound);
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_INVALID_DRIVE: return standard(FailureNumber::PathNotFound);
    case ERROR_ACCESS_DENIED:
        return standard(openingForUpdate ? FailureNumber::ReadOnly : FailureNumber::PermissionDenied);
    case ERROR_WRITE_PROTECT: return standard(FailureNumber::ReadOnly);
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return standard(FailureNumber::PermissionDenied);
    case ERROR_FILENAME_EXCED_RANGE: return Failure(FailureNumber::BadFileName, path, FailureCause::NameTooLong);
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME: return standard(FailureNumber::BadFileName);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return standard(FailureNumber::DiskFull);
    case ERROR_TOO_MANY_OPEN_FILES: return standard(FailureNumber::TooManyFiles);
    case ERROR_NOT_READY:
    case ERROR_DEV_NOT_EXIST: return standard(FailureNumber::DeviceNotReady);
    case ERROR_CRC:
    case ERROR_GEN_FAILURE:
    case ERROR_IO_DEVICE: return standard(FailureNumber::DeviceIo);
    default:
        break;
    }
    return Failure(FailureNumber::DeviceIo, path, FailureDetail::ofSystemError(error));
}

} // namespace vuelco
