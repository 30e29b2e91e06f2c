#include "runtime/binary_file.h"

#include <gtest/gtest.h>

#include <fstream>

namespace vuelco {

// scripts/test-windows makes N: a drive Wine takes for a network one. Its handles say nothing
// of a share and name their file system NTFS: only the drive's type tells.
TEST(FileNumbersOnANetworkDrive, areNotTrusted)
{
    std::ofstream("N:\\f.dat") << "x";
    EXPECT_EQ(BinaryFile::openForReading("N:\\f.dat").fileNumbers(), FileNumbers::Unstable);
}

} // namespace vuelco
