// A process converting one file back and forth, the window's way or the command line's,
// is killed at random moments. Whenever it dies, the file holds one of the two layouts
// whole, with the right groups, and the body byte for byte as it was.
//
// Linux acts on SIGKILL only between system calls, so a header that goes out in one
// write cannot be cut by a kill: this guards against the write being split in two,
// and proves nothing about power loss or a dying device. On Windows the process is
// convert_until_killed, built next to this test, ended by TerminateProcess; under Wine
// that is a SIGKILL to it as well.

#include "conversion_paths.h"
#include "core/header_probe.h"
#include "runtime/failure.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#ifdef _WIN32
#include "runtime/win32_calls.h"
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vuelco {
namespace {

const Groups kGroups{{0xA1, 0x00, 0x80, 0xFF}, {0x01, 0x02, 0x03, 0x04}};

Bytes fileWith(const Header &header)
{
    Bytes bytes(header.begin(), header.end());
    for (int i = 0; i < 8192; ++i)
        bytes.push_back(static_cast<std::uint8_t>(i * 31 + 5));
    return bytes;
}

// One load and its conversion to the other layout, the way given.
bool convertOnce(ConversionPath way, const std::string &path)
{
    const ProbeResult probe = probeHeader(path);
    return probe.layout && convertThrough(way, path, otherLayout(*probe.layout), probe.groups);
}

#ifndef _WIN32
// Converts the file to the other layout, again and again, until killed; tells the pipe
// when it starts and after each conversion.
[[noreturn]] void convertForever(ConversionPath way, const std::string &path, int progress)
{
    if (write(progress, "r", 1) != 1)
        _exit(3);
    for (;;) {
        try {
            if (!convertOnce(way, path))
                _exit(4);
        } catch (const Failure &) {
            _exit(5);
        }
        if (write(progress, "c", 1) != 1)
            _exit(6);
    }
}

// A process converting the file until it is killed, forked from this one.
class ConvertingProcess {
public:
    ConvertingProcess(ConversionPath way, const std::string &path)
    {
        int progress[2];
        if (pipe(progress) != 0)
            throw std::runtime_error("no pipe");
        mChild = fork();
        if (mChild == 0) {
            close(progress[0]);
            convertForever(way, path, progress[1]);
        }
        close(progress[1]);
        mProgress = progress[0];
        if (mChild < 0)
            throw std::runtime_error("no fork");
    }
    ConvertingProcess(const ConvertingProcess &) = delete;
    ConvertingProcess &operator=(const ConvertingProcess &) = delete;
    ~ConvertingProcess() { close(mProgress); }

    // Waits for its start or for the end of its next conversion.
    [[nodiscard]] bool awaitProgress()
    {
        char signal = 0;
        return read(mProgress, &signal, 1) == 1;
    }

    // Kills it; false when it had stopped by itself.
    [[nodiscard]] bool kill()
    {
        ::kill(mChild, SIGKILL);
        int status = 0;
        return waitpid(mChild, &status, 0) == mChild && WIFSIGNALED(status);
    }

private:
    pid_t mChild = -1;
    int mProgress = -1;
};

constexpr int kRounds = 200;
#else
// A process converting the file until it is killed: convert_until_killed, next to this test.
class ConvertingProcess {
public:
    ConvertingProcess(ConversionPath way, const std::string &path)
    {
        SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        HANDLE progressIn = nullptr;
        if (!CreatePipe(&mProgress, &progressIn, &inherited, 0))
            throw std::runtime_error("no pipe");
        SetHandleInformation(mProgress, HANDLE_FLAG_INHERIT, 0);
        std::wstring self(MAX_PATH, L'\0');
        self.resize(GetModuleFileNameW(nullptr, self.data(), MAX_PATH));
        const std::filesystem::path helper = std::filesystem::path(self).parent_path() / "convert_until_killed.exe";
        std::wstring command = L"\"" + helper.native() + L"\" \"" + std::filesystem::path(path).native() + L"\" " +
                               (way == ConversionPath::Window ? L"window" : L"cli");
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = progressIn;
        startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        const bool started = CreateProcessW(helper.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                            nullptr, &startup, &mProcess);
        CloseHandle(progressIn);
        if (!started)
            throw std::runtime_error("convert_until_killed did not start");
        CloseHandle(mProcess.hThread);
    }
    ConvertingProcess(const ConvertingProcess &) = delete;
    ConvertingProcess &operator=(const ConvertingProcess &) = delete;
    ~ConvertingProcess()
    {
        CloseHandle(mProgress);
        CloseHandle(mProcess.hProcess);
    }

    // Waits for its start or for the end of its next conversion.
    [[nodiscard]] bool awaitProgress()
    {
        char signal = 0;
        DWORD got = 0;
        return ReadFile(mProgress, &signal, 1, &got, nullptr) && got == 1;
    }

    // Kills it; false when it had stopped by itself.
    [[nodiscard]] bool kill()
    {
        constexpr UINT kKilled = 137;
        TerminateProcess(mProcess.hProcess, kKilled);
        WaitForSingleObject(mProcess.hProcess, INFINITE);
        DWORD code = 0;
        return GetExitCodeProcess(mProcess.hProcess, &code) && code == kKilled;
    }

private:
    HANDLE mProgress = nullptr;
    PROCESS_INFORMATION mProcess{};
};

// Starting a process under Wine costs far more than a fork.
constexpr int kRounds = 50;
#endif

// How long one load and conversion takes here, so that the kills fall inside them on a
// fast disk as on a slow one, or under valgrind.
std::chrono::microseconds timeOfOneConversion(ConversionPath way, const std::string &path)
{
    constexpr int kRuns = 20;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kRuns; ++i) {
        if (!convertOnce(way, path))
            ADD_FAILURE() << "the conversion did not run";
    }
    const auto each = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start) / kRuns;
    return std::max(each, std::chrono::microseconds(1));
}

