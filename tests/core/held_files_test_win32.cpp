// Windows shares a file between handles only as each open allows. Another program that
// holds the file without sharing its writes keeps the conversion out: the user sees the
// failure with its number, never the read-only message, and nothing is written. A handle
// behaves the same whichever process holds it.

#include "conversion_paths.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include "runtime/api_win32.h"

namespace vuelco {
namespace {

struct HolderRow {
    const char *label;
    DWORD access;
    DWORD sharing;
    bool canStillLoad;
};

void PrintTo(const HolderRow &row, std::ostream *out) { *out << row.label; }

class HeldFile : public testing::TestWithParam<HolderRow> {};

TEST_P(HeldFile, refusesTheConversionWithItsNumberAndWritesNothing)
{
    const HolderRow &row = GetParam();
    const TempFolder folder;
    const auto file = folder.write(u8"Año.dat", headerOf(Layout::Arcade));
    HANDLE holder = CreateFileW(file.c_str(), row.access, row.sharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);

    if (row.canStillLoad) {
        EXPECT_EQ(probeHeader(file).layout, Layout::Arcade);
    } else {
        EXPECT_EQ(thrownBy([&] { (void)probeHeader(file); }), Thrown(FailureNumber::PermissionDenied, file));
    }
    EXPECT_EQ(thrownBy([&] { (void)convertIfUnchanged(file, Layout::PcEmulator, kGroups); }),
              Thrown(FailureNumber::PermissionDenied, file));
    CloseHandle(holder);
    EXPECT_EQ(readAll(file), headerOf(Layout::Arcade));
}

INSTANTIATE_TEST_SUITE_P(
    Holders, HeldFile,
    testing::Values(HolderRow{"readingAndSharingOnlyReads", GENERIC_READ, FILE_SHARE_READ, true},
                    HolderRow{"writingAndSharingOnlyReads", GENERIC_WRITE, FILE_SHARE_READ, true},
                    HolderRow{"sharingNothing", GENERIC_READ, 0, false}),
    testing::PrintToStringParamName());

} // namespace
} // namespace vuelco
