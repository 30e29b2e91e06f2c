// vuelco-cli as a Windows program: it expands its own wildcards, reads its arguments in
// full Unicode and writes Spanish text that a console shows as written.

#include "child_process.h"
#include "cli/command_words_win32.h"
#include "cli/console_win32.h"
#include "runtime/api_win32.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace vuelco::cli {
namespace {

namespace fs = std::filesystem;

using Words = std::vector<std::wstring>;

const std::wstring kAnio = L"A\u00f1o.dat";
const std::wstring kCyrillic = L"\u0414\u0430\u043d\u0456.dat";

class Wildcards : public testing::Test {
protected:
    void SetUp() override
    {
        for (const std::wstring &name : Words{L"b.DAT", L"a.dat", kAnio, kCyrillic, L"c.data", L"-guion.dat"})
            writeFile(mTemp.path() / name, headerOf(Layout::Arcade));
        fs::create_directory(mTemp.path() / L"carpeta.dat");
    }

    [[nodiscard]] std::wstring in(const std::wstring &name) const { return (mTemp.path() / name).native(); }

    TempFolder mTemp;
};

TEST_F(Wildcards, expandFileArgumentsInOrderWithTheFolderAsTyped)
{
    const Words expanded = expandWildcards({L"--a-emulador", in(L"*.dat"), L"/?", L"-x*"});
    EXPECT_EQ(expanded, (Words{L"--a-emulador", in(L"-guion.dat"), in(L"a.dat"), in(kAnio), in(L"b.DAT"),
                               in(L"carpeta.dat"), in(kCyrillic), L"/?", L"-x*"}));
}

TEST_F(Wildcards, matchOneCharacterWithAQuestionMarkInTheCurrentFolder)
{
    const fs::path previous = fs::current_path();
    fs::current_path(mTemp.path());
    const Words expanded = expandWildcards({L"?.dat", L"--", L"-*"});
    fs::current_path(previous);
    EXPECT_EQ(expanded, (Words{L"a.dat", L"b.DAT", L"--", L"-guion.dat"}));
}

TEST_F(Wildcards, thatMatchNothingStayAsTyped)
{
    EXPECT_EQ(expandWildcards({in(L"*.xyz"), in(L"falta\\*.dat")}), (Words{in(L"*.xyz"), in(L"falta\\*.dat")}));
}

// The console gets whole characters even when a write ends inside one.
TEST(WideTextBuffer, handsOnWholeCharactersWhereverTheWritesEnd)
{
    std::wstring shown;
    WideTextBuffer buffer([&](std::wstring_view text) {
        shown += text;
        return true;
    });
    std::ostream stream(&buffer);
    const std::string text = "A\xc3\xb1o \xe2\x80\x94 \xf0\x9f\x93\x81 convertido\n";
    for (const char byte : text)
        stream << byte << std::flush;
    EXPECT_EQ(shown, L"A\u00f1o \u2014 \U0001F4C1 convertido\n");
}

// What cmd.exe does with "vuelco-cli --a-emulador *.dat": the pattern arrives as typed;
// one that matches nothing is said so.
TEST(WindowsCommandLine, convertsTheFilesAPatternNamesWhateverTheirNames)
{
    TempFolder temp;
    writeFile(temp.path() / kAnio, headerOf(Layout::Arcade));
    writeFile(temp.path() / kCyrillic, headerOf(Layout::Arcade));
    ChildProcess cli(fs::path(VUELCO_CLI).make_preferred(), {"--a-emulador", "*.dat", "*.xyz"}, temp.path(),
                     ChildProcess::Errors::WithOutput);
    std::string output = cli.readRest();
    std::erase(output, '\r');

    // The program runs in a console of its own without a window, whose code page is the
    // system's OEM one; piped from it, the text comes in that code page.
    const std::wstring expected = kAnio + L"\tBGA, Arcade -> BGA, Emulador Pc\n" + kCyrillic +
                                  L"\tBGA, Arcade -> BGA, Emulador Pc\n"
                                  L"*.xyz: Error #  53: Ning\u00fan archivo coincide con ese nombre\n"
                                  L"Convertidos: 2, ya en ese formato: 0, no reconocidos: 0, fallidos: 1\n";
    EXPECT_EQ(output, inCodePage(expected, GetOEMCP()));
    EXPECT_EQ(readAll(temp.path() / kAnio), headerOf(Layout::PcEmulator));
    EXPECT_EQ(readAll(temp.path() / kCyrillic), headerOf(Layout::PcEmulator));
}

} // namespace
} // namespace vuelco::cli
