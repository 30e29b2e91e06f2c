#include "child_process.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <iterator>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

const int kAffordableProcessStarts = 200;

struct ChildProcess::Native {
    pid_t pid = -1;
    int input = -1;
    int output = -1;
    std::optional<int> status;
};

ChildProcess::ChildProcess(const fs::path &program, const std::vector<fs::path> &arguments, const fs::path &folder,
                           Errors errors)
    : mNative(std::make_unique<Native>())
{
    // execv takes the words as char *, and changes none of them.
    const auto word = [](const fs::path &path) { return const_cast<char *>(path.c_str()); };
    std::vector<char *> argv{word(program)};
    std::ranges::transform(arguments, std::back_inserter(argv), word);
    argv.push_back(nullptr);

    int input[2];
    int output[2];
    if (::pipe2(input, O_CLOEXEC) != 0 || ::pipe2(output, O_CLOEXEC) != 0)
        throw std::runtime_error("no pipe");
    mNative->pid = ::fork();
    if (mNative->pid == 0) {
        // Nothing but calls that are safe after a fork, up to the exec.
        if ((folder.empty() || ::chdir(folder.c_str()) == 0) && ::dup2(input[0], STDIN_FILENO) >= 0 &&
            ::dup2(output[1], STDOUT_FILENO) >= 0 &&
            (errors == Errors::ToTheTest || ::dup2(STDOUT_FILENO, STDERR_FILENO) >= 0))
            ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(input[0]);
    ::close(output[1]);
    mNative->input = input[1];
    mNative->output = output[0];
    if (mNative->pid < 0)
        throw std::runtime_error("no process for " + program.string());
}

ChildProcess::~ChildProcess()
{
    (void)kill();
    closeInput();
    ::close(mNative->output);
}

std::optional<char> ChildProcess::readByte()
{
    char byte = 0;
    ssize_t got = 0;
    do {
        got = ::read(mNative->output, &byte, 1);
    } while (got < 0 && errno == EINTR);
    return got == 1 ? std::optional<char>(byte) : std::nullopt;
}

void ChildProcess::closeInput()
{
    if (mNative->input >= 0)
        ::close(mNative->input);
    mNative->input = -1;
}

bool ChildProcess::kill()
{
    if (mNative->status)
        return false;
    ::kill(mNative->pid, SIGKILL);
    return wait() == -1;
}

int ChildProcess::wait()
{
    int status = 0;
    while (!mNative->status) {
        if (::waitpid(mNative->pid, &status, 0) == mNative->pid)
            mNative->status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        else if (errno != EINTR)
            mNative->status = -1;
    }
    return *mNative->status;
}

fs::path testProgram(const std::string &name) { return fs::read_symlink("/proc/self/exe").parent_path() / name; }

std::vector<fs::path> programArguments(int argc, char **argv) { return {argv + 1, argv + argc}; }
