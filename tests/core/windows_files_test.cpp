// How Windows names and guards files: the load and the conversion reach exactly the file a
// path names, whatever Windows would otherwise make of the name, and a file that may not
// be written is refused before any byte is.
//
// The fixtures make and read files through their own verbatim ("\\?\") names, never
// through the code under test, so a name the code mangles cannot pass by accident.

#include "core/convert_if_unchanged.h"
#include "core/convert_in_one_pass.h"
#include "core/header_probe.h"
#include "runtime/failure.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "runtime/windows_api.h"

namespace vuelco {
namespace {

namespace fs = std::filesystem;

const Groups kGroups{{0x10, 0x20, 0x30, 0x40}, {0x50, 0x60, 0x70, 0x80}};
const Groups kDecoyGroups{{0xDE, 0xC0, 0xDE, 0xC0}, {0xDE, 0xC0, 0xDE, 0xC0}};

Bytes fileWith(const Header &header)
{
    Bytes bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), {'c', 'u', 'e', 'r', 'p', 'o'});
    return bytes;
}

const Bytes kArcade = fileWith(composeHeader(Layout::Arcade, kGroups));
const Bytes kDecoy = fileWith(composeHeader(Layout::Arcade, kDecoyGroups));

std::wstring verbatim(const fs::path &absolute) { return L"\\\\?\\" + absolute.native(); }

void makeFolders(const fs::path &folder, const fs::path &relative)
{
    fs::path done = folder;
    for (const fs::path &part : relative) {
        done /= part;
        CreateDirectoryW(verbatim(done).c_str(), nullptr);
    }
}

