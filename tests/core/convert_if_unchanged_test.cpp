#include "core/convert_if_unchanged.h"

#include "core/header_probe.h"
#include "fake_posix_calls.h"
#include "runtime/failure.h"
#include "temp_folder.h"

#include <fstream>
#include <gtest/gtest.h>

using namespace vuelco;
using Call = FakePosixCalls::Call;
namespace fs = std::filesystem;

namespace {

const Groups kGroups{{0x11, 0x22, 0x33, 0x44}, {0x55, 0x66, 0x77, 0x88}};

Bytes body()
{
    Bytes bytes(4096);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7);
    return bytes;
}

TEST(ConvertIfUnchanged, swapsTheGroupsAndTheCodeAndNothingElse)
{
    TempFolder folder;
    const auto file = folder.write("juego.dat", arcadeHeader() + body());

    ASSERT_EQ(convertIfUnchanged(file, Layout::PcEmulator, kGroups), ConversionOutcome::Converted);
    EXPECT_EQ(readAll(file), pcEmulatorHeader() + body());

    ASSERT_EQ(convertIfUnchanged(file, Layout::Arcade, kGroups), ConversionOutcome::Converted);
    EXPECT_EQ(readAll(file), arcadeHeader() + body());
}

TEST(ConvertIfUnchanged, roundTripCarriesEveryGroupByteValue)
{
    TempFolder folder;
    const Groups extreme{{0x00, 0x80, 0xFF, 0x01}, {0xFF, 0xFE, 0x00, 0x80}};
    const Header original = composeHeader(Layout::Arcade, extreme);
    const auto file = folder.write("x.dat", Bytes(original.begin(), original.end()));

    const ProbeResult loaded = probeHeader(file);
    ASSERT_EQ(loaded.groups, extreme);
    ASSERT_EQ(convertIfUnchanged(file, Layout::PcEmulator, loaded.groups), ConversionOutcome::Converted);
    EXPECT_EQ(probeHeader(file).layout, Layout::PcEmulator);
    EXPECT_EQ(probeHeader(file).groups, extreme);
    ASSERT_EQ(convertIfUnchanged(file, Layout::Arcade, loaded.groups), ConversionOutcome::Converted);
    EXPECT_EQ(readAll(file), Bytes(original.begin(), original.end()));
}

// The header must reach the disk whole: one write of offsets 4 to 15, then a flush,
// and the only read is the check of the header as loaded.
TEST(ConvertIfUnchanged, writesTheHeaderOnceAndFlushesIt)
{
    TempFolder folder;
    const auto file = folder.write("juego.dat", arcadeHeader() + body());

    FakePosixCalls calls;
    ASSERT_EQ(convertIfUnchanged(file, Layout::PcEmulator, kGroups), ConversionOutcome::Converted);

    const auto writes = calls.accesses(Call::Pwrite);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].offset, 4);
    EXPECT_EQ(writes[0].size, 12u);
    const auto reads = calls.accesses(Call::Pread);
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_EQ(reads[0].offset, 0);
    EXPECT_EQ(reads[0].size, 16u);
    EXPECT_EQ(calls.count(Call::Fsync), 1u);
    EXPECT_EQ(calls.count(Call::Open), 1u);
    EXPECT_EQ(calls.count(Call::Close), 1u);
}

TEST(ConvertIfUnchanged, leavesTheBodyAndLengthOfAHugeSparseFile)
{
    TempFolder folder;
    const auto file = folder.write("enorme.dat", arcadeHeader());
    const std::uintmax_t size = 4ull << 30;
    fs::resize_file(file, size);
    const Bytes tail{0xDE, 0xAD, 0xBE, 0xEF};
    const auto at = [size](std::uintmax_t back) { return static_cast<std::streamoff>(size - back); };
    {
        std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
        out.seekp(at(tail.size()));
        ASSERT_TRUE(out.write(reinterpret_cast<const char *>(tail.data()), 4));
    }

    ASSERT_EQ(convertIfUnchanged(file, Layout::PcEmulator, kGroups), ConversionOutcome::Converted);
    ASSERT_EQ(convertIfUnchanged(file, Layout::Arcade, kGroups), ConversionOutcome::Converted);

    EXPECT_EQ(fs::file_size(file), size);
    Bytes head(16), end(4);
    std::ifstream in(file, std::ios::binary);
    ASSERT_TRUE(in.read(reinterpret_cast<char *>(head.data()), 16));
    in.seekg(at(4));
    ASSERT_TRUE(in.read(reinterpret_cast<char *>(end.data()), 4));
    EXPECT_EQ(head, arcadeHeader());
    EXPECT_EQ(end, tail);
}

