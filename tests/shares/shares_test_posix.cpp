// The batch tool on shares of servers of this machine, mounted as a user mounts them: an
// SFTP server's through sshfs, an SMB server's through smbnetfs (numbers the server's own).
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
Servers *gServers = nullptr;

class OnShare : public testing::TestWithParam<const char *> {
protected:
    static void SetUpTestSuite() { gServers = new Servers; }
    static void TearDownTestSuite() { delete std::exchange(gServers, nullptr); }
    void SetUp() override
    {
        if (WEXITSTATUS(gServers->started) == 77)
            GTEST_SKIP() << "serve-shares no puede servir aquí: hace falta root, /dev/fuse y scripts/install-deps";
        ASSERT_EQ(gServers->started, 0) << "serve-shares start";
        for (const char *folder : {"walk", "linked"})
            makeFolders(served(folder));
    }
    // The name a file of this test's own folder of share la has on the mount, and on the server.
    static std::string own() { return testing::UnitTest::GetInstance()->current_test_info()->name(); }
    static fs::path mounted(const std::string &name) { return gServers->folder / GetParam() / own() / name; }
    static fs::path served(const std::string &name) { return gServers->folder / "served/la" / own() / name; }
};

TEST_P(OnShare, fileReplacedByRenameUnderAHeldLockIsNeverReportedConverted)
{
    writeFile(served("r.dat"), fileWith(Layout::Arcade));
    const int held = ::open(mounted("r.dat").c_str(), O_RDWR);
    struct flock all {};
    all.l_type = F_WRLCK;
    ASSERT_EQ(fcntl(held, F_OFD_SETLK, &all), 0);
    CliRun run{};
    std::thread cli([&] { run = runCli({"--a-emulador", mounted("r.dat").string()}); });
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    writeFile(served("new"), fileWith(Layout::Arcade));
    fs::rename(served("new"), served("r.dat"));
    ::close(held);
    cli.join();
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("Error #  57: El archivo cambió"), std::string::npos) << run.out << run.err;
    EXPECT_EQ(readAll(served("r.dat")), fileWith(Layout::Arcade));
}

INSTANTIATE_TEST_SUITE_P(Mounts, OnShare, testing::Values("sftp/la", "smb/127.0.0.1/la"));

// smbnetfs lists no share's folder here, though it opens every name: walks are tried on sshfs.
using Walked = OnShare;

TEST_P(Walked, filesWhoseCachedNumbersAreDroppedDuringAWalkAreNotTakenAsChanged)
{
    for (int file = 0; file < 400; ++file)
        writeFile(served("walk/f" + std::to_string(file) + ".dat"), fileWith(Layout::Arcade));
    std::atomic<bool> walking = true;
    std::thread dropper([&] {
        while (walking) {
            writeFile("/proc/sys/vm/drop_caches", {'2'});
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    const CliRun look = runCli({"-r", mounted("walk").string()});
    const CliRun conversion = runCli({"-r", "--a-emulador", mounted("walk").string()});
    walking = false;
    dropper.join();
    EXPECT_EQ(look.status, 0) << look.err;
    EXPECT_NE(conversion.err.find("Convertidos: 400, ya en ese formato: 0, no reconocidos: 0, fallidos: 0"),
              std::string::npos) << conversion.err;
}

TEST_P(Walked, aHardLinkedFileIsCountedConvertedOnce)
{
    for (const std::string name : {"a", "b", "c"}) {
        writeFile(served("linked/" + name + ".dat"), fileWith(Layout::Arcade));
        fs::create_hard_link(served("linked/" + name + ".dat"), served("linked/" + name + "2.dat"));
    }
    const CliRun run = runCli({"-r", "-j", "32", "--a-emulador", mounted("linked").string()});
    EXPECT_NE(run.err.find("Convertidos: 3, ya en ese formato: 3,"), std::string::npos) << run.out << run.err;
}

INSTANTIATE_TEST_SUITE_P(Mounts, Walked, testing::Values("sftp/la"));

using OnOneShare = OnShare;

TEST_P(OnOneShare, twoFilesOfTwoServerFileSystemsWithOneNumberAreBothConverted)
{
    const fs::path la = gServers->folder / "smb/127.0.0.1/la/f.dat", lb = gServers->folder / "smb/127.0.0.1/lb/f.dat";
    writeFile(la, fileWith(Layout::Arcade));
    writeFile(lb, fileWith(Layout::Arcade));
    struct stat a {}, b {};
    ASSERT_TRUE(::stat(la.c_str(), &a) == 0 && ::stat(lb.c_str(), &b) == 0 && a.st_ino == b.st_ino);
    EXPECT_EQ(runCli({"--a-emulador", la.string(), lb.string()}).status, 0);
    EXPECT_EQ(readAll(la), fileWith(Layout::PcEmulator));
    EXPECT_EQ(readAll(lb), fileWith(Layout::PcEmulator));
}

TEST_P(OnOneShare, aDryRunOnAShareMountedReadOnlySays75)
{
    writeFile(gServers->folder / "served/la/ro.dat", fileWith(Layout::Arcade));
    const CliRun run = runCli({"-n", "--a-emulador", (gServers->folder / "sftp-ro/la/ro.dat").string()});
    EXPECT_NE(run.err.find("Error #  75"), std::string::npos) << run.out << run.err;
}

INSTANTIATE_TEST_SUITE_P(Mounts, OnOneShare, testing::Values("smb/127.0.0.1/la"));

} // namespace
