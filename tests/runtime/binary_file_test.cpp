#include "runtime/binary_file.h"

#include "temp_folder.h"

#include <gtest/gtest.h>

using namespace vuelco;

namespace {

TEST(BinaryFile, readsBytesByOffsetAndNothingPastTheEnd)
{
    TempFolder folder;
    const auto path = folder.write("a.dat", {0x10, 0x20, 0x30});
    BinaryFile file = BinaryFile::openForReading(path);

    EXPECT_EQ(file.readByte(0), 0x10);
    EXPECT_EQ(file.readByte(2), 0x30);
    EXPECT_EQ(file.readByte(3), std::nullopt);

    std::array<std::uint8_t, 8> buffer{};
    EXPECT_EQ(file.read(1, buffer), 2u);
    EXPECT_EQ(buffer[0], 0x20);
}

TEST(BinaryFile, closesOnceWhateverPathItTakes)
{
    TempFolder folder;
    const auto path = folder.write("a.dat", arcadeHeader());
    BinaryFile first = BinaryFile::openForUpdate(path);
    BinaryFile second = std::move(first);
    second.write(4, std::array<std::uint8_t, 1>{3});
    second.flush();
    second.close();
    second.close();

    Bytes expected = arcadeHeader();
    expected[4] = 3;
    EXPECT_EQ(readAll(path), expected);
}

} // namespace
