// Taking a batch back from its record: exactly the files it converted, only while each
// still holds what the batch wrote, and never with bytes taken from the record.

#include "cli_runs.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>

namespace {

namespace fs = std::filesystem;
using vuelco::Layout;

const Bytes kArcade = fileWith(Layout::Arcade, bodyOf(5));
const Bytes kPcEmulator = fileWith(Layout::PcEmulator, bodyOf(5));

// Every file of a folder and its bytes.
std::map<fs::path, Bytes> contentsOf(const fs::path &folder)
{
    std::map<fs::path, Bytes> contents;
    for (const fs::directory_entry &entry : fs::directory_iterator(folder))
        contents[entry.path()] = readAll(entry.path());
    return contents;
}

class Undo : public testing::Test {
protected:
    TempFolder records;
    TempFolder folder;
    std::string arcade = folder.write("a.dat", kArcade).string();
    std::string record = (records / "r.json").string();

    // Converts a to the PC-emulator layout, its record in record.
    void convert()
    {
        ASSERT_EQ(runCli({"--a-emulador", "--registro", record, arcade}).status, 0);
        ASSERT_EQ(readAll(arcade), kPcEmulator);
    }
};

// The case the record is for: a mixed folder converted, then taken back, is byte for byte
// where it was, and the files that were in the layout already are not touched.
TEST_F(Undo, takesAMixedFolderBackExactly)
{
    folder.write("b.dat", kPcEmulator);
    folder.write("c.dat", fileWith(Layout::Arcade, {}, kExtremeGroups));
    folder.write("otro.dat", Bytes{'h', 'o', 'l', 'a'});
    const std::map<fs::path, Bytes> before = contentsOf(folder.path());
    ASSERT_EQ(runCli({"-r", "--a-emulador", "--registro", record, folder.path().string()}).status, 1);

    const CliRun undone = runCli({"--deshacer", record});
    EXPECT_EQ(undone.status, 0) << undone.err;
    EXPECT_EQ(undone.out, arcade + "\tBGA, Emulador Pc -> BGA, Arcade (deshecho)\n" + (folder / "c.dat").string() +
                              "\tBGA, Emulador Pc -> BGA, Arcade (deshecho)\n");
    EXPECT_EQ(contentsOf(folder.path()), before);
}

struct Since {
    const char *name;
    std::function<void(const std::string &path)> change;
    std::string line;  // after the path
    Bytes after;       // the file's bytes after the undo; none when no file
    int status;
};

void PrintTo(const Since &row, std::ostream *out) { *out << row.name; }

class UndoOutcome : public Undo, public testing::WithParamInterface<Since> {};

// Each file gets one line saying what became of it, and only the file that still holds
// exactly what the batch wrote is converted back.
TEST_P(UndoOutcome, convertsBackOnlyWhatTheBatchLeft)
{
    convert();
    GetParam().change(arcade);
    const CliRun undone = runCli({"--deshacer", record});
    EXPECT_EQ(undone.out, arcade + "\t" + GetParam().line + "\n");
    EXPECT_EQ(undone.status, GetParam().status);
    EXPECT_EQ(readAll(arcade), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, UndoOutcome,
    testing::Values(Since{"untouched", [](const std::string &) {}, "BGA, Emulador Pc -> BGA, Arcade (deshecho)",
                          kArcade, 0},
                    Since{"convertedBackByHand", [](const std::string &path) { writeFile(path, kArcade); },
                          "BGA, Arcade (ya estaba deshecho)", kArcade, 0},
                    Since{"changed",
                          [](const std::string &path) {
                              writeFile(path, fileWith(Layout::PcEmulator, bodyOf(5), kOtherGroups));
                          },
                          "cambió desde entonces (no se deshace)",
                          fileWith(Layout::PcEmulator, bodyOf(5), kOtherGroups), 1},
                    Since{"replaced",
                          [](const std::string &path) {
                              writeFile(path + ".nuevo", kPcEmulator);
                              fs::rename(path + ".nuevo", path);
                          },
                          "ahora hay otro archivo en su ruta (no se deshace)", kPcEmulator, 1},
                    Since{"deleted", [](const std::string &path) { fs::remove(path); },
                          "ya no está en su ruta (no se deshace)", {}, 1},
                    Since{"renamedAway", [](const std::string &path) { fs::rename(path, path + ".bak"); },
                          "ya no está en su ruta (no se deshace)", {}, 1}),
    testing::PrintToStringParamName());

// The undo's own record undoes the undo; an existing record file is never written over.
TEST_F(Undo, redoesFromTheUndosRecordAndKeepsRecordsItDidNotWrite)
{
    convert();
    const std::string undoRecord = (records / "deshacer.json").string();
    ASSERT_EQ(runCli({"--deshacer", record, "--registro", undoRecord}).status, 0);
    ASSERT_EQ(readAll(arcade), kArcade);
    EXPECT_EQ(runCli({"--json", "--deshacer", undoRecord}).status, 0);
    EXPECT_EQ(readAll(arcade), kPcEmulator);

    const Bytes kept = readAll(record);
    const CliRun refused = runCli({"--a-arcade", "--registro", record, arcade});
    EXPECT_EQ(refused.status, 3);
    EXPECT_EQ(refused.err, "vuelco-cli: el registro " + record +
                               " ya existe, y no se escribe encima; no se tocó ningún archivo\n");
    EXPECT_EQ(readAll(arcade), kPcEmulator);
    EXPECT_EQ(readAll(record), kept);
}

// -n says what would be undone, and writes nothing.
TEST_F(Undo, simulatesWithoutWriting)
{
    convert();
    const CliRun said = runCli({"-n", "--deshacer", record});
    EXPECT_EQ(said.out, arcade + "\tBGA, Emulador Pc -> BGA, Arcade (se desharía)\n");
    EXPECT_EQ(said.status, 0);
    EXPECT_EQ(readAll(arcade), kPcEmulator);
}

// A record is data from anywhere: a line cut short, one that is no conversion of Vuelco's
// and plain garbage are each said once with their number, and the rest is undone. A
// forged line never gets its bytes written, whatever file it names.
TEST_F(Undo, refusesLinesThatAreNotVuelcosAndUndoesTheRest)
{
    convert();
    const std::string pc = folder.write("b.dat", kPcEmulator).string();
    const Bytes written = readAll(record);
    std::string lines(written.begin(), written.end());
    lines.resize(lines.find('\n') + 1);
    std::string forged = lines;
    forged.replace(forged.find("a.dat"), 5, "b.dat");
    forged.replace(forged.find(R"("cabecera_despues":"52455300030000005)"), 36,
                   R"("cabecera_despues":"52455300030000009)");
    std::string cut = lines.substr(0, lines.size() / 2);
    const CliRun undone = runCli({"--deshacer", "-"}, "basura\n" + forged + lines + cut);
    EXPECT_EQ(undone.status, 1);
    EXPECT_EQ(undone.out, arcade + "\tBGA, Emulador Pc -> BGA, Arcade (deshecho)\n");
    EXPECT_EQ(undone.err, "vuelco-cli: -, línea 1: no es una línea de Vuelco completa (no se deshace)\n"
                          "vuelco-cli: -, línea 2: no es una línea de Vuelco completa (no se deshace)\n"
                          "vuelco-cli: -, línea 4: no es una línea de Vuelco completa (no se deshace)\n"
                          "Deshechos: 1, ya deshechos: 0, cambiados desde entonces: 0, no encontrados: 0, otro "
                          "archivo en su ruta: 0, fallidos: 0, líneas que no son de Vuelco: 3\n");
    EXPECT_EQ(readAll(arcade), kArcade);
    EXPECT_EQ(readAll(pc), kPcEmulator);
}

} // namespace
