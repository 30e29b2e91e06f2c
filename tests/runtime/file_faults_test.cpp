// The file layer under failing system calls: each error of the system reaches the caller
// as the right number and description, interrupted and short calls are asked again, and
// no descriptor is left open.

#include "fake_posix_calls.h"
#include "runtime/binary_file.h"
#include "runtime/failure.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace vuelco {
namespace {

namespace fs = std::filesystem;
using Call = FakePosixCalls::Call;
using Twist = FakePosixCalls::Twist;

class FileFaults : public ::testing::Test {
protected:
    void SetUp() override { std::ofstream(mPath, std::ios::binary) << "RES" << '\0' << "0123456789ABCDEFGH"; }
    void TearDown() override { EXPECT_EQ(mCalls.openDescriptors(), 0) << "a descriptor was left open"; }

    // The next opens fail with these errors, in turn; the later ones are real.
    void failOpens(std::vector<int> errors)
    {
        mCalls.plan([errors = std::move(errors), opens = std::size_t{0}](const FakePosixCalls::Record &call,
                                                                         std::size_t) mutable {
            if (call.call != Call::Open || opens == errors.size())
                return Twist{};
            return Twist{errors[opens++]};
        });
    }
    // Every call of one kind takes this twist.
    void twistEvery(Call kind, Twist twist)
    {
        mCalls.plan([kind, twist](const FakePosixCalls::Record &call, std::size_t) {
            return call.call == kind ? twist : Twist{};
        });
    }

    TempFolder mTemp;
    const fs::path &mFolder = mTemp.path();
    const fs::path mPath = mFolder / "datos.dat";
    FakePosixCalls mCalls;
};

struct OpenError {
    const char *name;
    int error;
    bool forUpdate;
    std::int32_t number;
    // How the description starts, when it is not the number's standard one.
    const char *description = nullptr;
};

void PrintTo(const OpenError &row, std::ostream *out) { *out << row.name; }

class OpenErrors : public FileFaults, public ::testing::WithParamInterface<OpenError> {};

TEST_P(OpenErrors, reachTheCallerAsTheirNumberAndDescription)
{
    const OpenError &row = GetParam();
    failOpens({row.error});
    try {
        (void)(row.forUpdate ? BinaryFile::openForUpdate(mPath) : BinaryFile::openForReading(mPath));
        ADD_FAILURE() << "the open did not fail";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.number(), row.number);
        if (row.description == nullptr) {
            EXPECT_EQ(failure.description(), standardDescription(static_cast<FailureNumber>(row.number)));
        } else {
            EXPECT_EQ(failure.description().rfind(row.description, 0), 0u) << failure.description();
        }
        EXPECT_EQ(failure.path(), mPath);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Errors, OpenErrors,
    ::testing::Values(OpenError{"eaccesOnRead", EACCES, false, 70}, OpenError{"eaccesOnUpdate", EACCES, true, 75},
                      OpenError{"epermOnUpdate", EPERM, true, 75}, OpenError{"erofsOnUpdate", EROFS, true, 75},
                      OpenError{"emfile", EMFILE, false, 67}, OpenError{"enfile", ENFILE, true, 67},
                      OpenError{"eio", EIO, true, 57}, OpenError{"enospc", ENOSPC, true, 61},
                      OpenError{"enxio", ENXIO, false, 68}, OpenError{"enoent", ENOENT, false, 53},
                      OpenError{"enotdir", ENOTDIR, false, 76}, OpenError{"ebusy", EBUSY, true, 70},
                      OpenError{"enametoolong", ENAMETOOLONG, false, 52,
                                "El nombre o la ruta del archivo es demasiado largo"},
                      OpenError{"exdev", EXDEV, false, 57, "Error del sistema 18 ("}),
    [](const ::testing::TestParamInfo<OpenError> &row) { return std::string(row.param.name); });

TEST_F(FileFaults, anOpenInterruptedAgainAndAgainIsAskedUntilItOpens)
{
    failOpens({EINTR, EINTR, EINTR, EINTR, EINTR});
    BinaryFile file = BinaryFile::openForReading(mPath);
    EXPECT_EQ(file.readByte(0), 0x52);
    EXPECT_EQ(mCalls.count(Call::Open), 6u);
}

TEST_F(FileFaults, aFolderStaysAFolderWhenItsSecondOpenIsInterrupted)
{
    // A folder refuses the write open with EISDIR; it is then opened for reading to be
    // described, and that open may be interrupted as well.
    failOpens({EISDIR, EINTR, EINTR});
    try {
        (void)BinaryFile::openForUpdate(mFolder);
        ADD_FAILURE() << "a folder was opened";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.number(), 52);
        EXPECT_EQ(failure.description(), "No se puede abrir: es una carpeta");
    }
}

TEST_F(FileFaults, aFailedTypeCheckClosesTheDescriptor)
{
    twistEvery(Call::Fstat, Twist{EIO});
    try {
        (void)BinaryFile::openForReading(mPath);
        ADD_FAILURE() << "the open did not fail";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.number(), 57);
    }
}

TEST_F(FileFaults, aWriteThatMakesNoProgressFailsInsteadOfLoopingForever)
{
    twistEvery(Call::Pwrite, Twist{0, 0});
    BinaryFile file = BinaryFile::openForUpdate(mPath);
    const std::array<std::uint8_t, 3> bytes{1, 2, 3};
    try {
        file.write(4, bytes);
        ADD_FAILURE() << "the write did not fail";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.number(), 57);
    }
}

TEST_F(FileFaults, readsThatComeOneByteAtATimeAreGatheredWhole)
{
    twistEvery(Call::Pread, Twist{0, 1});
    BinaryFile file = BinaryFile::openForReading(mPath);
    std::array<std::uint8_t, 16> bytes{};
    ASSERT_EQ(file.read(0, bytes), bytes.size());
    EXPECT_EQ(std::string(bytes.begin() + 4, bytes.end()), "0123456789AB");
    EXPECT_EQ(file.read(20, bytes), 2U);
}

TEST_F(FileFaults, aMissingFileWhoseFolderCannotBeCheckedIsAPathNotFound)
{
    twistEvery(Call::Stat, Twist{EACCES});
    try {
        (void)BinaryFile::openForReading(mFolder / "falta.dat");
        ADD_FAILURE() << "a missing file was opened";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.number(), 76);
    }
}

} // namespace
} // namespace vuelco
