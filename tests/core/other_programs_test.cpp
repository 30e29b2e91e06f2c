// Other programs touch the file between the load and the conversion. A header that is no
// longer the one loaded is left alone, with nothing written; a file that another program
// merely holds open is converted as usual; one that another program keeps locked is not
// touched. The command line's one pass has no load: it converts what is there, or nothing.

#include "child_process.h"
#include "conversion_paths.h"
#include "runtime/binary_file.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>

namespace vuelco {
namespace {

namespace fs = std::filesystem;

const Bytes kBody = bodyOf(64);

class OtherPrograms : public ::testing::Test {
protected:
    void SetUp() override
    {
        writeFile(mPath, fileWith(Layout::Arcade, kBody));
        const ProbeResult probe = probeHeader(mPath);
        ASSERT_EQ(probe.layout, Layout::Arcade);
        mLoaded = probe.groups;
    }

    TempFolder mTemp;
    const fs::path mPath = mTemp / "vuelco.dat";
    Groups mLoaded;
};

// What the one pass makes of the file as the other program left it.
enum class OnePass : std::uint8_t { WritesNothing, ConvertsWhatIsThere };

// Another program's doing. Nothing of this process holds the file between the load and
// the conversion, so done here, it is to the conversion another program's.
struct Interference {
    const char *name;
    std::function<void(const fs::path &)> act;
    OnePass onePass;
};

void PrintTo(const Interference &row, std::ostream *out) { *out << row.name; }

class ChangedHeader : public OtherPrograms, public ::testing::WithParamInterface<Interference> {};

TEST_P(ChangedHeader, isLeftAloneWithNothingWritten)
{
    GetParam().act(mPath);
    const Bytes changed = readAll(mPath);
    const auto modified = fs::last_write_time(mPath);

    EXPECT_EQ(convertIfUnchanged(mPath, Layout::PcEmulator, mLoaded), ConversionOutcome::ChangedSinceLoaded);
    EXPECT_EQ(readAll(mPath), changed);
    EXPECT_EQ(fs::last_write_time(mPath), modified);
}

// The same interference before a one pass: a header it cannot convert gets nothing
// written, and one it can is converted whole, so that converting back gives the file
// exactly as the other program left it.
TEST_P(ChangedHeader, inOnePassIsConvertedAsItIsNowOrLeftAlone)
{
    GetParam().act(mPath);
    const Bytes changed = readAll(mPath);
    const auto modified = fs::last_write_time(mPath);

    const std::optional<Layout> found = convertInOnePass(mPath, Layout::PcEmulator);
    if (GetParam().onePass == OnePass::WritesNothing) {
        EXPECT_NE(found, Layout::Arcade);
        EXPECT_EQ(readAll(mPath), changed);
        EXPECT_EQ(fs::last_write_time(mPath), modified);
    } else {
        EXPECT_EQ(found, Layout::Arcade);
        EXPECT_EQ(probeHeader(mPath).layout, Layout::PcEmulator);
        EXPECT_EQ(convertInOnePass(mPath, Layout::Arcade), Layout::PcEmulator);
        EXPECT_EQ(readAll(mPath), changed);
    }
}

// Puts a file with these bytes in the place of p by rename.
void replaceByRename(const fs::path &p, const Bytes &bytes)
{
    const fs::path other = p.parent_path() / "nuevo.tmp";
    writeFile(other, bytes);
    fs::rename(other, p);
}

INSTANTIATE_TEST_SUITE_P(
    Interferences, ChangedHeader,
    ::testing::Values(
        Interference{"truncatedToNothing", [](const fs::path &p) { fs::resize_file(p, 0); }, OnePass::WritesNothing},
        Interference{"truncatedInsideTheSignature", [](const fs::path &p) { fs::resize_file(p, 3); }, OnePass::WritesNothing},
        Interference{"truncatedInsideTheGroups", [](const fs::path &p) { fs::resize_file(p, 15); }, OnePass::WritesNothing},
        Interference{"replacedByRenameWithOtherGroups",
                     [](const fs::path &p) { replaceByRename(p, fileWith(Layout::Arcade, kBody, kOtherGroups)); },
                     OnePass::ConvertsWhatIsThere},
        Interference{"replacedByRenameWithAnUnknownFile", [](const fs::path &p) { replaceByRename(p, Bytes(100, 0x20)); },
                     OnePass::WritesNothing},
        Interference{"rewrittenInPlaceWithOtherGroups",
                     [](const fs::path &p) {
                         const Bytes header = headerOf(Layout::Arcade, kOtherGroups);
                         std::fstream file(p, std::ios::binary | std::ios::in | std::ios::out);
                         file.write(reinterpret_cast<const char *>(header.data()), static_cast<std::streamsize>(header.size()));
                     }, OnePass::ConvertsWhatIsThere},
        Interference{"alreadyConvertedByAnotherProcess",
                     [](const fs::path &p) {
                         if (convertIfUnchanged(p, Layout::PcEmulator, kGroups) != ConversionOutcome::Converted)
                             throw std::runtime_error("the other conversion failed");
                     }, OnePass::WritesNothing},
        Interference{"oneGroupByteChanged",
                     [](const fs::path &p) {
                         std::fstream file(p, std::ios::binary | std::ios::in | std::ios::out);
                         file.seekp(15);
                         file.put('\x01');
                     }, OnePass::ConvertsWhatIsThere}),
    ::testing::PrintToStringParamName());

class EitherPath : public OtherPrograms, public ::testing::WithParamInterface<ConversionPath> {
protected:
    bool convert() { return convertThrough(GetParam(), mPath, Layout::PcEmulator, mLoaded); }
};

INSTANTIATE_TEST_SUITE_P(Paths, EitherPath, ::testing::Values(ConversionPath::Window, ConversionPath::CommandLine),
                         ::testing::PrintToStringParamName());

// The rules only ever look at the header: a body cut short by another program is not a
// change of what was loaded, and the header is converted with the length left as it is.
TEST_P(EitherPath, aBodyCutShortStillConvertsAndKeepsTheNewLength)
{
    fs::resize_file(mPath, 20);
    ASSERT_TRUE(convert());
    EXPECT_EQ(readAll(mPath), fileWith(Layout::PcEmulator, bodyOf(4)));
}

// Another program holds the file open, appending to it (hold_file, built next to this
// test). On Windows a file is shared between handles only as each open allows: the
// conversion's open must leave reads and writes to the other program, or one of the two
// opens is refused.
TEST_P(EitherPath, aFileHeldOpenForWritingByAnotherProcessStillConverts)
{
    ChildProcess holder(testProgram("hold_file"), {"append", mPath});
    ASSERT_EQ(holder.readByte(), 'r');

    EXPECT_TRUE(convert());

    // Still writing after the conversion: the body grows, the header is not touched.
    holder.closeInput();
    EXPECT_EQ(holder.wait(), 0);
    EXPECT_EQ(readAll(mPath), fileWith(Layout::PcEmulator, kBody + Bytes{'c', 'o', 'l', 'a'}));
}

// Whether convert() converted, and only once letGo() had let go of a lock, which a thread
// of its own does after held.
bool convertsOnceLetGo(std::chrono::milliseconds held, const std::function<void()> &letGo,
                       const std::function<bool()> &convert)
{
    const auto start = std::chrono::steady_clock::now();
    const std::jthread letter([&] {
        std::this_thread::sleep_for(held);
        letGo();
    });
    return convert() && std::chrono::steady_clock::now() - start >= held;
}

// Another program holds the conversion lock (hold_file lock): a Vuelco converting the
// file, or any program that locks it. The conversion waits for it as long as a slow medium
// may take to flush, and goes through once the other lets go.
TEST_P(EitherPath, aLockLetGoWithinTheWaitIsWaitedFor)
{
    ChildProcess holder(testProgram("hold_file"), {"lock", mPath});
    ASSERT_EQ(holder.readByte(), 'r');
    EXPECT_TRUE(convertsOnceLetGo(std::chrono::milliseconds(800), [&] { holder.closeInput(); }, [&] { return convert(); }));
}

// Held past the wait, the file is left alone; the message names no particular program,
// since any program's lock looks the same.
TEST_F(OtherPrograms, aLockHeldPastTheWaitLeavesTheFileAlone)
{
    ChildProcess holder(testProgram("hold_file"), {"lock", mPath});
    ASSERT_EQ(holder.readByte(), 'r');
    const Bytes before = readAll(mPath);
    const auto modified = fs::last_write_time(mPath);

    EXPECT_EQ(thrownBy([&] { (void)convertIfUnchanged(mPath, Layout::PcEmulator, mLoaded); }),
              Thrown(70, "Otro programa tiene el archivo bloqueado; no se escribió nada", mPath));
    EXPECT_EQ(readAll(mPath), before);
    EXPECT_EQ(fs::last_write_time(mPath), modified);
}

// The lock belongs to the open file, not to the process: two conversions in one process
// (the workers of a batch) exclude each other too.
TEST_F(OtherPrograms, twoOpensOfOneFileInOneProcessExcludeEachOther)
{
    BinaryFile first = BinaryFile::openForUpdate(mPath);
    first.lockForConversion();
    EXPECT_TRUE(convertsOnceLetGo(std::chrono::milliseconds(300), [&] { first.close(); }, [&] {
        return convertIfUnchanged(mPath, Layout::PcEmulator, mLoaded) == ConversionOutcome::Converted;
    }));
}

} // namespace
} // namespace vuelco
