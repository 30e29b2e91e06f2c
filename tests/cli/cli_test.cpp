#include "cli/run.h"

#include "temp_folder.h"

#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

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
    std::string arcade = folder.write("arcade.dat", arcadeHeader() + Bytes{1, 2, 3}).string();
    std::string pc = folder.write("pc.dat", pcEmulatorHeader()).string();
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
    EXPECT_EQ(readAll(arcade), pcEmulatorHeader() + Bytes({1, 2, 3}));
    EXPECT_EQ(readAll(pc), pcEmulatorHeader());
    EXPECT_EQ(readAll(other), (Bytes{'h', 'o', 'l', 'a'}));

    const Outcome back = runCli({"--a-arcade", arcade});
    EXPECT_EQ(back.status, 0);
    EXPECT_EQ(readAll(arcade), arcadeHeader() + Bytes({1, 2, 3}));
}

TEST_F(CommandLine, leavesAReadOnlyFileAndSaysSo)
{
    ::chmod(arcade.c_str(), 0444);
    const Outcome o = runCli({"--a-emulador", arcade});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.err, arcade + ": Error #  75\nError de acceso a la ruta o el archivo\n");
    EXPECT_EQ(readAll(arcade), arcadeHeader() + Bytes({1, 2, 3}));
}

TEST_F(CommandLine, takesFileNamesAfterDoubleDash)
{
    const std::string dashed = folder.write("-raro.dat", arcadeHeader()).string();
    const Outcome o = runCli({"--a-emulador", "--", dashed});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(readAll(dashed), pcEmulatorHeader());
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
                    UsageCase{"version", {"--version"}, 0, "vuelco-cli 1.00\n", ""},
                    UsageCase{"nothing", {}, 2, "", "vuelco-cli: falta el archivo\nUso:"},
                    UsageCase{"targetWithoutFile", {"--a-arcade"}, 2, "", "vuelco-cli: falta el archivo"},
                    UsageCase{"unknownOption", {"--rapido", "a.dat"}, 2, "", "vuelco-cli: opción desconocida: --rapido"},
                    UsageCase{"twoTargets", {"--a-arcade", "--a-emulador", "a.dat"}, 2, "",
                              "vuelco-cli: no se puede convertir a los dos formatos a la vez"}),
    [](const testing::TestParamInfo<UsageCase> &param) { return std::string(param.param.name); });

} // namespace
