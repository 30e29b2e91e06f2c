#include "cli/run.h"

#include "system_call_faults.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <new>
#include <sstream>
#include <sys/stat.h>

namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

const Bytes kArcade = headerOf(vuelco::Layout::Arcade);
const Bytes kPcEmulator = headerOf(vuelco::Layout::PcEmulator);

Outcome runCli(std::vector<std::string> words)
{
    const std::vector<std::string_view> views(words.begin(), words.end());
    std::ostringstream out, err;
    const int status = vuelco::cli::run(views, out, err);
    return {status, out.str(), err.str()};
}

class CommandLine : public testing::Test {
protected:
    TempFolder folder;
    std::string arcade = folder.write("arcade.dat", kArcade + Bytes{1, 2, 3}).string();
    std::string pc = folder.write("pc.dat", kPcEmulator).string();
    std::string other = folder.write("otro.dat", Bytes{'h', 'o', 'l', 'a'}).string();
};

TEST_F(CommandLine, showsTheLayoutOfEachFile)
{
    const Outcome o = runCli({arcade, pc, other});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, arcade + "\tBGA, Arcade\n" + pc + "\tBGA, Emulador Pc\n" + other + "\tOtro. Desconocido\n");
    EXPECT_EQ(o.err, "");
}

TEST_F(CommandLine, reportsAFailureOnStandardErrorAndGoesOn)
{
    const std::string missing = (folder / "falta.dat").string();
    const Outcome o = runCli({missing, arcade});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, missing + ": Error #  53\nNo se encontró el archivo\n");
    EXPECT_EQ(o.out, arcade + "\tBGA, Arcade\n");
}

TEST_F(CommandLine, convertsOnlyWhatIsInTheOtherLayout)
{
    const Outcome o = runCli({"--a-emulador", arcade, pc, other});
    EXPECT_EQ(o.status, 1) << "an unrecognised file could not be converted";
    EXPECT_EQ(o.out, arcade + "\tBGA, Arcade -> BGA, Emulador Pc\n" + pc +
                         "\tBGA, Emulador Pc (ya estaba en ese formato)\n" + other +
                         "\tOtro. Desconocido (no se convierte)\n");
    EXPECT_EQ(readAll(arcade), kPcEmulator + Bytes({1, 2, 3}));
    EXPECT_EQ(readAll(pc), kPcEmulator);
    EXPECT_EQ(readAll(other), (Bytes{'h', 'o', 'l', 'a'}));

    const Outcome back = runCli({"--a-arcade", arcade});
    EXPECT_EQ(back.status, 0);
    EXPECT_EQ(readAll(arcade), kArcade + Bytes({1, 2, 3}));
}

TEST_F(CommandLine, leavesAReadOnlyFileAndSaysSo)
{
    ::chmod(arcade.c_str(), 0444);
    const Outcome o = runCli({"--a-emulador", arcade});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, arcade + ": Error #  75\nError de acceso a la ruta o el archivo\n"
                     "Convertidos: 0, ya en ese formato: 0, no reconocidos: 0, fallidos: 1\n");
    EXPECT_EQ(readAll(arcade), kArcade + Bytes({1, 2, 3}));
}

TEST_F(CommandLine, takesFileNamesAfterDoubleDash)
{
    const std::string dashed = folder.write("-raro.dat", kArcade).string();
    const Outcome o = runCli({"--a-emulador", "--", dashed});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(readAll(dashed), kPcEmulator);
}

// Many files on many workers: lines come in the order the files were named, each file
// once, whatever order the workers finish in.
TEST_F(CommandLine, reportsInTheOrderNamedWithManyWorkers)
{
    std::vector<std::string> words{"-j", "16", "--a-emulador"};
    std::string expected;
    for (int i = 299; i >= 0; --i) {
        const std::string name = "f" + std::to_string(i) + ".dat";
        const bool arcadeFile = i % 2 == 0;
        words.push_back(folder.write(name, arcadeFile ? kArcade : kPcEmulator).string());
        expected += words.back() + (arcadeFile ? "\tBGA, Arcade -> BGA, Emulador Pc\n"
                                               : "\tBGA, Emulador Pc (ya estaba en ese formato)\n");
    }
    words.push_back(words[3]);
    words.push_back((folder.path() / "." / "f0.dat").string());

    const Outcome o = runCli(words);
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, expected);
    EXPECT_EQ(o.err, "Convertidos: 150, ya en ese formato: 150, no reconocidos: 0, fallidos: 0\n");
}

TEST_F(CommandLine, countsEachKindOfOutcomeInTheSummary)
{
    const std::string arcade2 = folder.write("arcade2.dat", kArcade).string();
    const std::string missing = (folder / "falta.dat").string();
    const Outcome o = runCli({"--a-emulador", arcade, missing, pc, other, arcade2});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, missing + ": Error #  53\nNo se encontró el archivo\n"
                     "Convertidos: 2, ya en ese formato: 1, no reconocidos: 1, fallidos: 1\n");
}

TEST_F(CommandLine, oneFailingFileAmongManyLeavesTheOthersConverted)
{
    std::vector<std::string> words{"-j", "8", "--a-emulador"};
    for (int i = 0; i < 40; ++i)
        words.push_back(folder.write("f" + std::to_string(i) + ".dat", kArcade).string());
    const std::string readOnly = words[23];
    ::chmod(readOnly.c_str(), 0444);

    const Outcome o = runCli(words);
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, readOnly + ": Error #  75\nError de acceso a la ruta o el archivo\n"
                                "Convertidos: 39, ya en ese formato: 0, no reconocidos: 0, fallidos: 1\n");
    for (std::size_t i = 3; i < words.size(); ++i)
        EXPECT_EQ(readAll(words[i]), words[i] == readOnly ? kArcade : kPcEmulator) << words[i];
}

