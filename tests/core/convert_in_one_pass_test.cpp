#include "core/convert_in_one_pass.h"

#include "fake_posix_calls.h"
#include "runtime/failure.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

using namespace vuelco;
using Call = FakePosixCalls::Call;
namespace fs = std::filesystem;

namespace {

Bytes withByte(Bytes bytes, std::size_t offset, std::uint8_t value)
{
    bytes[offset] = value;
    return bytes;
}

Bytes firstBytes(Bytes bytes, std::size_t count)
{
    bytes.resize(count);
    return bytes;
}

const Bytes kBody(1000, 0xAB);

struct ConvertCase {
    const char *name;
    Bytes before;
    std::optional<Layout> found;
    Bytes after;   // the whole file once converted to the PC-emulator layout
};

void PrintTo(const ConvertCase &c, std::ostream *out) { *out << c.name; }

class ConvertsHeader : public testing::TestWithParam<ConvertCase> {};

// Whatever the header holds, the file is opened once, its header read in one piece, and
// only a file in the other layout gets its one write and flush.
TEST_P(ConvertsHeader, touchesTheFileOnceAndWritesOnlyAConversion)
{
    const ConvertCase &c = GetParam();
    TempFolder folder;
    const auto file = folder.write("juego.dat", c.before);

    FakePosixCalls calls;
    EXPECT_EQ(convertInOnePass(file, Layout::PcEmulator), c.found);

    EXPECT_EQ(readAll(file), c.after);
    EXPECT_EQ(calls.count(Call::Open), 1u);
    EXPECT_EQ(calls.count(Call::Close), 1u);
    // A file cut short takes one more read to find its end.
    const auto reads = calls.accesses(Call::Pread);
    ASSERT_EQ(reads.size(), c.before.size() < kHeaderSize ? 2u : 1u);
    EXPECT_EQ(reads[0].offset, 0);
    EXPECT_EQ(reads[0].size, kHeaderSize);
    const bool converts = c.found == Layout::Arcade;
    const auto writes = calls.accesses(Call::Pwrite);
    ASSERT_EQ(writes.size(), converts ? 1u : 0u);
    EXPECT_EQ(calls.count(Call::Fsync), converts ? 1u : 0u);
    if (converts) {
        EXPECT_EQ(writes[0].offset, static_cast<off_t>(kLayoutCodeOffset));
        EXPECT_EQ(writes[0].size, kHeaderSize - kLayoutCodeOffset);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Headers, ConvertsHeader,
    testing::Values(
        ConvertCase{"arcade", arcadeHeader() + kBody, Layout::Arcade, pcEmulatorHeader() + kBody},
        ConvertCase{"alreadyPcEmulator", pcEmulatorHeader(), Layout::PcEmulator, pcEmulatorHeader()},
        ConvertCase{"lowerCaseSignature", withByte(arcadeHeader(), 0, 'r'), std::nullopt,
                    withByte(arcadeHeader(), 0, 'r')},
        ConvertCase{"signatureNotEndedByZero", withByte(arcadeHeader(), 3, 0x20), std::nullopt,
                    withByte(arcadeHeader(), 3, 0x20)},
        ConvertCase{"layoutCode4", withByte(arcadeHeader(), 4, 4), std::nullopt, withByte(arcadeHeader(), 4, 4)},
        ConvertCase{"nonZeroAtOffset7", withByte(arcadeHeader(), 7, 0xFF), std::nullopt,
                    withByte(arcadeHeader(), 7, 0xFF)},
        ConvertCase{"endsInsideTheHeader", firstBytes(arcadeHeader(), 15), std::nullopt,
                    firstBytes(arcadeHeader(), 15)}),
    [](const testing::TestParamInfo<ConvertCase> &param) { return std::string(param.param.name); });

TEST(ConvertInOnePass, carriesEveryGroupByteValueThereAndBack)
{
    TempFolder folder;
    const Groups extreme{{0x00, 0x80, 0xFF, 0x01}, {0xFF, 0xFE, 0x00, 0x80}};
    const Header original = composeHeader(Layout::Arcade, extreme);
    const auto file = folder.write("x.dat", Bytes(original.begin(), original.end()));

    ASSERT_EQ(convertInOnePass(file, Layout::PcEmulator), Layout::Arcade);
    const Header converted = composeHeader(Layout::PcEmulator, extreme);
    EXPECT_EQ(readAll(file), Bytes(converted.begin(), converted.end()));
    ASSERT_EQ(convertInOnePass(file, Layout::Arcade), Layout::PcEmulator);
    EXPECT_EQ(readAll(file), Bytes(original.begin(), original.end()));
}

// Write access matters only to a file that needs converting: a read-only one is still
// told apart, and refused with ReadOnly only when it would have to change.
TEST(ConvertInOnePass, tellsAReadOnlyFileApartAndRefusesToChangeIt)
{
    TempFolder folder;
    const auto done = folder.write("hecho.dat", pcEmulatorHeader());
    const auto pending = folder.write("pendiente.dat", arcadeHeader());
    const auto foreign = folder.write("otro.dat", Bytes{'h', 'o', 'l', 'a'});
    for (const auto &file : {done, pending, foreign})
        fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);

    EXPECT_EQ(convertInOnePass(done, Layout::PcEmulator), Layout::PcEmulator);
    EXPECT_EQ(convertInOnePass(foreign, Layout::PcEmulator), std::nullopt);
    try {
        (void)convertInOnePass(pending, Layout::PcEmulator);
        FAIL() << "a read-only file was converted";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.number(), static_cast<std::int32_t>(FailureNumber::ReadOnly));
        EXPECT_EQ(failure.description(), standardDescription(FailureNumber::ReadOnly));
    }
    EXPECT_EQ(readAll(pending), arcadeHeader());
}

TEST(ConvertInOnePass, neverCreatesAFileThatIsNotThere)
{
    TempFolder folder;
    const auto file = folder / "falta.dat";
    try {
        (void)convertInOnePass(file, Layout::PcEmulator);
        FAIL() << "a missing file was reported converted";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.number(), static_cast<std::int32_t>(FailureNumber::FileNotFound));
        EXPECT_EQ(failure.description(), standardDescription(FailureNumber::FileNotFound));
    }
    EXPECT_FALSE(fs::exists(file));
}

} // namespace
