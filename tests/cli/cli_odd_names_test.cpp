// vuelco-cli with names a shell passes as they are: not valid UTF-8, starting with a
// dash after "--", with blanks around them. Each reaches its own file.

#include "cli/run.h"
#include "core/bga_header.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace vuelco {
namespace {

namespace fs = std::filesystem;

const Groups kGroups{{1, 2, 3, 4}, {5, 6, 7, 8}};

std::string headerText(Layout layout)
{
    const Header header = composeHeader(layout, kGroups);
    return {header.begin(), header.end()};
}

std::string contentsOf(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class CliOddNames : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override
    {
        char folder[] = "/tmp/vuelco-cli-names-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        mFolder = folder;
    }
    void TearDown() override { fs::remove_all(mFolder); }

    fs::path mFolder;
};

TEST_P(CliOddNames, convertsTheNamedFileAndNamesItAsGiven)
{
    const std::string path = (mFolder / GetParam()).native();
    std::ofstream(path, std::ios::binary) << headerText(Layout::Arcade) << "cuerpo";

    const std::vector<std::string_view> words{"--a-emulador", "--", path};
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(cli::run(words, out, err), 0) << err.str();
    EXPECT_EQ(out.str(), path + "\tBGA, Arcade -> BGA, Emulador Pc\n");
    EXPECT_EQ(contentsOf(path), headerText(Layout::PcEmulator) + "cuerpo");
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
