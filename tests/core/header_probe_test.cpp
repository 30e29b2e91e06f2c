#include "core/header_probe.h"

#include "fake_posix_calls.h"
#include "runtime/failure.h"
#include "temp_folder.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace vuelco;
using Call = FakePosixCalls::Call;

namespace {

Groups exampleGroups() { return {{0x11, 0x22, 0x33, 0x44}, {0x55, 0x66, 0x77, 0x88}}; }

Bytes withByte(Bytes bytes, std::size_t offset, std::uint8_t value)
{
    bytes[offset] = value;
    return bytes;
}

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

    FakePosixCalls calls;
    const ProbeResult result = probeHeader(file);

    EXPECT_EQ(result.layout, c.layout);
    if (c.layout) {
        EXPECT_EQ(result.groups, exampleGroups());
    }
    const auto reads = calls.accesses(Call::Pread);
    ASSERT_EQ(reads.size(), c.bytesRead);
    for (std::size_t i = 0; i < reads.size(); ++i) {
        EXPECT_EQ(reads[i].offset, static_cast<off_t>(i)) << "byte " << i << " read out of order";
        EXPECT_EQ(reads[i].size, 1u);
    }
    EXPECT_EQ(calls.count(Call::Pwrite), 0u);
    EXPECT_EQ(calls.count(Call::Open), 1u);
    EXPECT_EQ(calls.count(Call::Close), 1u);
}

const Bytes kBody(1000, 0xAB);

INSTANTIATE_TEST_SUITE_P(
    Headers, ClassifiesHeader,
    testing::Values(
        HeaderCase{"arcade", arcadeHeader(), Layout::Arcade, 16},
        HeaderCase{"arcadeWithBody", arcadeHeader() + kBody, Layout::Arcade, 16},
        HeaderCase{"pcEmulator", pcEmulatorHeader(), Layout::PcEmulator, 16},
        HeaderCase{"firstByteWrong", withByte(arcadeHeader(), 0, 0x53), std::nullopt, 1},
        HeaderCase{"lowerCaseSignature", Bytes{'r', 'e', 's', 0, 2, 0, 0, 0} + Bytes(8, 0), std::nullopt, 1},
        HeaderCase{"signatureNotEndedByZero", withByte(arcadeHeader(), 3, 0x20), std::nullopt, 4},
        HeaderCase{"layoutCode0", withByte(arcadeHeader(), 4, 0), std::nullopt, 5},
        HeaderCase{"layoutCode1", withByte(arcadeHeader(), 4, 1), std::nullopt, 5},
        HeaderCase{"layoutCode4", withByte(arcadeHeader(), 4, 4), std::nullopt, 5},
        HeaderCase{"layoutCode255", withByte(arcadeHeader(), 4, 0xFF), std::nullopt, 5},
        HeaderCase{"nonZeroAtOffset5", withByte(arcadeHeader(), 5, 1), std::nullopt, 6},
        HeaderCase{"nonZeroAtOffset6", withByte(pcEmulatorHeader(), 6, 0x80), std::nullopt, 7},
        HeaderCase{"nonZeroAtOffset7", withByte(arcadeHeader(), 7, 0xFF), std::nullopt, 8}),
    [](const testing::TestParamInfo<HeaderCase> &param) { return std::string(param.param.name); });

// A read past the end is neither a failure nor a zero byte: a file cut short inside the
// header is simply not a BGA file, so no conversion is ever offered that would extend it.
class ShortFile : public testing::TestWithParam<std::size_t> {};

TEST_P(ShortFile, isUnrecognised)
{
    const std::size_t length = GetParam();
    TempFolder folder;
    Bytes bytes = arcadeHeader();
    bytes.resize(length);
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

void expectFailure(const std::filesystem::path &path, FailureNumber number, const std::string &description)
{
    try {
        (void)probeHeader(path);
        ADD_FAILURE() << "probing " << path << " should have failed";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.number(), static_cast<std::int32_t>(number));
        EXPECT_EQ(failure.description(), description);
        EXPECT_EQ(failure.path(), path);
    }
}

TEST(HeaderProbeFailure, namesAMissingFileOrFolder)
{
    TempFolder folder;
    expectFailure(folder / "no-existe.dat", FailureNumber::FileNotFound, "No se encontró el archivo");
    expectFailure(folder / "no-existe" / "juego.dat", FailureNumber::PathNotFound,
                  "No se encontró la ruta de acceso");
}

// None of these may block: a pipe without a writer would hang a plain open for reading.
TEST(HeaderProbeFailure, refusesWhatIsNotARegularFileAtOnce)
{
    TempFolder folder;
    const auto pipe = folder / "tuberia.dat";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    expectFailure(pipe, FailureNumber::BadFileName, "No se puede abrir: es una tubería con nombre");

    const auto directory = folder / "carpeta.dat";
    std::filesystem::create_directory(directory);
    expectFailure(directory, FailureNumber::BadFileName, "No se puede abrir: es una carpeta");

    expectFailure("/dev/null", FailureNumber::BadFileName, "No se puede abrir: es un dispositivo");
}

TEST(HeaderProbeFailure, refusesASocket)
{
    TempFolder folder;
    const auto path = folder / "s.dat";
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string &native = path.native();
    if (native.size() >= sizeof(address.sun_path))
        GTEST_SKIP() << "temporary folder too deep for a socket name";
    native.copy(address.sun_path, native.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof(address)) == 0;
    // A socket cannot even be opened; what matters is a clear failure, not a hang.
    if (bound) {
        EXPECT_THROW((void)probeHeader(path), Failure);
    }
    if (fd >= 0)
        ::close(fd);
    ASSERT_TRUE(bound) << "no socket could be made";
}

TEST(HeaderProbe, readsAFileOpenToNoOneButItsOwner)
{
    TempFolder folder;
    const auto file = folder.write("solo-lectura.dat", arcadeHeader());
    std::filesystem::permissions(file, std::filesystem::perms::owner_read);

    EXPECT_EQ(probeHeader(file).layout, Layout::Arcade);
}

} // namespace
