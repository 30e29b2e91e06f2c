// Windows shares a file between handles only as each open allows. Another program that
// holds the file without sharing its writes, or holds a lock on its header or on the rest
// of it, keeps the conversion out: the user sees the failure with its number, never the
// read-only message, and nothing is written. A handle, and its locks, behave the same
// whichever process holds it.

#include "conversion_paths.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <optional>

#include "runtime/api_win32.h"

namespace vuelco {
namespace {

struct HolderRow {
    const char *label;
    DWORD access;
    DWORD sharing;
    std::optional<bool> canStillLoad;  // nothing where Windows and Wine differ (Wine reads locked bytes)
    std::uint64_t lockedFrom = 0;      // a lock the holder takes, when lockedBytes is not 0
    std::uint64_t lockedBytes = 0;
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
    OVERLAPPED locked{};
    locked.Offset = static_cast<DWORD>(row.lockedFrom);
    locked.OffsetHigh = static_cast<DWORD>(row.lockedFrom >> 32);
    ASSERT_TRUE(row.lockedBytes == 0 || LockFileEx(holder, LOCKFILE_EXCLUSIVE_LOCK, 0,
                                                   static_cast<DWORD>(row.lockedBytes),
                                                   static_cast<DWORD>(row.lockedBytes >> 32), &locked));

    if (row.canStillLoad == true) {
        EXPECT_EQ(probeHeader(file).layout, Layout::Arcade);
    } else if (row.canStillLoad == false) {
        EXPECT_EQ(thrownBy([&] { (void)probeHeader(file); }), Thrown(FailureNumber::PermissionDenied, file));
    }
    EXPECT_EQ(thrownBy([&] { (void)convertIfUnchanged(file, Layout::PcEmulator, kGroups); }),
              row.lockedBytes == 0
                  ? Thrown(FailureNumber::PermissionDenied, file)
                  : Thrown(70, "Otro programa tiene el archivo bloqueado; no se escribió nada", file));
    CloseHandle(holder);
    EXPECT_EQ(readAll(file), headerOf(Layout::Arcade));
}

INSTANTIATE_TEST_SUITE_P(
    Holders, HeldFile,
    testing::Values(HolderRow{"readingAndSharingOnlyReads", GENERIC_READ, FILE_SHARE_READ, true},
                    HolderRow{"writingAndSharingOnlyReads", GENERIC_WRITE, FILE_SHARE_READ, true},
                    HolderRow{"sharingNothing", GENERIC_READ, 0, false},
                    HolderRow{"lockingTheHeader", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, {}, 0, 16},
                    HolderRow{"lockingTheRest", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, true, 16,
                              0x7FFFFFFFFFFFFFEFu}),
    testing::PrintToStringParamName());

} // namespace
} // namespace vuelco
