#include "runtime/system_errors_posix.h"

#include "runtime/system_calls_posix.h"

#include <algorithm>
#include <array>
#include <cerrno>

namespace vuelco {
namespace {

bool parentIsFolder(const std::filesystem::path &path)
{
    const auto parent = path.parent_path();
    struct stat status {};
    return parent.empty() ||
           (posixCalls().stat(AT_FDCWD, parent.c_str(), &status, 0) == 0 && S_ISDIR(status.st_mode));
}

// The system's errors that stand for the same failure number whatever the call and path.
struct Cause {
    int error;
    FailureNumber number;
};

constexpr std::array kCauses{
    Cause{ENOTDIR, FailureNumber::PathNotFound}, Cause{ELOOP, FailureNumber::PathNotFound},
    Cause{EROFS, FailureNumber::ReadOnly},
    Cause{EBUSY, FailureNumber::PermissionDenied}, Cause{ETXTBSY, FailureNumber::PermissionDenied},
    Cause{EILSEQ, FailureNumber::BadFileName}, Cause{EINVAL, FailureNumber::BadFileName},
    Cause{ENOSPC, FailureNumber::DiskFull}, Cause{EDQUOT, FailureNumber::DiskFull},
    Cause{EMFILE, FailureNumber::TooManyFiles}, Cause{ENFILE, FailureNumber::TooManyFiles},
    Cause{ENODEV, FailureNumber::DeviceNotReady}, Cause{ENXIO, FailureNumber::DeviceNotReady},
    Cause{ENOMEDIUM, FailureNumber::DeviceNotReady},
    Cause{EIO, FailureNumber::DeviceIo},
};

} // namespace

// Permission refused on a write open is what a file marked read-only gives, so it counts as
// ReadOnly; on a read open it stays PermissionDenied.
Failure failureFromErrno(int error, bool openingForUpdate, const std::filesystem::path &path)
{
    const auto standard = [&](FailureNumber number) { return Failure(number, path); };
    if (error == ENOENT)
        return standard(parentIsFolder(path) ? FailureNumber::FileNotFound : FailureNumber::PathNotFound);
    if (error == ENAMETOOLONG)
        return Failure(FailureNumber::BadFileName, path, FailureCause::NameTooLong);
    if (error == EACCES || error == EPERM)
        return standard(openingForUpdate ? FailureNumber::ReadOnly : FailureNumber::PermissionDenied);
    const auto cause =
        std::find_if(kCauses.begin(), kCauses.end(), [error](const Cause &c) { return c.error == error; });
    if (cause != kCauses.end())
        return standard(cause->number);
    return Failure(FailureNumber::DeviceIo, path,
                   FailureDetail::ofSystemError(static_cast<std::uint32_t>(error)));
}

} // namespace vuelco