void createExactly(const fs::path &absolute, const Bytes &bytes)
{
    HANDLE handle = CreateFileW(verbatim(absolute).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(handle, INVALID_HANDLE_VALUE) << "cannot create the fixture, error " << GetLastError();
    DWORD written = 0;
    WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(handle);
    ASSERT_EQ(written, bytes.size());
}

Bytes readExactly(const fs::path &absolute)
{
    HANDLE handle = CreateFileW(verbatim(absolute).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return {};
    Bytes bytes(4096);
    DWORD got = 0;
    ReadFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr);
    CloseHandle(handle);
    bytes.resize(got);
    return bytes;
}

bool existsExactly(const fs::path &absolute)
{
    return GetFileAttributesW(verbatim(absolute).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Removes everything below a folder by verbatim names: the library's own removal goes
// through names Windows trims, and does not come back from "x.dat ".
void removeContentsExactly(const fs::path &folder)
{
    WIN32_FIND_DATAW entry{};
    HANDLE search = FindFirstFileW(verbatim(folder / L"*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        const fs::path path = folder / name;
        SetFileAttributesW(verbatim(path).c_str(), entry.dwFileAttributes & ~DWORD{FILE_ATTRIBUTE_READONLY});
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            removeContentsExactly(path);
            RemoveDirectoryW(verbatim(path).c_str());
        } else {
            DeleteFileW(verbatim(path).c_str());
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

// A temporary folder emptied by verbatim names before it goes.
class ExactTempFolder {
public:
    ExactTempFolder() = default;
    ExactTempFolder(const ExactTempFolder &) = delete;
    ExactTempFolder &operator=(const ExactTempFolder &) = delete;
    ~ExactTempFolder() { removeContentsExactly(mTemp.path()); }

    [[nodiscard]] const fs::path &path() const { return mTemp.path(); }

private:
    TempFolder mTemp;
};

// Loads and converts the named file both ways and checks that exactly it changed.
void expectRoundTrip(const fs::path &path, const fs::path &absolute)
{
    const ProbeResult probe = probeHeader(path);
    ASSERT_EQ(probe.layout, Layout::Arcade);
    EXPECT_EQ(probe.groups, kGroups);
    ASSERT_EQ(convertIfUnchanged(path, Layout::PcEmulator, probe.groups), ConversionOutcome::Converted);
    EXPECT_EQ(readExactly(absolute), fileWith(composeHeader(Layout::PcEmulator, kGroups)));
    ASSERT_EQ(convertInOnePass(path, Layout::Arcade), Layout::PcEmulator);
    EXPECT_EQ(readExactly(absolute), kArcade);
}

// Loading, converting and the batch conversion all fail with the number, and leave
// every file as it was.
void expectFailure(const fs::path &path, std::int32_t number, const std::string &description = {})
{
    const auto check = [&](const char *what, auto &&operation) {
        try {
            operation();
            ADD_FAILURE() << what << " " << path << " did not fail";
        } catch (const Failure &failure) {
            EXPECT_EQ(failure.number(), number) << what << ": " << failure.description();
            if (!description.empty()) {
                EXPECT_EQ(failure.description(), description) << what;
            }
            EXPECT_EQ(failure.path(), path) << what;
        }
    };
    check("loading", [&] { (void)probeHeader(path); });
    check("converting", [&] { (void)convertIfUnchanged(path, Layout::PcEmulator, kGroups); });
    check("converting in a batch", [&] { (void)convertInOnePass(path, Layout::PcEmulator); });
}

struct NameRow {
    const char *label;
    std::wstring name;   // below the temporary folder
    std::wstring decoy;  // the file Windows reaches when the name is not given verbatim
};

void PrintTo(const NameRow &row, std::ostream *out) { *out << row.label; }

class WindowsName : public testing::TestWithParam<NameRow> {
protected:
    ExactTempFolder mTemp;
};

TEST_P(WindowsName, reachesExactlyTheNamedFileBesideItsTwin)
{
    const NameRow &row = GetParam();
    const fs::path absolute = mTemp.path() / row.name;
    makeFolders(mTemp.path(), fs::path(row.name).parent_path());
    if (!row.decoy.empty())
        createExactly(mTemp.path() / row.decoy, kDecoy);
    createExactly(absolute, kArcade);

    expectRoundTrip(absolute, absolute);
    if (!row.decoy.empty()) {
        EXPECT_EQ(readExactly(mTemp.path() / row.decoy), kDecoy);
    }
}

TEST_P(WindowsName, withoutItsFileIsNotFoundAndNothingIsCreated)
{
    const NameRow &row = GetParam();
    const fs::path absolute = mTemp.path() / row.name;
    makeFolders(mTemp.path(), fs::path(row.name).parent_path());
    if (!row.decoy.empty())
        createExactly(mTemp.path() / row.decoy, kDecoy);

    expectFailure(absolute, 53);
    EXPECT_FALSE(existsExactly(absolute));
    if (!row.decoy.empty()) {
        EXPECT_EQ(readExactly(mTemp.path() / row.decoy), kDecoy);
    }
}

const std::wstring kLongFolder = std::wstring(100, L'a') + L"\\" + std::wstring(100, L'b') + L"\\" +
                                 std::wstring(100, L'c');

INSTANTIATE_TEST_SUITE_P(
    Names, WindowsName,
    testing::Values(NameRow{"accentedFolderAndName", L"M\u00fasica\\A\u00f1o 1.dat", {}},
                    NameRow{"outsideTheAnsiCodePage", L"\u0414\u0430\u043d\u0456 \u03a9\u03bc\u03ad\u03b3\u03b1 "
                                                      L"\u30c7\u30fc\u30bf.dat", {}},
                    NameRow{"trailingBlank", L"x.dat ", L"x.dat"},
                    NameRow{"trailingDot", L"x.dat.", L"x.dat"},
                    NameRow{"trailingBlanksAndDots", L"A\u00f1o.dat . .", L"A\u00f1o.dat"},
                    NameRow{"deviceName", L"NUL.dat", {}},
                    NameRow{"pathOver260Characters", kLongFolder + L"\\largo.dat", {}}),
    [](const testing::TestParamInfo<NameRow> &row) { return std::string(row.param.label); });

// The command line hands over names relative to the current folder as they were typed.
TEST(WindowsRelativeName, keepsItsTrailingBlank)
{
    ExactTempFolder temp;
    createExactly(temp.path() / L"x.dat", kDecoy);
    createExactly(temp.path() / L"x.dat ", kArcade);
    const fs::path previous = fs::current_path();
    fs::current_path(temp.path());

    expectRoundTrip(L"x.dat ", temp.path() / L"x.dat ");
    EXPECT_EQ(readExactly(temp.path() / L"x.dat"), kDecoy);
    fs::current_path(previous);
}

TEST(WindowsLongName, ofMoreThan255CharactersIsABadNameAndCreatesNothing)
{
    ExactTempFolder temp;
    const fs::path path = temp.path() / (std::wstring(252, L'n') + L".dat");
    expectFailure(path, 52, "El nombre o la ruta del archivo es demasiado largo");
    EXPECT_FALSE(existsExactly(path));
}

class WindowsAccess : public testing::Test {
protected:
    ExactTempFolder mTemp;
    fs::path mFile = mTemp.path() / L"A\u00f1o.dat";

    void SetUp() override { createExactly(mFile, kArcade); }
};

// A folder refuses a file open with access denied, the same answer a read-only file
// gives; it must be told apart, as the Linux layer does.
TEST_F(WindowsAccess, aFolderIsRefusedAsAFolderNotAsReadOnly)
{
    const fs::path folder = mTemp.path() / L"carpeta.dat";
    makeFolders(mTemp.path(), L"carpeta.dat");
    expectFailure(folder, 52, "No se puede abrir: es una carpeta");
}

TEST_F(WindowsAccess, theReadOnlyAttributeRefusesTheConversionBeforeAnyByteIsWritten)
{
    ASSERT_TRUE(SetFileAttributesW(verbatim(mFile).c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(probeHeader(mFile).layout, Layout::Arcade);
    try {
        (void)convertIfUnchanged(mFile, Layout::PcEmulator, kGroups);
        ADD_FAILURE() << "a read-only file was converted";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.number(), 75);
    }
    EXPECT_THROW((void)convertInOnePass(mFile, Layout::PcEmulator), Failure);
    SetFileAttributesW(verbatim(mFile).c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(readExactly(mFile), kArcade);
}

struct HolderRow {
    const char *label;
    DWORD access;
    DWORD sharing;
    bool canStillLoad;
};

void PrintTo(const HolderRow &row, std::ostream *out) { *out << row.label; }

class WindowsHeldFile : public WindowsAccess, public testing::WithParamInterface<HolderRow> {};

// Another program that holds the file without sharing its writes keeps the conversion
// out: the user sees the failure with its number, never the read-only message, and
// nothing is written. A handle behaves the same whichever process holds it.
TEST_P(WindowsHeldFile, refusesTheConversionWithItsNumberAndWritesNothing)
{
    const HolderRow &row = GetParam();
    HANDLE holder = CreateFileW(verbatim(mFile).c_str(), row.access, row.sharing, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);

    if (row.canStillLoad) {
        EXPECT_EQ(probeHeader(mFile).layout, Layout::Arcade);
    } else {
        EXPECT_THROW((void)probeHeader(mFile), Failure);
    }
    try {
        (void)convertIfUnchanged(mFile, Layout::PcEmulator, kGroups);
        ADD_FAILURE() << "a file held by another program was converted";
    } catch (const Failure &failure) {
        EXPECT_EQ(failure.number(), 70);
        EXPECT_EQ(failure.description(), "Permiso denegado");
    }
    CloseHandle(holder);
    EXPECT_EQ(readExactly(mFile), kArcade);
}

INSTANTIATE_TEST_SUITE_P(
    Holders, WindowsHeldFile,
    testing::Values(HolderRow{"readingAndSharingOnlyReads", GENERIC_READ, FILE_SHARE_READ, true},
                    HolderRow{"writingAndSharingOnlyReads", GENERIC_WRITE, FILE_SHARE_READ, true},
                    HolderRow{"sharingNothing", GENERIC_READ, 0, false}),
    [](const testing::TestParamInfo<HolderRow> &row) { return std::string(row.param.label); });

TEST_F(WindowsAccess, aVanishedFileIsNotFoundAndIsNotCreatedAgain)
{
    ASSERT_TRUE(DeleteFileW(verbatim(mFile).c_str()));
    expectFailure(mFile, 53);
    EXPECT_FALSE(existsExactly(mFile));
}

TEST_F(WindowsAccess, aVanishedFolderIsAPathNotFound)
{
    const fs::path path = mTemp.path() / L"no est\u00e1" / L"A\u00f1o.dat";
    expectFailure(path, 76);
    EXPECT_FALSE(existsExactly(path.parent_path()));
}

} // namespace
} // namespace vuelco
