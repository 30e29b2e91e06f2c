// Odd file names and odd files: whatever the name, the probe and the conversion reach
// exactly the file it names, or fail with a number and a description that say why.

#include "core/convert_if_unchanged.h"
#include "core/header_probe.h"
#include "runtime/failure.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <unistd.h>
#include <vector>

namespace vuelco {
namespace {

namespace fs = std::filesystem;

const Groups kGroups{{0x10, 0x20, 0x30, 0x40}, {0x50, 0x60, 0x70, 0x80}};
const Groups kDecoyGroups{{0xDE, 0xC0, 0xDE, 0xC0}, {0xDE, 0xC0, 0xDE, 0xC0}};

Bytes fileWith(const Header &header)
{
    Bytes bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), {'c', 'u', 'e', 'r', 'p', 'o'});
    return bytes;
}

class OddFiles : public ::testing::Test {
protected:
    // Loads and converts the named file and checks that exactly it changed.
    void expectRoundTrip(const fs::path &path)
    {
        const Bytes arcade = fileWith(composeHeader(Layout::Arcade, kGroups));
        writeFile(path, arcade);
        const ProbeResult probe = probeHeader(path);
        ASSERT_EQ(probe.layout, Layout::Arcade);
        EXPECT_EQ(probe.groups, kGroups);
        ASSERT_EQ(convertIfUnchanged(path, Layout::PcEmulator, probe.groups), ConversionOutcome::Converted);
        EXPECT_EQ(readAll(path), fileWith(composeHeader(Layout::PcEmulator, kGroups)));
        ASSERT_EQ(convertIfUnchanged(path, Layout::Arcade, probe.groups), ConversionOutcome::Converted);
        EXPECT_EQ(readAll(path), arcade);
    }

    static void expectFailure(const fs::path &path, std::int32_t number)
    {
        try {
            (void)probeHeader(path);
            ADD_FAILURE() << "loading " << path << " did not fail";
        } catch (const Failure &failure) {
            EXPECT_EQ(failure.number(), number);
            EXPECT_FALSE(failure.description().empty());
            EXPECT_EQ(failure.path(), path);
        }
        try {
            (void)convertIfUnchanged(path, Layout::PcEmulator, kGroups);
            ADD_FAILURE() << "converting " << path << " did not fail";
        } catch (const Failure &failure) {
            EXPECT_EQ(failure.number(), number);
        }
    }

    TempFolder mTemp;
    const fs::path &mFolder = mTemp.path();
};

// 255 bytes, the most a name may take: 125 two-byte letters, one more byte and ".dat".
std::string longestAccentedName()
{
    std::string name;
    for (int i = 0; i < 125; ++i)
        name += "ñ";
    return name + "x.dat";
}

// A label for the test's name, and the file name as bytes.
using NameRow = std::pair<const char *, std::string>;

class OddName : public OddFiles, public ::testing::WithParamInterface<NameRow> {};

