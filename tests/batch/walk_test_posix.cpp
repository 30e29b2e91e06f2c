// What the walk promises that only Linux lets a test see: it holds few folders open however
// deep the tree, it opens nothing for writing but the files it converts, nor a pipe or a
// socket at all, and it tells a file mounted over an entry from one put in its place.

#include "recording_front.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <sched.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vuelco::batch {
namespace {

namespace fs = std::filesystem;

// A tree deeper than the descriptors the process may hold open, each folder with a file
// that comes after the way down: the walk goes all the way down and back up.
TEST(DeepWalk, goesDownAndBackUpATreeDeeperThanTheOpenFilesAllowed)
{
    constexpr int kDepth = 300;
    const TempFolder folder;
    fs::path path = folder / "arbol";
    std::vector<std::string> expected;
    for (int level = 0; level < kDepth; ++level, path /= "d") {
        makeFolders(path);
        writeFile(path / "z.dat", fileWith(Layout::Arcade));
        expected.insert(expected.begin(), (path / "z.dat").string() + " converted from BGA, Arcade");
    }
    rlimit limit{};
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &limit), 0);
    const rlimit lowered{128, limit.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &lowered), 0);
    const Ran ran = runOn({folder / "arbol"}, Job::Convert, true);
    ::setrlimit(RLIMIT_NOFILE, &limit);
    EXPECT_EQ(ran.lines, expected);
}

// What inotify saw: each file of the folder closed after a write, and each open of the
// pipe or the socket.
std::vector<std::string> eventsIn(int watch)
{
    std::vector<std::string> events;
    alignas(inotify_event) char buffer[4096];
    for (ssize_t got = 0; (got = ::read(watch, buffer, sizeof buffer)) > 0;) {
        for (ssize_t at = 0; at < got;) {
            const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
            events.push_back(event->len > 0 ? std::string(event->name) + " written" : "pipe or socket opened");
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        }
    }
    return events;
}

// Looking and simulating open nothing for writing, nor does converting a file that stays
// as it is: sync and backup tools take the close after a write for a change, and on
// overlayfs the open alone copies the file up. Pipes and sockets found by the walk are
// told from the listing and never opened (opening a device may rewind a tape).
TEST(Look, opensForWritingOnlyTheFilesItConvertsAndNoPipeAtAll)
{
    const TempFolder folder;
    writeFile(folder / "arcade.dat", fileWith(Layout::Arcade));
    writeFile(folder / "pc.dat", fileWith(Layout::PcEmulator));
    writeFile(folder / "otro.dat", Bytes{'h', 'o', 'l', 'a'});
    ASSERT_TRUE(makeNamedPipe(folder / "tubo.dat"));
    ASSERT_TRUE(makeSocket(folder / "enchufe.dat"));
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(::inotify_add_watch(watch, folder.path().c_str(), IN_CLOSE_WRITE), 0);
    ASSERT_GE(::inotify_add_watch(watch, (folder / "tubo.dat").c_str(), IN_OPEN), 0);
    ASSERT_GE(::inotify_add_watch(watch, (folder / "enchufe.dat").c_str(), IN_OPEN), 0);

    for (const Job job : {Job::Look, Job::Simulate, Job::Convert}) {
        const Ran ran = runOn({folder.path()}, job, true);
        EXPECT_EQ(ran.summary.failed, 2U) << "the pipe and the socket";
        EXPECT_EQ(eventsIn(watch), job == Job::Convert ? std::vector<std::string>{"arcade.dat written"}
                                                       : std::vector<std::string>{});
    }
    ::close(watch);
}

// A file mounted over an entry leaves the one underneath in its folder's listing: the walk
// takes the mounted file, not one replaced. A test may mount where Linux gives it a
// namespace of its own.
TEST(Look, takesAFileMountedOverAnEntry)
{
    const TempFolder folder;
    writeFile(folder / "a.dat", fileWith(Layout::Arcade));
    writeFile(folder / "b.dat", fileWith(Layout::PcEmulator));
    const pid_t child = ::fork();
    if (child == 0) {
        const bool mounted = ::unshare(CLONE_NEWUSER | CLONE_NEWNS) == 0 &&
                             ::mount((folder / "b.dat").c_str(), (folder / "a.dat").c_str(), "none", MS_BIND,
                                     nullptr) == 0;
        ::_exit(!mounted ? 2 : runOn({folder.path()}, Job::Look, true).summary.failed == 0 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    if (WEXITSTATUS(status) == 2)
        GTEST_SKIP() << "no mount namespace for an unprivileged test here";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

} // namespace
} // namespace vuelco::batch
