#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A program run as a process of its own, as another program would start it. Its standard
// input and output are pipes to the test; its standard error is the test's own, or goes
// with its output. When it goes, the process is killed if it still runs, and waited for.
class ChildProcess {
public:
    enum class Errors : std::uint8_t { ToTheTest, WithOutput };

    // Starts program with these arguments, each one word as the system keeps it, in
    // folder (the test's own when empty). Throws std::runtime_error when it cannot start.
    ChildProcess(const std::filesystem::path &program, const std::vector<std::filesystem::path> &arguments,
                 const std::filesystem::path &folder = {}, Errors errors = Errors::ToTheTest);
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;
    ~ChildProcess();

    // The next byte it writes; nothing once its output is closed.
    [[nodiscard]] std::optional<char> readByte();
    // What it writes until its output is closed.
    [[nodiscard]] std::string readRest()
    {
        std::string rest;
        while (const std::optional<char> byte = readByte())
            rest += *byte;
        return rest;
    }
    // Closes its standard input, the signal to let go for a program that holds a file.
    void closeInput();
    // Ends it at once; false when it had ended by itself.
    [[nodiscard]] bool kill();
    // Waits for it to end; its exit status, -1 when it was killed.
    int wait();

private:
    struct Native;
    std::unique_ptr<Native> mNative;
};

// How many processes a test may start in a few seconds: a start under Wine costs far
// more than a fork and exec.
extern const int kAffordableProcessStarts;

// A test program built beside the test that runs.
[[nodiscard]] std::filesystem::path testProgram(const std::string &name);

// A test program's own arguments, each as the system keeps it (on Windows in full
// Unicode, which argv is not).
[[nodiscard]] std::vector<std::filesystem::path> programArguments(int argc, char **argv);