struct ChangedCase {
    const char *name;
    Bytes onDisk;
};

void PrintTo(const ChangedCase &c, std::ostream *out) { *out << c.name; }

class ChangedSinceLoaded : public testing::TestWithParam<ChangedCase> {};

// The caller says it loaded an arcade file with kGroups; whatever else is on disk now
// must be left exactly as it is.
TEST_P(ChangedSinceLoaded, writesNothing)
{
    TempFolder folder;
    const auto file = folder.write("juego.dat", GetParam().onDisk);

    FakePosixCalls calls;
    EXPECT_EQ(convertIfUnchanged(file, Layout::PcEmulator, kGroups), ConversionOutcome::ChangedSinceLoaded);
    EXPECT_EQ(calls.count(Call::Pwrite), 0u);
    EXPECT_EQ(calls.count(Call::Fsync), 0u);
    EXPECT_EQ(calls.openDescriptors(), 0);
    EXPECT_EQ(readAll(file), GetParam().onDisk);
}

Bytes truncated(std::size_t length)
{
    Bytes bytes = arcadeHeader();
    bytes.resize(length);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(
    Headers, ChangedSinceLoaded,
    testing::Values(ChangedCase{"alreadyConverted", pcEmulatorHeader()},
                    ChangedCase{"otherGroups", Bytes{0x52, 0x45, 0x53, 0, 2, 0, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8}},
                    ChangedCase{"signatureGone", Bytes(16, 0)},
                    ChangedCase{"zeroByteChanged", Bytes{0x52, 0x45, 0x53, 0, 2, 0, 9, 0, 0x11, 0x22, 0x33,
                                                         0x44, 0x55, 0x66, 0x77, 0x88}},
                    ChangedCase{"empty", Bytes{}},
                    ChangedCase{"cutInsideTheGroups", truncated(12)},
                    ChangedCase{"cutBeforeTheLastByte", truncated(15)}),
    [](const testing::TestParamInfo<ChangedCase> &param) { return std::string(param.param.name); });

void expectFailure(const fs::path &path, FailureNumber number)
{
    try {
        (void)convertIfUnchanged(path, Layout::PcEmulator, kGroups);
        ADD_FAILURE() << "rewriting " << path << " should have failed";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.number(), static_cast<std::int32_t>(number));
        EXPECT_EQ(failure.description(), standardDescription(number));
    }
}

TEST(ConvertIfUnchangedFailure, neverCreatesAFileThatVanished)
{
    TempFolder folder;
    const auto file = folder / "borrado.dat";
    expectFailure(file, FailureNumber::FileNotFound);
    EXPECT_FALSE(fs::exists(file));
}

// Root may write anything, so the owner's write permission is what marks a file
// read-only; the failure comes before any byte is written.
TEST(ConvertIfUnchangedFailure, refusesAFileMarkedReadOnlyEvenForRoot)
{
    TempFolder folder;
    const auto file = folder.write("solo-lectura.dat", arcadeHeader());
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

    FakePosixCalls calls;
    expectFailure(file, FailureNumber::ReadOnly);
    EXPECT_EQ(calls.count(Call::Pwrite), 0u);
    EXPECT_EQ(calls.openDescriptors(), 0);
    EXPECT_EQ(readAll(file), arcadeHeader());
}

TEST(ConvertIfUnchangedFailure, refusesAFolder)
{
    TempFolder folder;
    const auto directory = folder / "carpeta.dat";
    fs::create_directory(directory);
    EXPECT_THROW((void)convertIfUnchanged(directory, Layout::PcEmulator, kGroups), Failure);
}

} // namespace
