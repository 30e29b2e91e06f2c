#include "runtime/windows_errors.h"

#include <gtest/gtest.h>

#include "runtime/windows_api.h"

namespace vuelco {
namespace {

struct ErrorRow {
    const char *label;
    DWORD error;
    bool forUpdate;
    FailureNumber number;
};

void PrintTo(const ErrorRow &row, std::ostream *out) { *out << row.label; }

class WindowsErrors : public testing::TestWithParam<ErrorRow> {};

// The numbers the handlers answer to: 75 gets the convert button's read-only message,
// 68 the chooser's retry question; a file another program keeps to itself is 70, which
// the user sees in the generic box with its number.
TEST_P(WindowsErrors, mapOntoTheProgramsNumbers)
{
    const ErrorRow &row = GetParam();
    const Failure failure = failureFromWindowsError(row.error, row.forUpdate, L"C:\\Datos\\A\u00f1o.dat");
    EXPECT_EQ(failure.number(), static_cast<std::int32_t>(row.number));
    EXPECT_FALSE(failure.description().empty());
    EXPECT_EQ(failure.path(), L"C:\\Datos\\A\u00f1o.dat");
}

INSTANTIATE_TEST_SUITE_P(
    Errors, WindowsErrors,
    testing::Values(ErrorRow{"accessDeniedForUpdate", ERROR_ACCESS_DENIED, true, FailureNumber::ReadOnly},
                    ErrorRow{"accessDeniedForReading", ERROR_ACCESS_DENIED, false, FailureNumber::PermissionDenied},
                    ErrorRow{"writeProtectedMedium", ERROR_WRITE_PROTECT, true, FailureNumber::ReadOnly},
                    ErrorRow{"heldWithoutSharing", ERROR_SHARING_VIOLATION, true, FailureNumber::PermissionDenied},
                    ErrorRow{"lockedRange", ERROR_LOCK_VIOLATION, true, FailureNumber::PermissionDenied},
                    ErrorRow{"fileNotFound", ERROR_FILE_NOT_FOUND, false, FailureNumber::FileNotFound},
                    ErrorRow{"pathNotFound", ERROR_PATH_NOT_FOUND, false, FailureNumber::PathNotFound},
                    ErrorRow{"shareGone", ERROR_BAD_NET_NAME, false, FailureNumber::PathNotFound},
                    ErrorRow{"driveNotReady", ERROR_NOT_READY, false, FailureNumber::DeviceNotReady},
                    ErrorRow{"invalidName", ERROR_INVALID_NAME, false, FailureNumber::BadFileName},
                    ErrorRow{"nameTooLong", ERROR_FILENAME_EXCED_RANGE, false, FailureNumber::BadFileName},
                    ErrorRow{"diskFull", ERROR_DISK_FULL, true, FailureNumber::DiskFull},
                    ErrorRow{"otherError", ERROR_NETNAME_DELETED, false, FailureNumber::DeviceIo}),
    [](const testing::TestParamInfo<ErrorRow> &row) { return std::string(row.param.label); });

} // namespace
} // namespace vuelco
