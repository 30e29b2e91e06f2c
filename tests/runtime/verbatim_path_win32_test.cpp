#include "runtime/verbatim_path_win32.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace vuelco {
namespace {

namespace fs = std::filesystem;

struct PathRow {
    const char *label;
    std::wstring path;
    std::wstring verbatim;
};

void PrintTo(const PathRow &row, std::ostream *out) { *out << row.label; }

class VerbatimPath : public testing::TestWithParam<PathRow> {};

TEST_P(VerbatimPath, keepsEveryCharacterOfTheLastName)
{
    EXPECT_EQ(verbatimPath(GetParam().path), GetParam().verbatim);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, VerbatimPath,
    testing::Values(PathRow{"trailingBlank", L"C:\\Datos\\x.dat ", L"\\\\?\\C:\\Datos\\x.dat "},
                    PathRow{"trailingDots", L"C:\\Datos\\x.dat..", L"\\\\?\\C:\\Datos\\x.dat.."},
                    PathRow{"dotsAndSlashes", L"C:/Datos/./viejo/../x.dat", L"\\\\?\\C:\\Datos\\x.dat"},
                    PathRow{"networkShare", L"\\\\servidor\\datos\\x.dat", L"\\\\?\\UNC\\servidor\\datos\\x.dat"},
                    PathRow{"alreadyVerbatim", L"\\\\?\\C:\\x.dat ", L"\\\\?\\C:\\x.dat "},
                    PathRow{"device", L"\\\\.\\COM1", L"\\\\.\\COM1"}),
    [](const testing::TestParamInfo<PathRow> &row) { return std::string(row.param.label); });

TEST(VerbatimPathOfARelativeName, startsFromTheCurrentFolder)
{
    const fs::path current = fs::current_path();
    EXPECT_EQ(verbatimPath(L"sub\\x.dat "), L"\\\\?\\" + (current / L"sub\\x.dat ").native());
    EXPECT_EQ(verbatimPath(L"\\x.dat"), L"\\\\?\\" + current.root_name().native() + L"\\x.dat");
}

} // namespace
} // namespace vuelco
