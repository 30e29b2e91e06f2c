// Vuelco.exe as Windows itself reads it: the version block a file's properties show, the
// icon the shell shows, and the GUI subsystem that keeps a console window from appearing;
// and the manifest of both programs. The test runs beside Vuelco.exe in the build folder.

#include "child_process.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "runtime/api_win32.h"

namespace {

const std::filesystem::path kProgram = testProgram("Vuelco");

std::vector<char> versionBlock()
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(kProgram.c_str(), &ignored);
    std::vector<char> block(size);
    if (size == 0 || !GetFileVersionInfoW(kProgram.c_str(), 0, size, block.data()))
        block.clear();
    return block;
}

struct VersionString {
    const wchar_t *name;
    const wchar_t *value;
};

class VersionBlock : public ::testing::TestWithParam<VersionString> {};

TEST_P(VersionBlock, carriesTheSpanishString)
{
    std::vector<char> block = versionBlock();
    ASSERT_FALSE(block.empty()) << "Vuelco.exe has no version block";
    const std::wstring query = std::wstring(L"\\StringFileInfo\\0C0A04B0\\") + GetParam().name;
    wchar_t *value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void **>(&value), &length));
    EXPECT_EQ(std::wstring(value), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Strings, VersionBlock,
                         ::testing::Values(VersionString{L"CompanyName", L".."},
                                           VersionString{L"FileDescription", L"Conversor"},
                                           VersionString{L"FileVersion", L"1.00"},
                                           VersionString{L"InternalName", L"Vuelco"},
                                           VersionString{L"OriginalFilename", L"Vuelco.exe"},
                                           VersionString{L"ProductName", L"Vuelco"},
                                           VersionString{L"ProductVersion", L"1.00"}),
                         [](const auto &row) {
                             return std::string(row.param.name, row.param.name + wcslen(row.param.name));
                         });

TEST(VersionBlockTranslation, isSpanishInUnicode)
{
    std::vector<char> block = versionBlock();
    ASSERT_FALSE(block.empty());
    WORD *translation = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void **>(&translation),
                               &length));
    ASSERT_EQ(length, 2 * sizeof(WORD));
    EXPECT_EQ(translation[0], 0x0C0A);
    EXPECT_EQ(translation[1], 0x04B0);
}

TEST(Program, isAGuiProgramWithItsIcon)
{
    std::ifstream file(kProgram, std::ios::binary);
    std::vector<char> image(4096);
    file.read(image.data(), static_cast<std::streamsize>(image.size()));
    const auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(image.data());
    ASSERT_EQ(dos->e_magic, IMAGE_DOS_SIGNATURE);
    const auto *nt = reinterpret_cast<const IMAGE_NT_HEADERS64 *>(image.data() + dos->e_lfanew);
    ASSERT_EQ(nt->Signature, IMAGE_NT_SIGNATURE);
    EXPECT_EQ(nt->OptionalHeader.Subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);

    HMODULE program =
        LoadLibraryExW(kProgram.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr);
    int icons = 0;
    EnumResourceNamesW(
        program, MAKEINTRESOURCEW(14), // RT_GROUP_ICON, whose macro is the narrow one here
        [](HMODULE, LPCWSTR, LPWSTR, LONG_PTR count) {
            ++*reinterpret_cast<int *>(count);
            return TRUE;
        },
        reinterpret_cast<LONG_PTR>(&icons));
    FreeLibrary(program);
    EXPECT_EQ(icons, 1);
}

// Both programs declare themselves long-path aware, so that Windows lets them reach paths
// past 260 characters where they do not go by a verbatim name.
class Manifest : public ::testing::TestWithParam<std::filesystem::path> {};

TEST_P(Manifest, declaresTheProgramLongPathAware)
{
    HMODULE program = LoadLibraryExW(GetParam().c_str(), nullptr,
                                     LOAD_LIBRARY_AS_IMAGE_RESOURCE | LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr);
    // RT_MANIFEST, whose macro is the narrow one here.
    HRSRC found = FindResourceW(program, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    ASSERT_NE(found, nullptr) << "no manifest";
    const auto *text = static_cast<const char *>(LockResource(LoadResource(program, found)));
    const std::string manifest(text, SizeofResource(program, found));
    FreeLibrary(program);
    EXPECT_NE(manifest.find("<ws2:longPathAware>true</ws2:longPathAware>"), std::string::npos) << manifest;
}

INSTANTIATE_TEST_SUITE_P(Programs, Manifest, ::testing::Values(kProgram, std::filesystem::path(VUELCO_CLI)),
                         [](const auto &row) { return row.index == 0 ? std::string("Vuelco") : std::string("vuelcoCli"); });

} // namespace
