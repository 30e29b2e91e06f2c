#include "runtime/binary_file.h"

#include "runtime/failure.h"
#include "runtime/posix_calls.h"
#include "temp_folder.h"

#include <cerrno>
#include <gtest/gtest.h>

using namespace vuelco;

namespace {

TEST(BinaryFile, readsBytesByOffsetAndNothingPastTheEnd)
{
    TempFolder folder;
    const auto path = folder.write("a.dat", {0x10, 0x20, 0x30});
    BinaryFile file = BinaryFile::openForReading(path);

    EXPECT_EQ(file.readByte(0), 0x10);
    EXPECT_EQ(file.readByte(2), 0x30);
    EXPECT_EQ(file.readByte(3), std::nullopt);

    std::array<std::uint8_t, 8> buffer{};
    EXPECT_EQ(file.read(1, buffer), 2u);
    EXPECT_EQ(buffer[0], 0x20);
}

TEST(BinaryFile, closesOnceWhateverPathItTakes)
{
    TempFolder folder;
    const auto path = folder.write("a.dat", arcadeHeader());
    BinaryFile first = BinaryFile::openForUpdate(path);
    BinaryFile second = std::move(first);
    second.write(4, std::array<std::uint8_t, 1>{3});
    second.flush();
    second.close();
    second.close();

    Bytes expected = arcadeHeader();
    expected[4] = 3;
    EXPECT_EQ(readAll(path), expected);
}

int gOpenError = 0;
int failingOpen(const char *, int, mode_t)
{
    errno = gOpenError;
    return -1;
}

struct ErrnoCase {
    int error;
    bool forUpdate;
    FailureNumber number;
};

void PrintTo(const ErrnoCase &c, std::ostream *out)
{
    *out << "errno " << c.error << (c.forUpdate ? " opening for update" : " opening for reading");
}

class MapsSystemErrors : public testing::TestWithParam<ErrnoCase> {};

// A refused write access is how the system says "read-only", so it must come out as 75,
// the number the convert button answers with its own message.
TEST_P(MapsSystemErrors, ontoTheProgramsNumbers)
{
    const ErrnoCase c = GetParam();
    PosixCalls calls = realPosixCalls();
    calls.open = failingOpen;
    gOpenError = c.error;
    ScopedPosixCalls scope(calls);

    TempFolder folder;
    try {
        if (c.forUpdate)
            (void)BinaryFile::openForUpdate(folder / "a.dat");
        else
            (void)BinaryFile::openForReading(folder / "a.dat");
        FAIL() << "open should have failed";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.number(), static_cast<std::int32_t>(c.number));
        EXPECT_FALSE(failure.description().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Errors, MapsSystemErrors,
    testing::Values(ErrnoCase{EACCES, true, FailureNumber::ReadOnly}, ErrnoCase{EPERM, true, FailureNumber::ReadOnly},
                    ErrnoCase{EROFS, true, FailureNumber::ReadOnly},
                    ErrnoCase{EACCES, false, FailureNumber::PermissionDenied},
                    ErrnoCase{EBUSY, true, FailureNumber::PermissionDenied},
                    ErrnoCase{ENOENT, false, FailureNumber::FileNotFound},
                    ErrnoCase{ENOTDIR, false, FailureNumber::PathNotFound},
                    ErrnoCase{ENAMETOOLONG, false, FailureNumber::BadFileName},
                    ErrnoCase{ENOSPC, true, FailureNumber::DiskFull},
                    ErrnoCase{EMFILE, false, FailureNumber::TooManyFiles},
                    ErrnoCase{ENXIO, false, FailureNumber::DeviceNotReady},
                    ErrnoCase{EIO, false, FailureNumber::DeviceIo},
                    ErrnoCase{EXDEV, false, FailureNumber::DeviceIo}));

} // namespace
