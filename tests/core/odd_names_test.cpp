// Odd file names and odd files: whatever the name, the load and both conversions reach
// exactly the file it names, whatever the system would otherwise make of the name (a
// repaired spelling, trimmed blanks and dots, a device name), or fail with a number and a
// description that say why. Names are bytes on Linux and UTF-16 on Windows; the rows that
// only one of them can spell are skipped on the other.

#include "conversion_paths.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace vuelco {
namespace {

namespace fs = std::filesystem;

const Bytes kArcade = fileWith(Layout::Arcade, bodyOf(6));
// The file reached by mistake: the one a name's trimmed or repaired spelling names.
const Bytes kDecoy = fileWith(Layout::Arcade, bodyOf(6), kOtherGroups);

// Loads and converts the file both ways and checks that exactly it changed.
void expectRoundTrip(const fs::path &path, const fs::path &absolute)
{
    ASSERT_TRUE(loadAndConvert(ConversionPath::Window, path));
    EXPECT_EQ(readAll(absolute), fileWith(Layout::PcEmulator, bodyOf(6)));
    ASSERT_TRUE(loadAndConvert(ConversionPath::CommandLine, path));
    EXPECT_EQ(readAll(absolute), kArcade);
}

// Loading, converting and the batch conversion all fail as expected.
void expectFailure(const fs::path &path, const Thrown &expected)
{
    EXPECT_EQ(thrownBy([&] { (void)probeHeader(path); }), expected) << "loading";
    EXPECT_EQ(thrownBy([&] { (void)convertIfUnchanged(path, Layout::PcEmulator, kGroups); }), expected)
        << "converting";
    EXPECT_EQ(thrownBy([&] { (void)convertInOnePass(path, Layout::PcEmulator); }), expected)
        << "converting in a batch";
}

class OddFiles : public ::testing::Test {
protected:
    TempFolder mTemp;
    const fs::path &mFolder = mTemp.path();
};

struct NameRow {
    const char *label;
    std::u8string name;   // below the temporary folder
    std::u8string decoy;  // the name trimmed, where it differs
    bool anyByte = false; // a name only Linux takes
};

void PrintTo(const NameRow &row, std::ostream *out) { *out << row.label; }

class OddName : public OddFiles, public ::testing::WithParamInterface<NameRow> {
protected:
    void SetUp() override
    {
        if (GetParam().anyByte && !kNamesAreBytes)
            GTEST_SKIP() << "no such name on this system";
        makeFolders((mFolder / GetParam().name).parent_path());
        if (!GetParam().decoy.empty())
            writeFile(mFolder / GetParam().decoy, kDecoy);
    }
    void TearDown() override
    {
        if (!GetParam().decoy.empty()) {
            EXPECT_EQ(readAll(mFolder / GetParam().decoy), kDecoy) << "the decoy was reached";
        }
    }
};

TEST_P(OddName, reachesExactlyTheNamedFile)
{
    const fs::path path = mFolder / GetParam().name;
    writeFile(path, kArcade);
    expectRoundTrip(path, path);
}

TEST_P(OddName, withoutItsFileIsNotFoundAndNothingIsCreated)
{
    const fs::path path = mFolder / GetParam().name;
    expectFailure(path, Thrown(FailureNumber::FileNotFound, path));
    EXPECT_FALSE(isThere(path));
}

// 255 bytes, the most a Linux name may take: 125 two-byte letters, one more and ".dat".
std::u8string longestAccentedName()
{
    std::u8string name;
    for (int i = 0; i < 125; ++i)
        name += u8"ñ";
    return name + u8"x.dat";
}

const std::u8string kLongFolder(100, u8'a');

INSTANTIATE_TEST_SUITE_P(
    Names, OddName,
    ::testing::Values(
        NameRow{"accents", u8"Música de Año 1.dat", {}}, NameRow{"enye", u8"ñandú.DAT", {}},
        NameRow{"accentedFolderAndName", u8"Música/Año 1.dat", {}},
        NameRow{"outsideTheAnsiCodePage", u8"Дані Ωμέγα データ.dat", {}},
        NameRow{"spaces", u8"con espacios.dat", {}},
        NameRow{"leadingBlanks", u8"  blancos delante.dat", u8"blancos delante.dat"},
        NameRow{"trailingBlanks", u8"blancos detrás.dat  ", u8"blancos detrás.dat"}, NameRow{"onlyABlank", u8" ", {}},
        NameRow{"trailingDot", u8"x.dat.", u8"x.dat"}, NameRow{"trailingBlanksAndDots", u8"Año.dat . .", u8"Año.dat"},
        NameRow{"leadingDash", u8"-empieza con guion.dat", {}}, NameRow{"deviceName", u8"NUL.dat", {}},
        NameRow{"lineBreak", u8"salto\nde línea.dat", {}, true},
        NameRow{"name255Bytes", std::u8string(251, u8'n') + u8".dat", {}},
        NameRow{"accentedName255Bytes", longestAccentedName(), {}},
        NameRow{"pathOver260Characters", kLongFolder + u8"/" + kLongFolder + u8"/" + kLongFolder + u8"/largo.dat", {}}),
    ::testing::PrintToStringParamName());

// A name that is not valid UTF-8 is kept as the system's bytes: the file it names is
// loaded, never the one whose name is its "repaired" spelling.
TEST_F(OddFiles, aNameThatIsNotUtf8ReachesItsOwnFile)
{
    if (!kNamesAreBytes)
        GTEST_SKIP() << "names are UTF-16 here";
    const fs::path decoy = mFolder / "\xEF\xBF\xBD.dat";  // U+FFFD, what a repair would give
    const fs::path path = mFolder / "\xFF\xFE a\xF1o.dat"; // Latin-1 "año"
    writeFile(decoy, kDecoy);
    writeFile(path, kArcade);
    expectRoundTrip(path, path);
    EXPECT_EQ(readAll(decoy), kDecoy);
}

// The command line hands over names relative to the current folder as they were typed.
TEST_F(OddFiles, aRelativeNameKeepsItsTrailingBlank)
{
    writeFile(mFolder / "x.dat", kDecoy);
    writeFile(mFolder / "x.dat ", kArcade);
    const fs::path previous = fs::current_path();
    fs::current_path(mFolder);
    expectRoundTrip("x.dat ", mFolder / "x.dat ");
    fs::current_path(previous);
    EXPECT_EQ(readAll(mFolder / "x.dat"), kDecoy);
}

TEST_F(OddFiles, aNameLongerThanAnyTheSystemTakesIsABadNameAndCreatesNothing)
{
    const fs::path path = mFolder / (std::string(252, 'n') + ".dat");
    expectFailure(path, Thrown(52, "El nombre o la ruta del archivo es demasiado largo", path));
    EXPECT_FALSE(isThere(path));
}

TEST_F(OddFiles, aPathLongerThanTheSystemTakesIsRefusedClearly)
{
    if (kLongestPath == 0)
        GTEST_SKIP() << "no path is too long here";
    fs::path path = mFolder;
    while (path.native().size() <= kLongestPath)
        path /= std::string(120, 'c');
    path /= "largo.dat";
    const Thrown thrown = thrownBy([&] { (void)probeHeader(path); });
    EXPECT_TRUE(thrown.number == 52 || thrown.number == 76) << thrown.number;
    EXPECT_EQ(thrown.description, "El nombre o la ruta del archivo es demasiado largo");
}

TEST_F(OddFiles, aFolderIsRefusedAsAFolderNotAsReadOnly)
{
    const fs::path folder = mFolder / "carpeta.dat";
    makeFolders(folder);
    expectFailure(folder, Thrown(52, "No se puede abrir: es una carpeta", folder));
}

TEST_F(OddFiles, aMissingFolderIsAPathNotFoundAndIsNotMade)
{
    const fs::path path = mFolder / u8"no está" / u8"Año.dat";
    expectFailure(path, Thrown(FailureNumber::PathNotFound, path));
    EXPECT_FALSE(isThere(path.parent_path()));
}

TEST_F(OddFiles, aFileInsideAFileIsAPathNotFound)
{
    const fs::path file = mTemp.write("archivo.dat", kArcade);
    expectFailure(file / "dentro.dat", Thrown(FailureNumber::PathNotFound, file / "dentro.dat"));
}

// Windows lets only privileged accounts make links (and Wine cannot).
class Links : public OddFiles {
protected:
    static bool linked(const fs::path &target, const fs::path &link)
    {
        std::error_code refused;
        fs::create_symlink(target, link, refused);
        return !refused;
    }
};

TEST_F(Links, aSymbolicLinkConvertsItsTarget)
{
    const fs::path target = mTemp.write("destino.dat", kArcade);
    if (!linked(target, mFolder / "enlace.dat"))
        GTEST_SKIP() << "no link can be made here";
    ASSERT_TRUE(loadAndConvert(ConversionPath::Window, mFolder / "enlace.dat"));
    EXPECT_TRUE(fs::is_symlink(mFolder / "enlace.dat"));
    EXPECT_EQ(readAll(target), fileWith(Layout::PcEmulator, bodyOf(6)));
}

TEST_F(Links, aDanglingLinkIsAFileNotFoundAndCreatesNothing)
{
    if (!linked(mFolder / "no-existe.dat", mFolder / "roto.dat"))
        GTEST_SKIP() << "no link can be made here";
    expectFailure(mFolder / "roto.dat", Thrown(FailureNumber::FileNotFound, mFolder / "roto.dat"));
    EXPECT_FALSE(isThere(mFolder / "no-existe.dat"));
}

TEST_F(Links, aLinkThatPointsAtItselfIsAPathNotFound)
{
    if (!linked(mFolder / "bucle.dat", mFolder / "bucle.dat"))
        GTEST_SKIP() << "no link can be made here";
    expectFailure(mFolder / "bucle.dat", Thrown(FailureNumber::PathNotFound, mFolder / "bucle.dat"));
}

} // namespace
} // namespace vuelco
