// The batch tool on shares of servers of this machine, mounted as a user mounts them: an
// SFTP server's through sshfs, an SMB server's through smbnetfs (numbers the server's own).
// smbnetfs lists no share's folder here, and answers an open of a name it holds open with
// the handle it has, whatever the server did to the name since: walks and the rename go on
// sshfs.
#include "cli_runs.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;
using vuelco::Layout;

namespace {

// The servers and their mounts, for the whole group; stopped whatever happens.
struct Servers {
    TempFolder folder;
    int started = std::system(("SHARES_SSH_PORT=" + std::to_string(20000 + getpid() % 10000) + " " SERVE_SHARES
                               " start " + folder.path().string()).c_str());
    ~Servers() { std::system((SERVE_SHARES " stop " + folder.path().string()).c_str()); }
};

class Shares : public testing::Test {
protected:
    static void SetUpTestSuite() { servers = std::make_unique<Servers>(); }
    static void TearDownTestSuite() { servers.reset(); }
    void SetUp() override
    {
        if (WEXITSTATUS(servers->started) == 77)
            GTEST_SKIP() << "serve-shares no puede servir aquí: hace falta root, /dev/fuse y scripts/install-deps";
        ASSERT_EQ(servers->started, 0) << "serve-shares start";
    }
    // An arcade file served as name (la/…, lb/…), written through mount (smbnetfs sees a
    // file made on the server only some time later); its name there.
    static std::string arcade(const std::string &mount, const std::string &name)
    {
        makeFolders(fs::path(served(name)).parent_path());
        writeFile(servers->folder / mount / name, fileWith(Layout::Arcade));
        return (servers->folder / mount / name).string();
    }
    static std::string served(const std::string &name) { return (servers->folder / "served" / name).string(); }
    static inline std::unique_ptr<Servers> servers;
};

TEST_F(Shares, aFileReplacedByRenameUnderAHeldLockIsNeverReportedConverted)
{
    const std::string path = arcade("sftp", "la/r.dat");
    const int held = ::open(path.c_str(), O_RDWR);
    struct flock all {F_WRLCK, SEEK_SET, 0, 0, 0};
    ASSERT_EQ(fcntl(held, F_OFD_SETLK, &all), 0);
    CliRun run{};
    {
        const std::jthread cli([&] { run = runCli({"--a-emulador", path}); });
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        writeFile(served("la/new"), fileWith(Layout::Arcade));
        fs::rename(served("la/new"), served("la/r.dat"));
        ::close(held);
    }
    EXPECT_NE(run.err.find("Error #  57: El archivo cambió"), std::string::npos) << run.out << run.err;
    EXPECT_EQ(readAll(served("la/r.dat")), fileWith(Layout::Arcade));
}

TEST_F(Shares, filesWhoseCachedNumbersAreDroppedDuringAWalkAreNotTakenAsChanged)
{
    for (int file = 0; file < 400; ++file)
        (void)arcade("sftp", "la/walk/f" + std::to_string(file) + ".dat");
    const std::jthread dropper([](const std::stop_token &stop) {
        for (; !stop.stop_requested(); std::this_thread::sleep_for(std::chrono::milliseconds(20)))
            writeFile("/proc/sys/vm/drop_caches", {'2'});
    });
    EXPECT_EQ(runCli({"-r", (servers->folder / "sftp/la/walk").string()}).status, 0);
    EXPECT_NE(runCli({"-r", "--a-emulador", (servers->folder / "sftp/la/walk").string()})
                  .err.find("Convertidos: 400, ya en ese formato: 0, no reconocidos: 0, fallidos: 0"),
              std::string::npos);
}

TEST_F(Shares, hardLinksAreCountedTrulyAndTwoServersFilesOfOneNumberBothConverted)
{
    for (const std::string name : {"la/linked/a", "la/linked/b", "la/linked/c"}) {
        (void)arcade("sftp", name + ".dat");
        fs::create_hard_link(served(name + ".dat"), served(name + "2.dat"));
    }
    const CliRun run = runCli({"-r", "-j", "32", "--a-emulador", (servers->folder / "sftp/la/linked").string()});
    EXPECT_NE(run.err.find("Convertidos: 3, ya en ese formato: 3,"), std::string::npos) << run.out << run.err;

    const std::string la = arcade("smb/127.0.0.1", "la/f.dat"), lb = arcade("smb/127.0.0.1", "lb/f.dat");
    struct stat a {}, b {};
    ASSERT_TRUE(::stat(la.c_str(), &a) == 0 && ::stat(lb.c_str(), &b) == 0 && a.st_ino == b.st_ino);
    EXPECT_EQ(runCli({"--a-emulador", la, lb}).status, 0);
    EXPECT_EQ(readAll(la), fileWith(Layout::PcEmulator));
    EXPECT_EQ(readAll(lb), fileWith(Layout::PcEmulator));
}

TEST_F(Shares, aDryRunOnAShareMountedReadOnlySays75)
{
    (void)arcade("sftp", "la/ro.dat");
    const CliRun run = runCli({"-n", "--a-emulador", (servers->folder / "sftp-ro/la/ro.dat").string()});
    EXPECT_NE(run.err.find("Error #  75"), std::string::npos) << run.out << run.err;
}

} // namespace
