// vuelco-cli --a-emulador over a batch of arcade files against a plain loop doing the
// least a conversion needs per file: open, one 16-byte read, one 12-byte write, fsync,
// close. Both start every round from the same arcade files.
#include "bench_report.h"
#include "scratch_folder.h"

#include "core/bga_header.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace fs = std::filesystem;
using namespace vuelco;

namespace {

constexpr int kRounds = 7;
const Header kArcade = composeHeader(Layout::Arcade, {{0x11, 0x22, 0x33, 0x44}, {0x55, 0x66, 0x77, 0x88}});

[[noreturn]] void failOn(const std::string &what, const fs::path &path)
{
    throw std::runtime_error(what + " " + path.string() + ": " + std::strerror(errno));
}

// Writes the arcade header over every file (outside the timing), so both sides convert
// the same thing each round.
void resetToArcade(const std::vector<std::string> &files)
{
    for (const std::string &file : files) {
        const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd < 0 || ::write(fd, kArcade.data(), kArcade.size()) != static_cast<ssize_t>(kArcade.size()))
            failOn("cannot reset", file);
        ::close(fd);
    }
    ::sync();
}

double runProject(const std::string &cli, const std::vector<std::string> &files)
{
    std::vector<char *> argv;
    argv.push_back(const_cast<char *>(cli.c_str()));
    argv.push_back(const_cast<char *>("--a-emulador"));
    std::transform(files.begin(), files.end(), std::back_inserter(argv),
                   [](const std::string &file) { return const_cast<char *>(file.c_str()); });
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);

    const auto start = bench::Clock::now();
    pid_t child = 0;
    const int spawned = ::posix_spawn(&child, cli.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        errno = spawned;
        failOn("cannot start", cli);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("vuelco-cli did not convert every file");
    return bench::secondsSince(start);
}

double runReference(const std::vector<std::string> &files)
{
    const auto start = bench::Clock::now();
    for (const std::string &file : files) {
        const int fd = ::open(file.c_str(), O_RDWR | O_CLOEXEC);
        if (fd < 0)
            failOn("cannot open", file);
        Header header{};
        if (::read(fd, header.data(), header.size()) != static_cast<ssize_t>(header.size()))
            failOn("cannot read", file);
        std::array<std::uint8_t, 12> tail{};
        tail[0] = layoutCode(Layout::PcEmulator);
        for (std::size_t i = 0; i < 4; ++i) {
            tail[4 + i] = header[kSecondSlotOffset + i];
            tail[8 + i] = header[kFirstSlotOffset + i];
        }
        if (::pwrite(fd, tail.data(), tail.size(), kLayoutCodeOffset) != static_cast<ssize_t>(tail.size()))
            failOn("cannot write", file);
        if (::fsync(fd) != 0)
            failOn("cannot flush", file);
        if (::close(fd) != 0)
            failOn("cannot close", file);
    }
    return bench::secondsSince(start);
}

void checkConverted(const std::vector<std::string> &files)
{
    const Header expected = composeHeader(Layout::PcEmulator, {{0x11, 0x22, 0x33, 0x44}, {0x55, 0x66, 0x77, 0x88}});
    for (const std::string &file : files) {
        Header header{};
        const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        const bool read = fd >= 0 && ::read(fd, header.data(), header.size()) == static_cast<ssize_t>(header.size());
        if (fd >= 0)
            ::close(fd);
        if (!read || header != expected)
            throw std::runtime_error("not converted: " + file);
    }
}

void measure(const std::string &cli, const fs::path &parent, int count)
{
    const bench::ScratchFolder folder(parent);
    std::vector<std::string> files;
    for (int i = 0; i < count; ++i)
        files.push_back((folder.path() / ("f" + std::to_string(i) + ".dat")).string());

    std::vector<double> project;
    std::vector<double> reference;
    for (int round = 0; round < kRounds; ++round) {
        for (int side = 0; side < 2; ++side) {
            // Alternate which side goes first in a round.
            const bool projectNow = (side == 0) == (round % 2 == 0);
            resetToArcade(files);
            if (projectNow)
                project.push_back(runProject(cli, files));
            else
                reference.push_back(runReference(files));
            checkConverted(files);
        }
    }
    const std::string where = parent.string() + (bench::isTmpfs(folder.path()) ? " (tmpfs)" : " (disk)");
    std::cout << count << " files in " << where << ", " << kRounds << " rounds\n";
    bench::printRow("  --a-emulador per file", "us", bench::median(project) * 1e6 / count,
                    bench::median(reference) * 1e6 / count, 1.3);
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 2) {
        std::cerr << "usage: batch_convert PATH-TO-vuelco-cli\n";
        return 2;
    }
    try {
        std::cout << "== vuelco-cli --a-emulador against a plain open/read/write/fsync/close loop ==\n"
                  << bench::machineLine() << '\n';
        measure(argv[1], "/dev/shm", 10000);
        measure(argv[1], "/var/tmp", 1000);
        return 0;
    } catch (const std::exception &error) {
        std::cerr << "batch_convert: " << error.what() << '\n';
        return 1;
    }
}
