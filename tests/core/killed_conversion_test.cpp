// A process converting one file back and forth, the window's way or the command line's,
// is killed at random moments. Whenever it dies, the file holds one of the two layouts
// whole, with the right groups, and the body byte for byte as it was.
//
// Linux acts on SIGKILL only between system calls, so a header that goes out in one
// write cannot be cut by a kill: this guards against the write being split in two,
// and proves nothing about power loss or a dying device.

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
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

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

// Converts the file to the other layout, again and again, until killed; tells the pipe
// when it starts and after each conversion.
// One load and its conversion to the other layout, the way given.
bool convertOnce(ConversionPath way, const std::string &path)
{
    const ProbeResult probe = probeHeader(path);
    return probe.layout && convertThrough(way, path, otherLayout(*probe.layout), probe.groups);
}

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
    std::uniform_int_distribution<long> delay(0, 2 * conversionTime.count());
    int sawArcade = 0;
    int sawPc = 0;
    for (int round = 0; round < 200; ++round) {
        int progress[2];
        ASSERT_EQ(pipe(progress), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(progress[0]);
            convertForever(GetParam(), path, progress[1]);
        }
        close(progress[1]);
        // Its start, then a few whole conversions, then a moment inside the next one.
        const int waitFor = 1 + conversionsBefore(random);
        char signal = 0;
        for (int i = 0; i < waitFor; ++i)
            ASSERT_EQ(read(progress[0], &signal, 1), 1);
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        close(progress[0]);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the converting process stopped by itself, status " << status;

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
