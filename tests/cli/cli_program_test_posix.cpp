// vuelco-cli as a shell starts it. Names passed as they are: not valid UTF-8, starting
// with a dash, with blanks around them, each a word of its own, relative to its working
// folder, with and without "--": each reaches its own file, and a name that looks like an
// option is one unless "--" came first. Its record when a signal stops it, when its
// output cannot be written, and its progress line on a terminal.

#include "child_process.h"
#include "runtime/name_text.h"
#include "cli/run.h"
#include "runtime/binary_file.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <iterator>
#include <pty.h>
#include <spawn.h>
#include <sched.h>
#include <sstream>
#include <string>
#include <sys/mount.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;

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
        EXPECT_EQ(out, vuelco::escapedName(row.name) + "\tBGA, Arcade -> BGA, Emulador Pc\n");
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
    EXPECT_EQ(err.str(), vuelco::escapedName(path) + ": Error #  53: No se encontró el archivo\n");
    EXPECT_FALSE(fs::exists(path));
}

// Everything read from fd until it ends; fd is closed.
std::string drained(int fd)
{
    std::string read;
    char buffer[256];
    for (ssize_t got = 0; (got = ::read(fd, buffer, sizeof buffer)) > 0;)
        read.append(buffer, static_cast<std::size_t>(got));
    ::close(fd);
    return read;
}