class KilledConversion : public ::testing::TestWithParam<ConversionPath> {};

TEST_P(KilledConversion, leavesOneWholeLayoutAndTheBodyIntactWheneverTheProcessDies)
{
    const TempFolder folder;
    const std::string path = (folder / "vuelco.dat").string();
    const Bytes arcade = fileWith(composeHeader(Layout::Arcade, kGroups));
    const Bytes pc = fileWith(composeHeader(Layout::PcEmulator, kGroups));
    writeFile(path, arcade);

    const auto conversionTime = timeOfOneConversion(GetParam(), path);
    ASSERT_EQ(readAll(path), arcade);

    // A new seed each run reaches other moments; the seed is printed to replay a failure.
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> conversionsBefore(0, 3);
    std::uniform_int_distribution<std::chrono::microseconds::rep> delay(0, 2 * conversionTime.count());
    int sawArcade = 0;
    int sawPc = 0;
    for (int round = 0; round < kRounds; ++round) {
        ConvertingProcess child(GetParam(), path);
        // Its start, then a few whole conversions, then a moment inside the next one.
        const int waitFor = 1 + conversionsBefore(random);
        for (int i = 0; i < waitFor; ++i)
            ASSERT_TRUE(child.awaitProgress()) << "the converting process stopped by itself";
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ASSERT_TRUE(child.kill()) << "the converting process stopped by itself";

        const Bytes now = readAll(path);
        ASSERT_TRUE(now == arcade || now == pc) << "round " << round << ": the file is neither layout whole";
        (now == arcade ? sawArcade : sawPc)++;
    }
    // Both layouts turned up, so the kills did land while conversions were running.
    EXPECT_GT(sawArcade, 0);
    EXPECT_GT(sawPc, 0);
}

INSTANTIATE_TEST_SUITE_P(Paths, KilledConversion,
                         ::testing::Values(ConversionPath::Window, ConversionPath::CommandLine),
                         [](const ::testing::TestParamInfo<ConversionPath> &row) {
                             return std::string(nameOf(row.param));
                         });

} // namespace
} // namespace vuelco
