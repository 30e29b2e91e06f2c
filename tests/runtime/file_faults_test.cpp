// The file layer under failing system calls: each error of the system reaches the caller
// as the right number and description, interrupted and short calls are asked again, and
// no descriptor is left open.

#include "runtime/binary_file.h"
#include "runtime/failure.h"
#include "runtime/posix_calls.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace vuelco {
namespace {

namespace fs = std::filesystem;

// What the fake calls do: how many opens fail and with which error, what the next calls
// of each kind return, and how many descriptors are open.
struct Script {
    // The errors of the next opens, in turn; once used up, the opens are real.
    std::vector<int> openErrors;
    int fstatErrno = 0;
    int statErrno = 0;
    int pwriteReturnsZero = 0;
    std::size_t preadAtMost = SIZE_MAX;
    int opens = 0;
    int openDescriptors = 0;
};

Script gScript;

int scriptedOpen(const char *path, int flags, mode_t mode)
{
    if (static_cast<std::size_t>(gScript.opens++) < gScript.openErrors.size()) {
        errno = gScript.openErrors[static_cast<std::size_t>(gScript.opens - 1)];
        return -1;
    }
    const int fd = realPosixCalls().open(path, flags, mode);
    gScript.openDescriptors += fd >= 0;
    return fd;
}

ssize_t scriptedPread(int fd, void *buffer, size_t count, off_t offset)
{
    return realPosixCalls().pread(fd, buffer, std::min(count, gScript.preadAtMost), offset);
}

ssize_t scriptedPwrite(int fd, const void *buffer, size_t count, off_t offset)
{
    if (gScript.pwriteReturnsZero > 0) {
        --gScript.pwriteReturnsZero;
        return 0;
    }
    return realPosixCalls().pwrite(fd, buffer, count, offset);
}

int scriptedFstat(int fd, struct stat *status)
{
    if (gScript.fstatErrno != 0) {
        errno = gScript.fstatErrno;
        return -1;
    }
    return realPosixCalls().fstat(fd, status);
}

int scriptedStat(const char *path, struct stat *status)
{
    if (gScript.statErrno != 0) {
        errno = gScript.statErrno;
        return -1;
    }
    return realPosixCalls().stat(path, status);
}

int scriptedClose(int fd)
{
    const int result = realPosixCalls().close(fd);
    gScript.openDescriptors -= result == 0;
    return result;
}

const PosixCalls kScripted{scriptedOpen,  scriptedPread, scriptedPwrite,          scriptedFstat,
                           scriptedStat,  ::fsync,       scriptedClose};

class FileFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        char folder[] = "/tmp/vuelco-file-faults-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        mFolder = folder;
        mPath = mFolder / "datos.dat";
        std::ofstream(mPath, std::ios::binary) << "RES" << '\0' << "0123456789ABCDEFGH";
        gScript = Script{};
    }
    void TearDown() override
    {
        EXPECT_EQ(gScript.openDescriptors, 0) << "a descriptor was left open";
        fs::remove_all(mFolder);
    }

    fs::path mFolder;
    fs::path mPath;
    const ScopedPosixCalls mSeam{kScripted};
};

struct OpenError {
    const char *name;
    int error;
    bool forUpdate;
    std::int32_t number;
};

void PrintTo(const OpenError &row, std::ostream *out) { *out << row.name; }

class OpenErrors : public FileFaults, public ::testing::WithParamInterface<OpenError> {};

TEST_P(OpenErrors, reachTheCallerAsTheirNumberAndDescription)
{
    const OpenError &row = GetParam();
    gScript.openErrors = {row.error};
    try {
        (void)(row.forUpdate ? BinaryFile::openForUpdate(mPath) : BinaryFile::openForReading(mPath));
        ADD_FAILURE() << "the open did not fail";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.number(), row.number);
        EXPECT_EQ(failure.description(), standardDescription(static_cast<FailureNumber>(row.number)));
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
                      OpenError{"enotdir", ENOTDIR, false, 76}, OpenError{"ebusy", EBUSY, true, 70}),
    [](const ::testing::TestParamInfo<OpenError> &row) { return std::string(row.param.name); });

TEST_F(FileFaults, anOpenInterruptedAgainAndAgainIsAskedUntilItOpens)
{
    gScript.openErrors = {EINTR, EINTR, EINTR, EINTR, EINTR};
    BinaryFile file = BinaryFile::openForReading(mPath);
    EXPECT_EQ(file.readByte(0), 0x52);
    EXPECT_EQ(gScript.opens, 6);
}

TEST_F(FileFaults, aFolderStaysAFolderWhenItsSecondOpenIsInterrupted)
{
    // A folder refuses the write open with EISDIR; it is then opened for reading to be
    // described, and that open may be interrupted as well.
    gScript.openErrors = {EISDIR, EINTR, EINTR};
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
    gScript.fstatErrno = EIO;
    try {
        (void)BinaryFile::openForReading(mPath);
        ADD_FAILURE() << "the open did not fail";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.number(), 57);
    }
}

TEST_F(FileFaults, aWriteThatMakesNoProgressFailsInsteadOfLoopingForever)
{
    gScript.pwriteReturnsZero = 1;
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
    gScript.preadAtMost = 1;
    BinaryFile file = BinaryFile::openForReading(mPath);
    std::array<std::uint8_t, 16> bytes{};
    ASSERT_EQ(file.read(0, bytes), bytes.size());
    EXPECT_EQ(std::string(bytes.begin() + 4, bytes.end()), "0123456789AB");
    EXPECT_EQ(file.read(20, bytes), 2U);
}

TEST_F(FileFaults, aMissingFileWhoseFolderCannotBeCheckedIsAPathNotFound)
{
    gScript.statErrno = EACCES;
    try {
        (void)BinaryFile::openForReading(mFolder / "falta.dat");
        ADD_FAILURE() << "a missing file was opened";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.number(), 76);
    }
}

} // namespace
} // namespace vuelco
