// vuelco-cli with names a shell passes as they are: not valid UTF-8, starting with a
// dash, with blanks around them. The built program is run with each name as a word of
// its own, relative to its working folder, with and without "--": each reaches its own
// file, and a name that looks like an option is one unless "--" came first.

#include "cli/run.h"
#include "core/bga_header.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include <fcntl.h>
#include <filesystem>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
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

struct CliRun {
    int status = -1;
    std::string out;
};

// Runs the built vuelco-cli in folder with exactly these words as its arguments, as a
// shell would after its own quoting; standard error is dropped.
CliRun runBuiltCli(const fs::path &folder, const std::vector<std::string> &words)
{
    int output[2];
    if (pipe(output) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        const int nothing = open("/dev/null", O_WRONLY);
        if (chdir(folder.c_str()) != 0 || dup2(output[1], STDOUT_FILENO) < 0 || dup2(nothing, STDERR_FILENO) < 0)
            _exit(126);
        std::vector<char *> argv{const_cast<char *>(VUELCO_CLI)};
        std::ranges::transform(words, std::back_inserter(argv),
                               [](const std::string &word) { return const_cast<char *>(word.c_str()); });
        argv.push_back(nullptr);
        execv(VUELCO_CLI, argv.data());
        _exit(127);
    }
    close(output[1]);
    CliRun run;
    char buffer[256];
    for (ssize_t got; (got = read(output[0], buffer, sizeof buffer)) > 0;)
        run.out.append(buffer, static_cast<std::size_t>(got));
    close(output[0]);
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
        run.status = WEXITSTATUS(status);
    return run;
}

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
    writeFile(mFolder / row.name, fileWith(Layout::Arcade));
    std::vector<std::string> words{"--a-emulador"};
    if (row.afterDashDash)
        words.emplace_back("--");
    words.emplace_back(row.name);

    const CliRun run = runBuiltCli(mFolder, words);
    if (row.taken) {
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, std::string(row.name) + "\tBGA, Arcade -> BGA, Emulador Pc\n");
        EXPECT_EQ(readAll(mFolder / row.name), fileWith(Layout::PcEmulator));
    } else {
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(readAll(mFolder / row.name), fileWith(Layout::Arcade));
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
    EXPECT_EQ(err.str(), path + ": Error #  53\nNo se encontró el archivo\n");
    EXPECT_FALSE(fs::exists(path));
}

} // namespace
} // namespace vuelco
