#include "runtime/name_text.h"
#include "cli/run.h"

#include "cli_runs.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <sys/stat.h>

namespace {

using namespace vuelco::cli;
using vuelco::escapedName;
using vuelco::jsonString;
using vuelco::nameFromJson;

using Outcome = CliRun;

const Bytes kArcade = headerOf(vuelco::Layout::Arcade);
const Bytes kPcEmulator = headerOf(vuelco::Layout::PcEmulator);

class CommandLine : public testing::Test {
protected:
    TempFolder folder;
    std::string arcade = folder.write("arcade.dat", kArcade + Bytes{1, 2, 3}).string();
    std::string pc = folder.write("pc.dat", kPcEmulator).string();
    std::string other = folder.write("otro.dat", Bytes{'h', 'o', 'l', 'a'}).string();
};

// Every kind of outcome, as text: one line per name on standard output, each failure on
// one line of standard error with the window's wording for a read-only file, and the
// summary counting files, not names.
TEST_F(CommandLine, writesOneLinePerNameAndEachFailureOnOneLine)
{
    const std::string readOnly = folder.write("soloLectura.dat", kArcade).string();
    ::chmod(readOnly.c_str(), 0444);
    const std::string missing = (folder / "falta.dat").string();
    const std::string same = (folder / "duro.dat").string();
    std::filesystem::create_hard_link(arcade, same);

    const Outcome o = runCli({"--a-emulador", arcade, pc, other, missing, readOnly, same});
    EXPECT_EQ(o.status, 1);
    EXPECT_EQ(o.out, arcade + "\tBGA, Arcade -> BGA, Emulador Pc\n" + pc +
                         "\tBGA, Emulador Pc (ya estaba en ese formato)\n" + other +
                         "\tOtro. Desconocido (no se convierte)\n" + same + "\tes el mismo archivo que " + arcade +
                         " (se trata una sola vez)\n");
    EXPECT_EQ(o.err, missing + ": Error #  53: No se encontró el archivo\n" + readOnly +
                         ": Error #  75: No se puede escribir en el archivo. Verificar si tiene activado el 'Solo "
                         "Lectura'\nConvertidos: 1, ya en ese formato: 1, no reconocidos: 1, fallidos: 2, otros "
                         "nombres del mismo archivo: 1\n");
    EXPECT_EQ(readAll(arcade), kPcEmulator + Bytes({1, 2, 3}));
}

// For scripts: one JSON object a line, failures included, then the summary object.
TEST_F(CommandLine, writesOneJsonObjectPerNameAndTheSummary)
{
    const std::string missing = (folder / "falta.dat").string();
    const Outcome o = runCli({"--json", "--simular", "--a-emulador", arcade, missing});
    EXPECT_EQ(o.status, 1);
    const auto json = [](const std::string &name) { return jsonString(fileArgumentName(name)); };
    const std::string noUndo = R"(,"volumen":null,"archivo":null,"tamano":null,"cabecera_antes":null,)"
                                R"("cabecera_despues":null)";
    EXPECT_EQ(o.out, "{\"nombre\":" + json(arcade) +
                         ",\"resultado\":\"se_convertiria\",\"formato\":\"BGA, Arcade\",\"despues\":\"BGA, Emulador "
                         "Pc\",\"mismo_que\":null,\"error\":null,\"texto\":null,\"ruta\":" +
                         json(arcade) + noUndo + "}\n{\"nombre\":" + json(missing) +
                         ",\"resultado\":\"fallido\",\"formato\":null,\"despues\":null,\"mismo_que\":null,\"error\":"
                         "53,\"texto\":\"No se encontró el archivo\",\"ruta\":" +
                         json(missing) + noUndo +
                         "}\n{\"resumen\":{\"arcade\":0,\"emulador_pc\":0,"
                         "\"convertidos\":1,\"ya_en_ese_formato\":0,\"no_reconocidos\":0,\"fallidos\":1,\"mismo_"
                         "archivo\":0},\"simulacion\":true,\"interrumpido\":false,\"registro\":1}\n");
    EXPECT_EQ(o.err, "");
}

// A file that cannot be written still tells, in its record, the layout it was seen in.
TEST_F(CommandLine, aReadOnlyFileTellsItsLayoutInItsRecord)
{
    const std::string readOnly = folder.write("soloLectura.dat", kArcade).string();
    ::chmod(readOnly.c_str(), 0444);
    const Outcome o = runCli({"--json", "--a-emulador", readOnly});
    EXPECT_NE(o.out.find("\"resultado\":\"fallido\",\"formato\":\"BGA, Arcade\""), std::string::npos) << o.out;
}

TEST_F(CommandLine, takesFileNamesAfterDoubleDash)
{
    const std::string dashed = folder.write("-raro.dat", kArcade).string();
    const Outcome o = runCli({"--a-emulador", "--", dashed});
    EXPECT_EQ(o.status, 0);
    EXPECT_EQ(readAll(dashed), kPcEmulator);
}

struct Shown {
    const char *label;
    std::string name;
    std::string text;
    std::string json;
    bool anyByte;  // a name only Linux takes
};

void PrintTo(const Shown &row, std::ostream *out) { *out << row.label; }

class NameText : public testing::TestWithParam<Shown> {};

// No name can pass for two fields or two lines, in text or in JSON, and the bytes of one
// that is not UTF-8 can be told back; a terminal gets no control character to act on.
TEST_P(NameText, escapesWhatCouldForgeALineOrIsNoText)
{
    if (GetParam().anyByte && !kNamesAreBytes)
        GTEST_SKIP() << "no such name on this system";
    const auto name = fileArgumentName(GetParam().name);
    EXPECT_EQ(escapedName(name), GetParam().text);
    EXPECT_EQ(jsonString(name), GetParam().json);
    const std::string &json = GetParam().json;
    EXPECT_EQ(nameFromJson(std::string_view(json).substr(1, json.size() - 2)), name);
}

INSTANTIATE_TEST_SUITE_P(
    Names, NameText,
    testing::Values(Shown{"forgedLine", "x\tBGA, Arcade -> BGA, Emulador Pc\nforged.dat",
                          "x\\tBGA, Arcade -> BGA, Emulador Pc\\nforged.dat",
                          "\"x\\tBGA, Arcade -> BGA, Emulador Pc\\nforged.dat\"", false},
                    Shown{"quoteAndAccent", "a\"\xc3\xb1.dat", "a\"\xc3\xb1.dat", "\"a\\\"\xc3\xb1.dat\"", false},
                    Shown{"controls", "\x01\x7f\xc2\x9b.dat", "\\001\\177\\302\\233.dat",
                          "\"\\u0001\x7f\xc2\x9b.dat\"", false},
                    Shown{"backslash", "a\\b.dat", "a\\\\b.dat", "\"a\\\\b.dat\"", true},
                    Shown{"notUtf8", "\xff\xfe a\xf1o.dat", "\\377\\376 a\\361o.dat",
                          "\"\\udcff\\udcfe a\\udcf1o.dat\"", true}),
    testing::PrintToStringParamName());

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

// A wrong command line gets one line and a hint, never the whole help.
TEST_P(Usage, answersWithTheRightStatusAndStream)
{
    const Outcome o = runCli(GetParam().words);
    EXPECT_EQ(o.status, GetParam().status);
    EXPECT_EQ(o.out.substr(0, GetParam().outStart.size()), GetParam().outStart);
    EXPECT_EQ(o.err.substr(0, GetParam().errStart.size()), GetParam().errStart);
    EXPECT_EQ(o.err.find("Uso:"), std::string::npos);
    // Every line fits a terminal of 80 columns, characters counted, not bytes.
    std::istringstream lines(o.out);
    for (std::string line; std::getline(lines, line);)
        EXPECT_LE(std::count_if(line.begin(), line.end(), [](char c) { return (c & 0xC0) != 0x80; }), 79) << line;
}

INSTANTIATE_TEST_SUITE_P(
    Words, Usage,
    testing::Values(UsageCase{"help", {"--help"}, 0, "Uso: vuelco-cli", ""},
                    UsageCase{"windowsHelp", {"a.dat", "/?"}, 0, "Uso: vuelco-cli", ""},
                    // A name no Windows file can have: a pattern that matched nothing.
                    UsageCase{"slashQuestionAsAFile", {"--", "/?"}, 1, "",
                              kNamesAreBytes ? "/?: Error #  53: No se encontró el archivo\n"
                                             : "/?: Error #  53: Ningún archivo coincide con ese nombre\n"},
                    UsageCase{"version", {"--version"}, 0, "vuelco-cli " VUELCO_VERSION "\n", ""},
                    UsageCase{"nothing", {}, 2, "", "vuelco-cli: falta el archivo\nPruebe 'vuelco-cli --help'.\n"},
                    UsageCase{"targetWithoutFile", {"--a-arcade"}, 2, "", "vuelco-cli: falta el archivo"},
                    UsageCase{"unknownOption", {"--rapido", "a.dat"}, 2, "",
                              "vuelco-cli: opción desconocida: --rapido\nPruebe 'vuelco-cli --help'.\n"},
                    UsageCase{"noWorkers", {"-j", "0", "a.dat"}, 2, "", "vuelco-cli: -j pide un número"},
                    UsageCase{"simulateWithoutTarget", {"-n", "a.dat"}, 2, "", "vuelco-cli: --simular necesita"},
                    UsageCase{"twoTargets", {"--a-arcade", "--a-emulador", "a.dat"}, 2, "",
                              "vuelco-cli: no se puede convertir a los dos formatos a la vez"},
                    UsageCase{"recordWithoutConverting", {"--registro", "r.json", "a.dat"}, 2, "",
                              "vuelco-cli: --registro necesita"},
                    UsageCase{"undoAndTarget", {"--deshacer", "r.json", "--a-arcade"}, 2, "",
                              "vuelco-cli: --deshacer no se combina"},
                    UsageCase{"undoWithoutRecord", {"--deshacer"}, 2, "", "vuelco-cli: --deshacer necesita"},
                    UsageCase{"recordForgotten", {"--registro", "--a-arcade", "a.dat"}, 2, "",
                              "vuelco-cli: --registro necesita el nombre de un archivo"},
                    UsageCase{"unreadableRecord", {"--deshacer", "/no/hay/registro.json"}, 2, "",
                              "vuelco-cli: no se pudo leer el registro /no/hay/registro.json\n"}),
    testing::PrintToStringParamName());

} // namespace