// Names as bytes, the way the system keeps them.
TEST_P(OddName, reachesExactlyTheNamedFile)
{
    // A decoy beside it carries the name with its blanks removed, so reaching the wrong
    // file shows up as the decoy's groups.
    const std::string name = GetParam().second;
    const auto first = name.find_first_not_of(' ');
    const std::string trimmed = first == std::string::npos ? "" : name.substr(first, name.find_last_not_of(' ') - first + 1);
    const bool hasDecoy = trimmed != name && !trimmed.empty();
    if (hasDecoy)
        writeFile(mFolder / trimmed, fileWith(composeHeader(Layout::Arcade, kDecoyGroups)));
    expectRoundTrip(mFolder / name);
    if (hasDecoy) {
        EXPECT_EQ(readAll(mFolder / trimmed), fileWith(composeHeader(Layout::Arcade, kDecoyGroups)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Names, OddName,
    ::testing::Values(NameRow{"accents", "Música de Año 1.dat"}, NameRow{"enye", "ñandú.DAT"},
                      NameRow{"spaces", "con espacios.dat"}, NameRow{"leadingBlanks", "  blancos delante.dat"},
                      NameRow{"trailingBlanks", "blancos detrás.dat  "}, NameRow{"onlyABlank", " "},
                      NameRow{"leadingDash", "-empieza con guion.dat"}, NameRow{"lineBreak", "salto\nde línea.dat"},
                      NameRow{"name255Bytes", std::string(251, 'n') + ".dat"},
                      NameRow{"accentedName255Bytes", longestAccentedName()}),
    [](const ::testing::TestParamInfo<NameRow> &row) { return std::string(row.param.first); });

// A name that is not valid UTF-8 is kept as the system's bytes: the file it names is
// loaded, never the one whose name is its "repaired" spelling.
TEST_F(OddFiles, aNameThatIsNotUtf8ReachesItsOwnFile)
{
    const fs::path decoy = mFolder / "\xEF\xBF\xBD.dat";  // U+FFFD, what a repair would give
    writeFile(decoy, fileWith(composeHeader(Layout::Arcade, kDecoyGroups)));
    expectRoundTrip(mFolder / "\xFF\xFE a\xF1o.dat");  // Latin-1 "año"
    EXPECT_EQ(readAll(decoy), fileWith(composeHeader(Layout::Arcade, kDecoyGroups)));
}

TEST_F(OddFiles, aNameOfMoreThan255BytesIsRefusedAsABadName)
{
    const fs::path path = mFolder / (std::string(252, 'n') + ".dat");
    expectFailure(path, 52);
    std::error_code error;
    EXPECT_FALSE(fs::exists(path, error));
}

TEST_F(OddFiles, aPathLongerThanTheSystemTakesIsRefusedClearly)
{
    fs::path path = mFolder;
    for (int i = 0; i < 40; ++i)
        path /= std::string(120, 'c');
    path /= "largo.dat";
    try {
        (void)probeHeader(path);
        ADD_FAILURE() << "a path of " << path.native().size() << " bytes was loaded";
    } catch (const Failure &failure) {
        EXPECT_TRUE(failure.number() == 52 || failure.number() == 76) << failure.number();
        EXPECT_EQ(failure.description(), "El nombre o la ruta del archivo es demasiado largo");
    }
}

TEST_F(OddFiles, aSymbolicLinkConvertsItsTarget)
{
    const fs::path target = mFolder / "destino.dat";
    const fs::path link = mFolder / "enlace.dat";
    writeFile(target, fileWith(composeHeader(Layout::Arcade, kGroups)));
    fs::create_symlink(target, link);

    const ProbeResult probe = probeHeader(link);
    ASSERT_EQ(probe.layout, Layout::Arcade);
    ASSERT_EQ(convertIfUnchanged(link, Layout::PcEmulator, probe.groups), ConversionOutcome::Converted);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readAll(target), fileWith(composeHeader(Layout::PcEmulator, kGroups)));
}

TEST_F(OddFiles, aDanglingLinkIsAFileNotFoundAndCreatesNothing)
{
    const fs::path link = mFolder / "roto.dat";
    fs::create_symlink(mFolder / "no-existe.dat", link);
    expectFailure(link, 53);
    EXPECT_FALSE(fs::exists(mFolder / "no-existe.dat"));
}

TEST_F(OddFiles, aLinkThatPointsAtItselfIsAPathNotFound)
{
    const fs::path link = mFolder / "bucle.dat";
    fs::create_symlink(link, link);
    expectFailure(link, 76);
}

TEST_F(OddFiles, aFileInsideAFileIsAPathNotFound)
{
    const fs::path file = mFolder / "archivo.dat";
    writeFile(file, fileWith(composeHeader(Layout::Arcade, kGroups)));
    expectFailure(file / "dentro.dat", 76);
}

} // namespace
} // namespace vuelco
