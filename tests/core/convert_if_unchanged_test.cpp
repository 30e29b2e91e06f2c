#include "core/convert_if_unchanged.h"

#include "core/header_probe.h"
#include "system_call_faults.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace vuelco {
namespace {

namespace fs = std::filesystem;

const Bytes kBody = bodyOf(4096);

TEST(ConvertIfUnchanged, swapsTheGroupsAndTheCodeAndNothingElse)
{
    TempFolder folder;
    const auto file = folder.write("juego.dat", fileWith(Layout::Arcade, kBody));

    ASSERT_EQ(convertIfUnchanged(file, Layout::PcEmulator, kGroups), ConversionOutcome::Converted);
    EXPECT_EQ(readAll(file), fileWith(Layout::PcEmulator, kBody));

    ASSERT_EQ(convertIfUnchanged(file, Layout::Arcade, kGroups), ConversionOutcome::Converted);
    EXPECT_EQ(readAll(file), fileWith(Layout::Arcade, kBody));
}

TEST(ConvertIfUnchanged, roundTripCarriesEveryGroupByteValue)
{
    TempFolder folder;
    const auto file = folder.write("x.dat", headerOf(Layout::Arcade, kExtremeGroups));

    const ProbeResult loaded = probeHeader(file);
    ASSERT_EQ(loaded.groups, kExtremeGroups);
    ASSERT_EQ(convertIfUnchanged(file, Layout::PcEmulator, loaded.groups), ConversionOutcome::Converted);
    EXPECT_EQ(readAll(file), headerOf(Layout::PcEmulator, kExtremeGroups));
    ASSERT_EQ(convertIfUnchanged(file, Layout::Arcade, loaded.groups), ConversionOutcome::Converted);
    EXPECT_EQ(readAll(file), headerOf(Layout::Arcade, kExtremeGroups));
}

// The header must reach the disk whole: one write of offsets 4 to 15, then a flush,
// and the only read is the check of the header as loaded.
TEST(ConvertIfUnchanged, writesTheHeaderOnceAndFlushesIt)
{
    TempFolder folder;
    const auto file = folder.write("juego.dat", fileWith(Layout::Arcade, kBody));

    FakeCalls calls;
    ASSERT_EQ(convertIfUnchanged(file, Layout::PcEmulator, kGroups), ConversionOutcome::Converted);

    EXPECT_EQ(calls.accesses(Call::Write), (std::vector<Record>{{Call::Write, 4, 12}}));
    EXPECT_EQ(calls.accesses(Call::Read), (std::vector<Record>{{Call::Read, 0, 16}}));
    EXPECT_EQ(calls.count(Call::Flush), 1u);
    EXPECT_EQ(calls.count(Call::Open), kSystemCalls.opensToConvert);
    EXPECT_EQ(calls.count(Call::Close), kSystemCalls.opensToConvert);
}

TEST(ConvertIfUnchanged, leavesTheBodyAndLengthOfAHugeSparseFile)
{
    TempFolder folder;
    const auto file = folder.write("enorme.dat", headerOf(Layout::Arcade));
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
    EXPECT_EQ(head, headerOf(Layout::Arcade));
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

    FakeCalls calls;
    EXPECT_EQ(convertIfUnchanged(file, Layout::PcEmulator, kGroups), ConversionOutcome::ChangedSinceLoaded);
    EXPECT_EQ(calls.count(Call::Write), 0u);
    EXPECT_EQ(calls.count(Call::Flush), 0u);
    EXPECT_EQ(calls.openDescriptors(), 0);
    EXPECT_EQ(readAll(file), GetParam().onDisk);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, ChangedSinceLoaded,
    testing::Values(ChangedCase{"alreadyConverted", headerOf(Layout::PcEmulator)},
                    ChangedCase{"otherGroups", headerOf(Layout::Arcade, kOtherGroups)},
                    ChangedCase{"signatureGone", Bytes(16, 0)},
                    ChangedCase{"zeroByteChanged", withByte(headerOf(Layout::Arcade), 6, 9)},
                    ChangedCase{"empty", Bytes{}},
                    ChangedCase{"cutInsideTheGroups", firstBytes(headerOf(Layout::Arcade), 12)},
                    ChangedCase{"cutBeforeTheLastByte", firstBytes(headerOf(Layout::Arcade), 15)}),
    testing::PrintToStringParamName());

// Root may write anything, so the owner's write permission is what marks a file
// read-only; the failure comes before any byte is written.
TEST(ConvertIfUnchangedFailure, refusesAFileMarkedReadOnlyEvenForRoot)
{
    TempFolder folder;
    const auto file = folder.write("solo-lectura.dat", headerOf(Layout::Arcade));
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

    FakeCalls calls;
    EXPECT_EQ(thrownBy([&] { (void)convertIfUnchanged(file, Layout::PcEmulator, kGroups); }),
              Thrown(FailureNumber::ReadOnly, file));
    EXPECT_EQ(calls.count(Call::Write), 0u);
    EXPECT_EQ(calls.openDescriptors(), 0);
    EXPECT_EQ(readAll(file), headerOf(Layout::Arcade));
}

} // namespace
} // namespace vuelco
