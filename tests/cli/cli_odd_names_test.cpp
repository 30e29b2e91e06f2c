// vuelco-cli with names a shell passes as they are: not valid UTF-8, starting with a
// dash after "--", with blanks around them. Each reaches its own file.

#include "cli/run.h"
#include "core/bga_header.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace vuelco {
namespace {

namespace fs = std::filesystem;

const Groups kGroups{{1, 2, 3, 4}, {5, 6, 7, 8}};

Bytes fileWith(Layout layout)
{
    const Header header = composeHeader(layout, kGroups);
    return Bytes(header.begin(), header.end()) + Bytes{'c', 'u', 'e', 'r', 'p', 'o'};
}

class CliOddNames : public ::testing::TestWithParam<std::string> {
protected:
    TempFolder mTemp;
    const fs::path &mFolder = mTemp.path();
};

TEST_P(CliOddNames, convertsTheNamedFileAndNamesItAsGiven)
{
    const std::string path = (mFolder / GetParam()).native();
    writeFile(path, fileWith(Layout::Arcade));

    const std::vector<std::string_view> words{"--a-emulador", "--", path};
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(cli::run(words, out, err), 0) << err.str();
    EXPECT_EQ(out.str(), path + "\tBGA, Arcade -> BGA, Emulador Pc\n");
    EXPECT_EQ(readAll(path), fileWith(Layout::PcEmulator));
}

INSTANTIATE_TEST_SUITE_P(Names, CliOddNames,
                         ::testing::Values("\xFF\xFE a\xF1o.dat", "-guion.dat", " blancos .dat", "año ñ.dat"));

TEST_F(CliOddNames, aMissingFileWithAnInvalidNameFailsWithItsNumber)
{
    const std::string path = (mFolder / "\xFF.dat").native();
    const std::vector<std::string_view> words{path};
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(cli::run(words, out, err), 1);
    EXPECT_EQ(err.str(), path + ": Error #  53\nNo se encontró el archivo\n");
    EXPECT_FALSE(fs::exists(path));
}

} // namespace
} // namespace vuelco