TEST_F(CommandLine, simulatingSaysWhatWouldChangeAndWritesNothing)
{
    const Outcome o = runCli({"--simular", "--a-emulador", arcade, pc, other});
    EXPECT_EQ(o.status, 1) << "an unrecognised file could not be converted";
    EXPECT_EQ(o.out, arcade + "\tBGA, Arcade -> BGA, Emulador Pc (se convertiría)\n" + pc +
                         "\tBGA, Emulador Pc (ya estaba en ese formato)\n" + other +
                         "\tOtro. Desconocido (no se convierte)\n");
    EXPECT_EQ(o.err, "Se convertirían: 1, ya en ese formato: 1, no reconocidos: 1, fallidos: 0"
                     " (simulación: no se escribió nada)\n");
    EXPECT_EQ(readAll(arcade), kArcade + Bytes({1, 2, 3}));
}

// An exception other than Failure that escapes the core for one file (memory running
// out here) is reported for that file with its number, and the batch goes on: the
// terminal tool does not end on it.
TEST_F(CommandLine, reportsAnUnexpectedFailureWithItsNumberAndGoesOn)
{
    FakeCalls calls;
    calls.plan([](const Record &call, std::size_t index) {
        if (call.call == Call::Open && index == 0)
            throw std::bad_alloc();
        return Twist{};
    });
    const Outcome o = runCli({arcade, pc});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, arcade + ": Error #  7\nMemoria insuficiente\n");
    EXPECT_EQ(o.out, pc + "\tBGA, Emulador Pc\n");
}

// A walk takes ".dat" files in any case, in name order, and follows no symbolic link:
// not the one that leads back to the top (it would never end), not the one to a file.
TEST(Walk, takesDatFilesInNameOrderAndFollowsNoLink)
{
    const TempFolder folder;
    const std::filesystem::path top = folder / "top";
    std::filesystem::create_directories(top / "sub");
    folder.write("top/B.DAT", kArcade);
    folder.write("top/a.dat", kArcade);
    folder.write("top/sub/c.Dat", kArcade);
    // The walk names what it finds with the system's own separator.
    const std::string upper = (top / "B.DAT").string();
    const std::string lower = (top / "a.dat").string();
    const std::string inner = (top / "sub" / "c.Dat").string();
    folder.write("top/notas.txt", kArcade);
    // Windows lets only privileged accounts make links (and Wine cannot): the walk's
    // order and filter are still checked where no link can be made.
    std::error_code noLinks;
    std::filesystem::create_directory_symlink(top, top / "sub" / "vuelta", noLinks);
    std::filesystem::create_symlink(top / "a.dat", top / "enlace.dat", noLinks);
#ifndef _WIN32
    ASSERT_FALSE(noLinks) << noLinks.message();
#endif

    const Outcome o = runCli({"-r", "--a-emulador", top.string()});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(o.out, upper + "\tBGA, Arcade -> BGA, Emulador Pc\n" + lower +
                         "\tBGA, Arcade -> BGA, Emulador Pc\n" + inner + "\tBGA, Arcade -> BGA, Emulador Pc\n");
    EXPECT_EQ(readAll(top / "notas.txt"), kArcade);
}

struct UsageCase {
    const char *name;
    std::vector<std::string> words;
    int status;
    std::string outStart;
    std::string errStart;
};

// Named, so GoogleTest never prints the struct's raw bytes, padding included.
void PrintTo(const UsageCase &c, std::ostream *out) { *out << c.name; }

class Usage : public testing::TestWithParam<UsageCase> {};

TEST_P(Usage, answersWithTheRightStatusAndStream)
{
    const Outcome o = runCli(GetParam().words);
    EXPECT_EQ(o.status, GetParam().status);
    EXPECT_EQ(o.out.substr(0, GetParam().outStart.size()), GetParam().outStart);
    EXPECT_EQ(o.err.substr(0, GetParam().errStart.size()), GetParam().errStart);
}

INSTANTIATE_TEST_SUITE_P(
    Words, Usage,
    testing::Values(UsageCase{"help", {"--help"}, 0, "Uso: vuelco-cli", ""},
                    UsageCase{"windowsHelp", {"a.dat", "/?"}, 0, "Uso: vuelco-cli", ""},
                    UsageCase{"slashQuestionAsAFile", {"--", "/?"}, 1, "", "/?: Error #  5"},
                    UsageCase{"version", {"--version"}, 0, "vuelco-cli " VUELCO_VERSION "\n", ""},
                    UsageCase{"nothing", {}, 2, "", "vuelco-cli: falta el archivo\nUso:"},
                    UsageCase{"targetWithoutFile", {"--a-arcade"}, 2, "", "vuelco-cli: falta el archivo"},
                    UsageCase{"unknownOption", {"--rapido", "a.dat"}, 2, "", "vuelco-cli: opción desconocida: --rapido"},
                    UsageCase{"noWorkers", {"-j", "0", "a.dat"}, 2, "", "vuelco-cli: -j pide un número"},
                    UsageCase{"simulateWithoutTarget", {"-n", "a.dat"}, 2, "", "vuelco-cli: --simular necesita"},
                    UsageCase{"twoTargets", {"--a-arcade", "--a-emulador", "a.dat"}, 2, "",
                              "vuelco-cli: no se puede convertir a los dos formatos a la vez"}),
    testing::PrintToStringParamName());

} // namespace
