// A process converting one file back and forth, the window's way or the command line's,
// is killed at random moments. Whenever it dies, the file holds one of the two layouts
// whole, with the right groups, and the body byte for byte as it was.
//
// The process is convert_until_killed, built next to this test. Linux acts on SIGKILL
// only between system calls, so a header that goes out in one write cannot be cut by a
// kill: this guards against the write being split in two, and proves nothing about power
// loss or a dying device. Wine carries out TerminateProcess as a SIGKILL as well.

#include "child_process.h"
#include "conversion_paths.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <string>
#include <thread>

namespace vuelco {
namespace {

// How long one load and conversion takes here, so that the kills fall inside them on a
// fast disk as on a slow one, or under valgrind.
std::chrono::microseconds timeOfOneConversion(ConversionPath way, const std::filesystem::path &path)
{
    constexpr int kRuns = 20;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kRuns; ++i) {
        if (!loadAndConvert(way, path))
            ADD_FAILURE() << "the conversion did not run";
    }
    const auto each = std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start) / kRuns;
    return std::max(each, std::chrono::microseconds(1));
}

class KilledConversion : public ::testing::TestWithParam<ConversionPath> {};

TEST_P(KilledConversion, leavesOneWholeLayoutAndTheBodyIntactWheneverTheProcessDies)
{
    const TempFolder folder;
    const std::filesystem::path path = folder / "vuelco.dat";
    const Bytes arcade = fileWith(Layout::Arcade, bodyOf(8192), kExtremeGroups);
    const Bytes pc = fileWith(Layout::PcEmulator, bodyOf(8192), kExtremeGroups);
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
    for (int round = 0; round < kAffordableProcessStarts; ++round) {
        ChildProcess child(testProgram("convert_until_killed"), {path, nameOf(GetParam())});
        // Its start, then a few whole conversions, then a moment inside the next one.
        const int waitFor = 1 + conversionsBefore(random);
        for (int i = 0; i < waitFor; ++i)
            ASSERT_TRUE(child.readByte()) << "the converting process stopped by itself";
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

INSTANTIATE_TEST_SUITE_P(Paths, KilledConversion, ::testing::Values(ConversionPath::Window, ConversionPath::CommandLine),
                         ::testing::PrintToStringParamName());

} // namespace
} // namespace vuelco
