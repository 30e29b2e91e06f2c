// The file layer on real files, and under failing system calls: each error of the system
// reaches the caller as the right number and description, interrupted and short calls are
// asked again, and no descriptor is left open.

#include "runtime/binary_file.h"

#include "system_call_faults.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <vector>

namespace vuelco {
namespace {

namespace fs = std::filesystem;

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
    const auto path = folder.write("a.dat", headerOf(Layout::Arcade));
    BinaryFile first = BinaryFile::openForUpdate(path);
    BinaryFile second = std::move(first);
    second.write(4, std::array<std::uint8_t, 1>{3});
    second.flush();
    second.close();
    second.close();

    EXPECT_EQ(readAll(path), withByte(headerOf(Layout::Arcade), 4, 3));
}

class FileFaults : public ::testing::Test {
protected:
    void TearDown() override { EXPECT_EQ(mCalls.openDescriptors(), 0) << "a descriptor was left open"; }

    // The next opens fail with these errors, in turn; the later ones are real.
    void failOpens(std::vector<int> errors)
    {
        mCalls.plan([errors = std::move(errors), opens = std::size_t{0}](const Record &call, std::size_t) mutable {
            if (call.call != Call::Open || opens == errors.size())
                return Twist{};
            return Twist{errors[opens++]};
        });
    }
    // Every call of one kind takes this twist.
    void twistEvery(Call kind, Twist twist)
    {
        mCalls.plan([kind, twist](const Record &call, std::size_t) { return call.call == kind ? twist : Twist{}; });
    }
    TempFolder mTemp;
    const fs::path &mFolder = mTemp.path();
    const Bytes mContents = fileWith(Layout::Arcade, bodyOf(6));
    const fs::path mPath = mTemp.write("datos.dat", mContents);
    FakeCalls mCalls;
};

class OpenErrors : public FileFaults, public ::testing::WithParamInterface<OpenError> {};

TEST_P(OpenErrors, reachTheCallerAsTheirNumberAndDescription)
{
    const OpenError &row = GetParam();
    failOpens({row.error});
    const Thrown thrown = thrownBy([&] {
        (void)(row.forUpdate ? BinaryFile::openForUpdate(mPath) : BinaryFile::openForReading(mPath));
    });
    if (row.description == nullptr) {
        EXPECT_EQ(thrown, Thrown(static_cast<FailureNumber>(row.number), mPath));
    } else {
        EXPECT_EQ(thrown, Thrown(row.number, row.description, mPath));
    }
}

INSTANTIATE_TEST_SUITE_P(Errors, OpenErrors, ::testing::ValuesIn(kSystemCalls.openErrors),
                         ::testing::PrintToStringParamName());

TEST_F(FileFaults, anOpenInterruptedAgainAndAgainIsAskedUntilItOpens)
{
    if (!canBeInterrupted(Call::Open))
        GTEST_SKIP() << "this system never interrupts a call";
    failOpens(std::vector<int>(5, kSystemCalls.interrupted));
    BinaryFile file = BinaryFile::openForReading(mPath);
    EXPECT_EQ(file.readByte(0), 0x52);
    EXPECT_EQ(mCalls.count(Call::Open), 6u);
}

// A folder refuses the write open; it is then opened for reading to be described, and
// that open may be interrupted as well.
TEST_F(FileFaults, aFolderStaysAFolderWhenItsSecondOpenIsInterrupted)
{
    if (!canBeInterrupted(Call::Open))
        GTEST_SKIP() << "this system never interrupts a call";
    failOpens({0, kSystemCalls.interrupted, kSystemCalls.interrupted});
    EXPECT_EQ(thrownBy([&] { (void)BinaryFile::openForUpdate(mFolder); }),
              Thrown(52, "No se puede abrir: es una carpeta", mFolder));
}

TEST_F(FileFaults, aFailedTypeCheckClosesTheDescriptor)
{
    twistEvery(kSystemCalls.typeCheck, Twist{kSystemCalls.deviceIo});
    EXPECT_EQ(thrownBy([&] { (void)BinaryFile::openForReading(mPath); }), Thrown(FailureNumber::DeviceIo, mPath));
}

TEST_F(FileFaults, aWriteThatMakesNoProgressFailsInsteadOfLoopingForever)
{
    twistEvery(Call::Write, Twist{0, 0});
    BinaryFile file = BinaryFile::openForUpdate(mPath);
    EXPECT_EQ(thrownBy([&] { file.write(4, std::array<std::uint8_t, 3>{1, 2, 3}); }).number, 57);
}

TEST_F(FileFaults, readsThatComeOneByteAtATimeAreGatheredWhole)
{
    twistEvery(Call::Read, Twist{0, 1});
    BinaryFile file = BinaryFile::openForReading(mPath);
    std::array<std::uint8_t, 16> bytes{};
    ASSERT_EQ(file.read(0, bytes), bytes.size());
    EXPECT_EQ(Bytes(bytes.begin(), bytes.end()), firstBytes(mContents, 16));
    EXPECT_EQ(file.read(20, bytes), 2U);
}

TEST_F(FileFaults, aMissingFileWhoseFolderCannotBeCheckedIsAPathNotFound)
{
    if (!kSystemCalls.folderCheck)
        GTEST_SKIP() << "this system's open tells a missing folder on its own";
    twistEvery(*kSystemCalls.folderCheck, Twist{EACCES});
    EXPECT_EQ(thrownBy([&] { (void)BinaryFile::openForReading(mFolder / "falta.dat"); }).number, 76);
}

} // namespace
} // namespace vuelco