// vuelco-cli --a-emulador -j N on files, its standard output on out (closed when -1) and
// its standard error on a pipe; what it wrote there and its status come from finish().
class Started {
public:
    Started(const std::vector<fs::path> &files, int out, const char *jobs = "1",
            const std::vector<std::string> &options = {})
    {
        std::vector<std::string> words{VUELCO_CLI, "--a-emulador", "-j", jobs};
        words.insert(words.end(), options.begin(), options.end());
        std::ranges::transform(files, std::back_inserter(words), [](const fs::path &file) { return file.string(); });
        std::vector<char *> argv;
        std::ranges::transform(words, std::back_inserter(argv), [](std::string &word) { return word.data(); });
        argv.push_back(nullptr);
        int err[2];
        EXPECT_EQ(::pipe2(err, O_CLOEXEC), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        if (out < 0)
            posix_spawn_file_actions_addclose(&actions, STDOUT_FILENO);
        else
            posix_spawn_file_actions_adddup2(&actions, out, STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, err[1], STDERR_FILENO);
        EXPECT_EQ(::posix_spawn(&mPid, argv[0], &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        ::close(err[1]);
        mErr = err[0];
    }

    void signal(int number) const { ::kill(mPid, number); }

    std::pair<int, std::string> finish()
    {
        const std::string err = drained(mErr);
        int status = 0;
        ::waitpid(mPid, &status, 0);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, err};
    }

private:
    pid_t mPid = -1;
    int mErr = -1;
};

std::vector<fs::path> arcadeFiles(const TempFolder &folder, int count)
{
    std::vector<fs::path> files;
    files.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        files.push_back(folder.write("f" + std::to_string(i) + ".dat", fileWith(Layout::Arcade)));
    return files;
}

// The line of one file, as the pipe gets it.
std::string lineOf(int out)
{
    std::string line;
    char c = 0;
    while (::read(out, &c, 1) == 1 && c != '\n')
        line += c;
    return line;
}

// Ctrl+C or SIGTERM while a file waits for another program's lock: the files finished were
// written out as they finished, the one in flight finishes whole, no new file is taken,
// and the record ends with its summary and the signal's status.
class Interrupted : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(Interrupted, finishesTheFileInFlightAndTellsWhatItDid)
{
    const TempFolder folder;
    const std::vector<fs::path> files = arcadeFiles(folder, 8);
    std::optional<BinaryFile> held = BinaryFile::openForUpdate(files[3]);
    held->lockForConversion();
    int out[2];
    ASSERT_EQ(::pipe2(out, O_CLOEXEC), 0);
    Started cli(files, out[1]);
    ::close(out[1]);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(lineOf(out[0]), files[static_cast<std::size_t>(i)].string() + "\tBGA, Arcade -> BGA, Emulador Pc");

    // The fourth file waits for the lock by now; the signal comes while it does.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    cli.signal(GetParam().first);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    held.reset();
    EXPECT_EQ(drained(out[0]), files[3].string() + "\tBGA, Arcade -> BGA, Emulador Pc\n");
    EXPECT_EQ(cli.finish(), std::pair(GetParam().second, std::string("vuelco-cli: interrumpido; no se tomaron más "
                                                                      "archivos\nConvertidos: 4, ya en ese formato: "
                                                                      "0, no reconocidos: 0, fallidos: 0\n")));
    EXPECT_EQ(readAll(files[4]), fileWith(Layout::Arcade));
}

INSTANTIATE_TEST_SUITE_P(Signals, Interrupted,
                         ::testing::Values(std::pair(SIGINT, 130), std::pair(SIGTERM, 143)),
                         [](const auto &row) { return std::string(row.param.first == SIGINT ? "ctrlC" : "sigterm"); });

// A run killed while a file waits for another program's lock leaves a record of every
// file it finished, which takes them back.
TEST(KilledRun, leavesARecordThatUndoesWhatItConverted)
{
    const TempFolder folder;
    const std::vector<fs::path> files = arcadeFiles(folder, 6);
    std::optional<BinaryFile> held = BinaryFile::openForUpdate(files[3]);
    held->lockForConversion();
    const std::string record = (folder / "registro.json").string();
    int out[2];
    ASSERT_EQ(::pipe2(out, O_CLOEXEC), 0);
    Started cli(files, out[1], "1", {"--registro", record});
    ::close(out[1]);
    for (int i = 0; i < 3; ++i)
        (void)lineOf(out[0]);
    cli.signal(SIGKILL);
    (void)cli.finish();
    ::close(out[0]);
    held.reset();

    const std::vector<std::string_view> words{"--deshacer", record};
    std::ostringstream said;
    EXPECT_EQ(cli::run(words, said, said), 0) << said.str();
    for (const fs::path &file : files)
        EXPECT_EQ(readAll(file), fileWith(Layout::Arcade)) << file;
}

// Standard output on a full device, closed, or a pipe whose reader went away (`| head`):
// the first write that fails stops the run, standard error says so, and the status is 3,
// never a silent death by SIGPIPE. No line ever lands in a data file that took a closed
// output's number, and the record file still tells every file converted, so its undo
// takes all back.
struct LostOutput {
    const char *name;
    std::function<int()> open;  // the descriptor for standard output, -1 for none
};

void PrintTo(const LostOutput &row, std::ostream *out) { *out << row.name; }

class OutputLost : public ::testing::TestWithParam<LostOutput> {};

TEST_P(OutputLost, stopsTheRunAndSaysSo)
{
    const TempFolder folder;
    const std::vector<fs::path> files = arcadeFiles(folder, 300);
    const int out = GetParam().open();
    const std::string record = (folder / "registro.json").string();
    Started cli(files, out, "8", {"--registro", record});
    if (out >= 0)
        ::close(out);
    const auto [status, err] = cli.finish();
    EXPECT_EQ(status, 3);
    EXPECT_EQ(err.rfind("vuelco-cli: no se pudo escribir la salida estándar; no se tomaron más archivos\n", 0), 0U)
        << err;
    EXPECT_EQ(readAll(files.back()), fileWith(Layout::Arcade)) << "the run went on";
    for (const fs::path &file : files)
        EXPECT_TRUE(readAll(file) == fileWith(Layout::Arcade) || readAll(file) == fileWith(Layout::PcEmulator))
            << file;
    const std::vector<std::string_view> undo{"--deshacer", record};
    std::ostringstream said;
    EXPECT_EQ(cli::run(undo, said, said), 0) << said.str();
    for (const fs::path &file : files)
        EXPECT_EQ(readAll(file), fileWith(Layout::Arcade)) << file;
}

INSTANTIATE_TEST_SUITE_P(Outputs, OutputLost,
                         ::testing::Values(LostOutput{"deviceFull", [] { return ::open("/dev/full", O_WRONLY); }},
                                           LostOutput{"closed", [] { return -1; }},
                                           LostOutput{"readerGone", [] {
                                                              int ends[2];
                                                              return ::pipe(ends) == 0 && ::close(ends[0]) == 0 ? ends[1] : -2;
                                                          }}),
                         ::testing::PrintToStringParamName());

// A dry run on a file system mounted read-only fails each file with 75, as the run would,
// even where no /proc lets it ask access() (a tmpfs hides it).
TEST(ReadOnlyMount, failsTheDryRunWithWhatTheRunWouldMeet)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizers read their options and end their leak check through the /proc hidden here";
#endif
    const TempFolder folder;
    const fs::path file = folder.write("a.dat", fileWith(Layout::Arcade));
    int err[2];
    ASSERT_EQ(::pipe2(err, O_CLOEXEC), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const char *mounted = folder.path().c_str();
        if (::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
            ::mount(mounted, mounted, nullptr, MS_BIND, nullptr) == 0 &&
            ::mount(nullptr, mounted, nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) == 0 &&
            ::mount("none", "/proc", "tmpfs", 0, nullptr) == 0 && ::dup2(err[1], STDERR_FILENO) >= 0)
            ::execl(VUELCO_CLI, VUELCO_CLI, "-n", "--a-emulador", file.c_str(), nullptr);
        ::_exit(125);
    }
    ::close(err[1]);
    const std::string said = drained(err[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (WEXITSTATUS(status) == 125)
        GTEST_SKIP() << "mounting needs root and a mount namespace of its own";
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(said, file.string() + ": Error #  75: No se puede escribir en el archivo. Verificar si tiene activado el "
                                    "'Solo Lectura'\nSe convertirían: 0, ya en ese formato: 0, no reconocidos: 0, "
                                    "fallidos: 1 (simulación: no se escribió nada)\n");
}

// On a terminal, a run that lasts past a second shows how far it has come, and wipes the
// line before the summary, which starts on a clean line.
TEST(ProgressLine, showsOnATerminalAndIsWipedBeforeTheSummary)
{
    const TempFolder folder;
    const std::vector<fs::path> files = arcadeFiles(folder, 3);
    std::optional<BinaryFile> held = BinaryFile::openForUpdate(files[1]);
    held->lockForConversion();
    int terminal = -1;
    const pid_t pid = ::forkpty(&terminal, nullptr, nullptr, nullptr);
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::execl(VUELCO_CLI, VUELCO_CLI, "--a-emulador", "-j", "1", files[0].c_str(), files[1].c_str(),
                files[2].c_str(), nullptr);
        ::_exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1200));
    held.reset();
    const std::string shown = drained(terminal);
    ::waitpid(pid, nullptr, 0);
    EXPECT_NE(shown.find("\r2 de 3 archivos, "), std::string::npos) << shown;
    EXPECT_NE(shown.find("\rConvertidos: 3,"), std::string::npos) << shown;
}

} // namespace
} // namespace vuelco
