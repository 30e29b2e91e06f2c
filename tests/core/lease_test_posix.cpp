// A lease that another program holds on a file (Samba's kernel oplocks and NFS delegations
// take them) makes a non-blocking open fail with EWOULDBLOCK while the system asks the
// holder to let go. Both conversions wait for it, where they once failed with "Error del
// sistema 11"; an open still never waits on a pipe (header_probe_test).

#include "child_process.h"
#include "conversion_paths.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>

namespace vuelco {
namespace {

class LeaseHeld : public ::testing::TestWithParam<ConversionPath> {};

TEST_P(LeaseHeld, isWaitedForUntilItsHolderLetsGo)
{
    const TempFolder folder;
    const std::filesystem::path file = folder.write("alquilado.dat", fileWith(Layout::Arcade));
    ChildProcess holder(testProgram("hold_lease"), {file, "500"});
    ASSERT_EQ(holder.readByte(), 'r');
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(loadAndConvert(GetParam(), file));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    EXPECT_EQ(holder.wait(), 0);
    EXPECT_EQ(readAll(file), fileWith(Layout::PcEmulator));
}

INSTANTIATE_TEST_SUITE_P(Paths, LeaseHeld, ::testing::Values(ConversionPath::Window, ConversionPath::CommandLine),
                         ::testing::PrintToStringParamName());

} // namespace
} // namespace vuelco
