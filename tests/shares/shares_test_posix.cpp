// The batch tool on shares of servers of this machine, mounted as a user mounts them: an
// SFTP server's through sshfs, an SMB server's through smbnetfs (numbers the server's own).
// smbnetfs lists no share's folder here, though it opens every name: walks go on sshfs.
#include "child_process.h"
#include "cli_runs.h"
#include "runtime/binary_file.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <future>
#include <thread>

namespace fs = std::filesystem;
using vuelco::Layout;

// The servers and their mounts, for the whole group; stopped whatever happens.
struct Servers {
    TempFolder folder;
    int started = ChildProcess(SERVE_SHARES, {"start", folder.path()}).wait();
    ~Servers() { ChildProcess(SERVE_SHARES, {"stop", folder.path()}).wait(); }
};

class Shares : public testing::Test {
protected:
    static void SetUpTestSuite() { servers = std::make_unique<Servers>(); }
    void SetUp() override
    {
        if (servers->started == 77)
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
    for (const std::string mount : {"sftp", "smb/127.0.0.1"}) {
        const std::string path = arcade(mount, "la/r.dat");
        vuelco::BinaryFile held = vuelco::BinaryFile::openForReading(path).reopenForUpdate();
        held.lockForConversion();
        auto cli = std::async(std::launch::async, [&] { return runCli({"--a-emulador", path}); });
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        writeFile(served("la/new"), fileWith(Layout::Arcade));
        fs::rename(served("la/new"), served("la/r.dat"));
        held.close();
        EXPECT_NE(cli.get().err.find("Error #  57: El archivo cambió"), std::string::npos) << mount;
        EXPECT_EQ(readAll(served("la/r.dat")), fileWith(Layout::Arcade));
    }
}

TEST_F(Shares, filesWhoseCachedNumbersAreDroppedDuringAWalkAreNotTakenAsChanged)
{
    for (int file = 0; file < 400; ++file)
        (void)arcade("sftp", "la/walk/f" + std::to_string(file) + ".dat");
    const std::jthread dropper([](const std::stop_token &stop) {
        for (; !stop.stop_requested(); std::this_thread::sleep_for(std::chrono::milliseconds(20)))
            writeFile("/proc/sys/vm/drop_caches", {'2'});
    });
    const std::string walk = (servers->folder / "sftp/la/walk").string();
    EXPECT_EQ(runCli({"-r", walk}).status, 0);
    const CliRun conversion = runCli({"-r", "--a-emulador", walk});
    EXPECT_NE(conversion.err.find("Convertidos: 400, ya en ese formato: 0,"), std::string::npos) << conversion.err;
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
    ASSERT_TRUE(fs::equivalent(la, lb)) << "one device and one number for two files";
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
