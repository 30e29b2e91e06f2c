#include "arcade_files.h"

#include "bench_report.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <iterator>
#include <spawn.h>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace vuelco::bench {

const Groups kGroups{{0x11, 0x22, 0x33, 0x44}, {0x55, 0x66, 0x77, 0x88}};
const Header kArcadeHeader = composeHeader(Layout::Arcade, kGroups);

void failOn(const std::string &what, const std::string &path)
{
    throw std::runtime_error(what + " " + path + ": " + std::strerror(errno));
}

std::vector<std::string> numberedFiles(const std::filesystem::path &folder, int count)
{
    std::vector<std::string> files;
    files.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        files.push_back((folder / ("f" + std::to_string(i) + ".dat")).string());
    return files;
}

void resetToArcade(const std::vector<std::string> &files)
{
    constexpr auto kSize = static_cast<ssize_t>(kHeaderSize);
    for (const std::string &file : files) {
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0 || ::pwrite(fd, kArcadeHeader.data(), kArcadeHeader.size(), 0) != kSize)
            failOn("cannot reset", file);
        ::close(fd);
    }
    ::sync();
}

Cost timeCli(const std::string &cli, const std::vector<std::string> &arguments)
{
    std::vector<char *> argv{const_cast<char *>(cli.c_str())};
    argv.reserve(arguments.size() + 2);
    std::transform(arguments.begin(), arguments.end(), std::back_inserter(argv),
                   [](const std::string &argument) { return const_cast<char *>(argument.c_str()); });
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    const auto start = Clock::now();
    pid_t child = 0;
    const int spawned = ::posix_spawn(&child, cli.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        errno = spawned;
        failOn("cannot start", cli);
    }
    int status = 0;
    rusage usage{};
    if (::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("vuelco-cli did not take every file");
    return {secondsSince(start), processorSeconds(usage)};
}

} // namespace vuelco::bench
