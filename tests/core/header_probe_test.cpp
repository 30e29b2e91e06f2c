#include "core/header_probe.h"

#include "system_call_faults.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace vuelco {
namespace {

namespace fs = std::filesystem;

struct HeaderCase {
    const char *name;
    Bytes bytes;
    std::optional<Layout> layout;
    std::size_t bytesRead;   // how far the probe may look before it decides
};

void PrintTo(const HeaderCase &c, std::ostream *out) { *out << c.name; }

class ClassifiesHeader : public testing::TestWithParam<HeaderCase> {};

TEST_P(ClassifiesHeader, readsOnlyUpToTheDecidingByte)
{
    const HeaderCase &c = GetParam();
    TempFolder folder;
    const auto file = folder.write("juego.dat", c.bytes);

    FakeCalls calls;
    const ProbeResult result = probeHeader(file);

    EXPECT_EQ(result.layout, c.layout);
    if (c.layout) {
        EXPECT_EQ(result.groups, kGroups);
    }
    std::vector<Record> expected;
    for (std::size_t i = 0; i < c.bytesRead; ++i)
        expected.push_back({Call::Read, i, 1});
    EXPECT_EQ(calls.accesses(Call::Read), expected) << "bytes read out of order, or too many";
    EXPECT_EQ(calls.count(Call::Write), 0u);
    EXPECT_EQ(calls.count(Call::Open), 1u);
    EXPECT_EQ(calls.count(Call::Close), 1u);
}

const Bytes kArcade = headerOf(Layout::Arcade);

INSTANTIATE_TEST_SUITE_P(
    Headers, ClassifiesHeader,
    testing::Values(
        HeaderCase{"arcade", kArcade, Layout::Arcade, 16},
        HeaderCase{"arcadeWithBody", fileWith(Layout::Arcade, bodyOf(1000)), Layout::Arcade, 16},
        HeaderCase{"pcEmulator", headerOf(Layout::PcEmulator), Layout::PcEmulator, 16},
        HeaderCase{"firstByteWrong", withByte(kArcade, 0, 0x53), std::nullopt, 1},
        HeaderCase{"lowerCaseSignature", Bytes{'r', 'e', 's', 0, 2, 0, 0, 0} + Bytes(8, 0), std::nullopt, 1},
        HeaderCase{"signatureNotEndedByZero", withByte(kArcade, 3, 0x20), std::nullopt, 4},
        HeaderCase{"layoutCode0", withByte(kArcade, 4, 0), std::nullopt, 5},
        HeaderCase{"layoutCode1", withByte(kArcade, 4, 1), std::nullopt, 5},
        HeaderCase{"layoutCode4", withByte(kArcade, 4, 4), std::nullopt, 5},
        HeaderCase{"layoutCode255", withByte(kArcade, 4, 0xFF), std::nullopt, 5},
        HeaderCase{"nonZeroAtOffset5", withByte(kArcade, 5, 1), std::nullopt, 6},
        HeaderCase{"nonZeroAtOffset6", withByte(headerOf(Layout::PcEmulator), 6, 0x80), std::nullopt, 7},
        HeaderCase{"nonZeroAtOffset7", withByte(kArcade, 7, 0xFF), std::nullopt, 8}),
    testing::PrintToStringParamName());

// A read past the end is neither a failure nor a zero byte: a file cut short inside the
// header is simply not a BGA file, so no conversion is ever offered that would extend it.
class ShortFile : public testing::TestWithParam<std::size_t> {};

TEST_P(ShortFile, isUnrecognised)
{
    TempFolder folder;
    const Bytes bytes = firstBytes(kArcade, GetParam());
    const auto file = folder.write("corto.dat", bytes);

    EXPECT_FALSE(probeHeader(file).recognised());
    EXPECT_EQ(readAll(file), bytes);
}

INSTANTIATE_TEST_SUITE_P(EveryLengthBelowTheHeader, ShortFile, testing::Range<std::size_t>(0, 16));

TEST(HeaderProbe, carriesExtremeGroupBytesUnchanged)
{
    TempFolder folder;
    const Bytes header{0x52, 0x45, 0x53, 0x00, 0x03, 0x00, 0x00, 0x00,
                       0x00, 0x80, 0xFF, 0x7F, 0xFF, 0x00, 0x80, 0x01};
    const ProbeResult result = probeHeader(folder.write("x.dat", header));

    ASSERT_EQ(result.layout, Layout::PcEmulator);
    EXPECT_EQ(result.groups.GrupoB, (Grupo{0x00, 0x80, 0xFF, 0x7F}));
    EXPECT_EQ(result.groups.GrupoA, (Grupo{0xFF, 0x00, 0x80, 0x01}));
}

TEST(HeaderProbe, readsAFileOpenToNoOneButItsOwner)
{
    TempFolder folder;
    const auto file = folder.write("solo-lectura.dat", kArcade);
    fs::permissions(file, fs::perms::owner_read);

    EXPECT_EQ(probeHeader(file).layout, Layout::Arcade);
}

Thrown probing(const fs::path &path)
{
    return thrownBy([&] { (void)probeHeader(path); });
}

// What is not a regular file, made where the system has it: false where it has none.
struct NotAFile {
    const char *name;
    std::function<bool(const fs::path &)> make;
    // What it is, in "No se puede abrir: es ...", when it can be opened to be told apart.
    const char *what;
};

void PrintTo(const NotAFile &row, std::ostream *out) { *out << row.name; }

class NotARegularFile : public testing::TestWithParam<NotAFile> {};

// None of these may block: a pipe without a writer would hang a plain open for reading.
// A socket cannot even be opened; what matters is a clear failure, not a hang.
TEST_P(NotARegularFile, isRefusedAtOnce)
{
    TempFolder folder;
    const fs::path path = folder / "raro.dat";
    if (!GetParam().make(path))
        GTEST_SKIP() << "no " << GetParam().name << " can be made here";
    const Thrown thrown = probing(path);
    if (GetParam().what == nullptr) {
        EXPECT_NE(thrown.number, 0) << "nothing was thrown";
    } else {
        EXPECT_EQ(thrown, Thrown(52, std::string("No se puede abrir: es ") + GetParam().what, path));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, NotARegularFile,
    testing::Values(NotAFile{"namedPipe", makeNamedPipe, "una tubería con nombre"},
                    NotAFile{"socket", makeSocket, nullptr}),
    testing::PrintToStringParamName());

TEST(HeaderProbeFailure, refusesADeviceAtOnce)
{
    EXPECT_EQ(probing(aDevice()), Thrown(52, "No se puede abrir: es un dispositivo", aDevice()));
}

} // namespace
} // namespace vuelco
