#include "core/convert_in_one_pass.h"

#include "system_call_faults.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

namespace vuelco {
namespace {

namespace fs = std::filesystem;

const Bytes kBody = bodyOf(1000);

struct ConvertCase {
    const char *name;
    Bytes before;
    std::optional<Layout> found;
};

void PrintTo(const ConvertCase &c, std::ostream *out) { *out << c.name; }

class ConvertsHeader : public testing::TestWithParam<ConvertCase> {};

// Whatever the header holds, the file is opened for reading once and its header read in
// one piece; only a file in the other layout is opened again, for writing, has its header
// read again under the lock, and gets its one write and flush.
TEST_P(ConvertsHeader, touchesTheFileOnceAndWritesOnlyAConversion)
{
    const ConvertCase &c = GetParam();
    TempFolder folder;
    const auto file = folder.write("juego.dat", c.before);

    FakeCalls calls;
    EXPECT_EQ(convertInOnePass(file, Layout::PcEmulator), c.found);

    // The one row that converts is the arcade file with a body.
    const bool converts = c.found == Layout::Arcade;
    EXPECT_EQ(readAll(file), converts ? fileWith(Layout::PcEmulator, kBody) : c.before);
    EXPECT_EQ(calls.count(Call::Open), converts ? 1 + kSystemCalls.opensToConvert : 1u);
    EXPECT_EQ(calls.count(Call::Close), calls.count(Call::Open));
    // A file cut short takes one more read to find its end.
    const auto reads = calls.accesses(Call::Read);
    ASSERT_EQ(reads.size(), c.before.size() < kHeaderSize || converts ? 2u : 1u);
    EXPECT_EQ(reads[0], (Record{Call::Read, 0, kHeaderSize}));
    const std::vector<Record> write{{Call::Write, kLayoutCodeOffset, kHeaderSize - kLayoutCodeOffset}};
    EXPECT_EQ(calls.accesses(Call::Write), converts ? write : std::vector<Record>{});
    EXPECT_EQ(calls.count(Call::Flush), converts ? 1u : 0u);
}

const Bytes kArcade = headerOf(Layout::Arcade);

INSTANTIATE_TEST_SUITE_P(
    Headers, ConvertsHeader,
    testing::Values(ConvertCase{"arcade", fileWith(Layout::Arcade, kBody), Layout::Arcade},
                    ConvertCase{"alreadyPcEmulator", headerOf(Layout::PcEmulator), Layout::PcEmulator},
                    ConvertCase{"lowerCaseSignature", withByte(kArcade, 0, 'r'), std::nullopt},
                    ConvertCase{"signatureNotEndedByZero", withByte(kArcade, 3, 0x20), std::nullopt},
                    ConvertCase{"layoutCode4", withByte(kArcade, 4, 4), std::nullopt},
                    ConvertCase{"nonZeroAtOffset7", withByte(kArcade, 7, 0xFF), std::nullopt},
                    ConvertCase{"endsInsideTheHeader", firstBytes(kArcade, 15), std::nullopt}),
    testing::PrintToStringParamName());

TEST(ConvertInOnePass, carriesEveryGroupByteValueThereAndBack)
{
    TempFolder folder;
    const auto file = folder.write("x.dat", headerOf(Layout::Arcade, kExtremeGroups));

    ASSERT_EQ(convertInOnePass(file, Layout::PcEmulator), Layout::Arcade);
    EXPECT_EQ(readAll(file), headerOf(Layout::PcEmulator, kExtremeGroups));
    ASSERT_EQ(convertInOnePass(file, Layout::Arcade), Layout::PcEmulator);
    EXPECT_EQ(readAll(file), headerOf(Layout::Arcade, kExtremeGroups));
}

// Write access matters only to a file that needs converting: a read-only one is still
// told apart, and refused with ReadOnly only when it would have to change.
TEST(ConvertInOnePass, tellsAReadOnlyFileApartAndRefusesToChangeIt)
{
    TempFolder folder;
    const auto done = folder.write("hecho.dat", headerOf(Layout::PcEmulator));
    const auto pending = folder.write("pendiente.dat", kArcade);
    const auto foreign = folder.write("otro.dat", Bytes{'h', 'o', 'l', 'a'});
    for (const auto &file : {done, pending, foreign})
        fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

    EXPECT_EQ(convertInOnePass(done, Layout::PcEmulator), Layout::PcEmulator);
    EXPECT_EQ(convertInOnePass(foreign, Layout::PcEmulator), std::nullopt);
    EXPECT_EQ(thrownBy([&] { (void)convertInOnePass(pending, Layout::PcEmulator); }),
              Thrown(FailureNumber::ReadOnly, pending));
    EXPECT_EQ(readAll(pending), kArcade);
}

} // namespace
} // namespace vuelco
