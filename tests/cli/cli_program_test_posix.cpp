// vuelco-cli with names a shell passes as they are: not valid UTF-8, starting with a
// dash, with blanks around them. The built program is run with each name as a word of
// its own, relative to its working folder, with and without "--": each reaches its own
// file, and a name that looks like an option is one unless "--" came first.

#include "child_process.h"
#include "cli/name_text.h"
#include "cli/run.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace vuelco {
namespace {

namespace fs = std::filesystem;

struct OddName {
    const char *name;
    bool afterDashDash;
    bool taken;   // reached as a file; otherwise refused as an option, with exit 2
};

void PrintTo(const OddName &row, std::ostream *out)
{
    *out << '"' << row.name << '"' << (row.afterDashDash ? " after --" : "");
}

class CliOddNames : public ::testing::TestWithParam<OddName> {
protected:
    TempFolder mTemp;
    const fs::path &mFolder = mTemp.path();
};

TEST_P(CliOddNames, convertsTheNamedFileAndNamesItAsGiven)
{
    const OddName &row = GetParam();
    const Bytes arcade = fileWith(Layout::Arcade, bodyOf(6));
    writeFile(mFolder / row.name, arcade);
    std::vector<fs::path> words{"--a-emulador"};
    if (row.afterDashDash)
        words.emplace_back("--");
    words.emplace_back(row.name);

    ChildProcess cli(VUELCO_CLI, words, mFolder);
    const std::string out = cli.readRest();
    if (row.taken) {
        EXPECT_EQ(cli.wait(), 0);
        EXPECT_EQ(out, cli::escapedName(row.name) + "\tBGA, Arcade -> BGA, Emulador Pc\n");
        EXPECT_EQ(readAll(mFolder / row.name), fileWith(Layout::PcEmulator, bodyOf(6)));
    } else {
        EXPECT_EQ(cli.wait(), 2);
        EXPECT_EQ(out, "");
        EXPECT_EQ(readAll(mFolder / row.name), arcade);
    }
}

INSTANTIATE_TEST_SUITE_P(Names, CliOddNames,
                         ::testing::Values(OddName{"\xFF\xFE a\xF1o.dat", false, true},
                                           OddName{"\xFF\xFE a\xF1o.dat", true, true},
                                           OddName{"-guion.dat", true, true},
                                           OddName{"-guion.dat", false, false},
                                           OddName{" blancos .dat", false, true},
                                           OddName{" blancos .dat", true, true},
                                           OddName{"año ñ.dat", false, true}));

TEST_F(CliOddNames, aMissingFileWithAnInvalidNameFailsWithItsNumber)
{
    const std::string path = (mFolder / "\xFF.dat").native();
    const std::vector<std::string_view> words{path};
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(cli::run(words, out, err), 1);
    EXPECT_EQ(err.str(), cli::escapedName(path) + ": Error #  53: No se encontró el archivo\n");
    EXPECT_FALSE(fs::exists(path));
}

} // namespace
} // namespace vuelco
