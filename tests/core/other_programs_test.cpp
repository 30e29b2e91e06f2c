// Other programs touch the file between the load and the conversion. A header that is no
// longer the one loaded is left alone, with nothing written; a file that another program
// merely holds open is converted as usual; one that another Vuelco is converting is not
// touched. The command line's one pass has no load: it converts what is there, or nothing.

#include "conversion_paths.h"
#include "core/header_probe.h"
#include "runtime/binary_file.h"
#include "runtime/failure.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#ifdef _WIN32
#include "runtime/win32_calls.h"
#else
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace vuelco {
namespace {

namespace fs = std::filesystem;

const Groups kGroups{{0x11, 0x22, 0x33, 0x44}, {0x55, 0x66, 0x77, 0x88}};
const Groups kOtherGroups{{0x99, 0xAA, 0xBB, 0xCC}, {0xDD, 0xEE, 0xFF, 0x00}};

Bytes fileWith(const Header &header, std::size_t bodySize = 64)
{
    Bytes bytes(header.begin(), header.end());
    for (std::size_t i = 0; i < bodySize; ++i)
        bytes.push_back(static_cast<std::uint8_t>(i + 1));
    return bytes;
}

#ifdef _WIN32
// Windows has no fork(). Nothing of this process holds the file between the load and the
// conversion, so to the conversion the work done here is another program's.
void inAnotherProcess(const std::function<void()> &work) { work(); }
#else
// Runs what another program does in a process of its own and waits for it.
void inAnotherProcess(const std::function<void()> &work)
{
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        try {
            work();
        } catch (...) {
            _exit(1);
        }
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}
#endif

class OtherPrograms : public ::testing::Test {
protected:
    void SetUp() override
    {
        mPath = mFolder / "vuelco.dat";
        writeFile(mPath, fileWith(composeHeader(Layout::Arcade, kGroups)));
        const ProbeResult probe = probeHeader(mPath);
        ASSERT_EQ(probe.layout, Layout::Arcade);
        mLoaded = probe.groups;
    }

    TempFolder mTemp;
    const fs::path &mFolder = mTemp.path();
    fs::path mPath;
    Groups mLoaded;
};

// What the one pass makes of the file as the other program left it.
enum class OnePass : std::uint8_t { WritesNothing, ConvertsWhatIsThere };

struct Interference {
    const char *name;
    std::function<void(const fs::path &)> act;
    OnePass onePass;
};

void PrintTo(const Interference &row, std::ostream *out) { *out << row.name; }

class ChangedHeader : public OtherPrograms, public ::testing::WithParamInterface<Interference> {};

TEST_P(ChangedHeader, isLeftAloneWithNothingWritten)
{
    inAnotherProcess([this] { GetParam().act(mPath); });
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
    inAnotherProcess([this] { GetParam().act(mPath); });
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

INSTANTIATE_TEST_SUITE_P(
    Interferences, ChangedHeader,
    ::testing::Values(
        Interference{"truncatedToNothing", [](const fs::path &p) { fs::resize_file(p, 0); }, OnePass::WritesNothing},
        Interference{"truncatedInsideTheSignature", [](const fs::path &p) { fs::resize_file(p, 3); }, OnePass::WritesNothing},
        Interference{"truncatedInsideTheGroups", [](const fs::path &p) { fs::resize_file(p, 15); }, OnePass::WritesNothing},
        Interference{"replacedByRenameWithOtherGroups",
                     [](const fs::path &p) {
                         const fs::path other = p.parent_path() / "nuevo.tmp";
                         writeFile(other, fileWith(composeHeader(Layout::Arcade, kOtherGroups)));
                         fs::rename(other, p);
                     }, OnePass::ConvertsWhatIsThere},
        Interference{"replacedByRenameWithAnUnknownFile",
                     [](const fs::path &p) {
                         const fs::path other = p.parent_path() / "nuevo.tmp";
                         writeFile(other, Bytes(100, 0x20));
                         fs::rename(other, p);
                     }, OnePass::WritesNothing},
        Interference{"rewrittenInPlaceWithOtherGroups",
                     [](const fs::path &p) {
                         const Header header = composeHeader(Layout::Arcade, kOtherGroups);
                         std::fstream file(p, std::ios::binary | std::ios::in | std::ios::out);
                         file.write(reinterpret_cast<const char *>(header.data()), header.size());
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
    [](const ::testing::TestParamInfo<Interference> &row) { return std::string(row.param.name); });

class EitherPath : public OtherPrograms, public ::testing::WithParamInterface<ConversionPath> {
protected:
    bool convert() { return convertThrough(GetParam(), mPath, Layout::PcEmulator, mLoaded); }

    // While another Vuelco holds the file: reported as held (70), with nothing written.
    void expectLeftToTheOtherConversion()
    {
        const Bytes before = readAll(mPath);
        const auto modified = fs::last_write_time(mPath);

        try {
            EXPECT_FALSE(convert()) << "converted a file another conversion holds";
            ADD_FAILURE() << "no failure reported";
        } catch (const Failure &failure) {
            EXPECT_EQ(failure.number(), 70);
            EXPECT_EQ(failure.description(), "Otra conversión tiene el archivo en uso; no se escribió nada");
        }
        EXPECT_EQ(readAll(mPath), before);
        EXPECT_EQ(fs::last_write_time(mPath), modified);
    }
};

INSTANTIATE_TEST_SUITE_P(Paths, EitherPath, ::testing::Values(ConversionPath::Window, ConversionPath::CommandLine),
                         [](const ::testing::TestParamInfo<ConversionPath> &row) {
                             return std::string(nameOf(row.param));
                         });

// The rules only ever look at the header: a body cut short by another program is not a
// change of what was loaded, and the header is converted with the length left as it is.
TEST_P(EitherPath, aBodyCutShortStillConvertsAndKeepsTheNewLength)
{
    fs::resize_file(mPath, 20);
    ASSERT_TRUE(convert());
    EXPECT_EQ(readAll(mPath), Bytes(fileWith(composeHeader(Layout::PcEmulator, kGroups), 4)));
}

#ifndef _WIN32
TEST_P(EitherPath, aFileHeldOpenForWritingByAnotherProcessStillConverts)
{
    int ready[2];
    int finish[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(finish), 0);
    const pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        const int fd = open(mPath.c_str(), O_WRONLY | O_APPEND);
        char signal = fd >= 0 ? 'r' : 'x';
        if (write(ready[1], &signal, 1) != 1 || read(finish[0], &signal, 1) != 1)
            _exit(2);
        // Still writing after the conversion: the body grows, the header is not touched.
        const char more[] = "cola";
        _exit(write(fd, more, 4) == 4 ? 0 : 3);
    }
    char signal = 0;
    ASSERT_EQ(read(ready[0], &signal, 1), 1);
    ASSERT_EQ(signal, 'r');

    EXPECT_TRUE(convert());

    ASSERT_EQ(write(finish[1], "g", 1), 1);
    int status = 0;
    ASSERT_EQ(waitpid(holder, &status, 0), holder);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    for (const int fd : {ready[0], ready[1], finish[0], finish[1]})
        close(fd);

    Bytes expected = fileWith(composeHeader(Layout::PcEmulator, kGroups));
    expected.insert(expected.end(), {'c', 'o', 'l', 'a'});
    EXPECT_EQ(readAll(mPath), expected);
}

// Another Vuelco, the window or a batch, holds the file while converting it: it is
// waited for briefly, then the file is reported as held, with nothing written; once
// the other lets go, the conversion goes through.
TEST_P(EitherPath, aFileAnotherVuelcoIsConvertingIsLeftToIt)
{
    int ready[2];
    int finish[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(finish), 0);
    const pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        BinaryFile file = BinaryFile::openForUpdate(mPath);
        file.lockForConversion();
        char signal = 'r';
        _exit(write(ready[1], &signal, 1) == 1 && read(finish[0], &signal, 1) == 1 ? 0 : 2);
    }
    char signal = 0;
    ASSERT_EQ(read(ready[0], &signal, 1), 1);
    expectLeftToTheOtherConversion();

    ASSERT_EQ(write(finish[1], "g", 1), 1);
    int status = 0;
    ASSERT_EQ(waitpid(holder, &status, 0), holder);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    for (const int fd : {ready[0], ready[1], finish[0], finish[1]})
        close(fd);
    EXPECT_TRUE(convert());
}

#else
// Windows shares a file between handles only as each open allows: the other program's
// appending handle leaves reads and writes to others, and the conversion's open must
// leave them to it in turn, or one of the two opens is refused.
TEST_P(EitherPath, aFileHeldOpenForWritingByAnotherProcessStillConverts)
{
    std::ofstream other(mPath, std::ios::binary | std::ios::app);
    ASSERT_TRUE(other);

    EXPECT_TRUE(convert());

    // Still writing after the conversion: the body grows, the header is not touched.
    other << "cola";
    other.close();
    Bytes expected = fileWith(composeHeader(Layout::PcEmulator, kGroups));
    expected.insert(expected.end(), {'c', 'o', 'l', 'a'});
    EXPECT_EQ(readAll(mPath), expected);
}

// Another Vuelco in the middle of a conversion: hold_conversion_lock, built next to this
// test, holds the conversion lock on a file until its ready file is removed.
class LockHolder {
public:
    LockHolder(const fs::path &file, fs::path ready) : mReady(std::move(ready))
    {
        std::wstring self(MAX_PATH, L'\0');
        self.resize(GetModuleFileNameW(nullptr, self.data(), MAX_PATH));
        const fs::path helper = fs::path(self).parent_path() / "hold_conversion_lock.exe";
        std::wstring command = L"\"" + helper.native() + L"\" \"" + file.native() + L"\" \"" + mReady.native() + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessW(helper.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &mProcess))
            throw std::runtime_error("hold_conversion_lock did not start");
        CloseHandle(mProcess.hThread);
        while (!fs::exists(mReady) && WaitForSingleObject(mProcess.hProcess, 5) == WAIT_TIMEOUT) {
        }
    }
    LockHolder(const LockHolder &) = delete;
    LockHolder &operator=(const LockHolder &) = delete;
    ~LockHolder() { CloseHandle(mProcess.hProcess); }

    [[nodiscard]] bool holds() const { return fs::exists(mReady); }

    // Lets go, and tells how the holder ended (0: held the lock and let go).
    DWORD release()
    {
        fs::remove(mReady);
        WaitForSingleObject(mProcess.hProcess, INFINITE);
        DWORD code = 1;
        GetExitCodeProcess(mProcess.hProcess, &code);
        return code;
    }

private:
    fs::path mReady;
    PROCESS_INFORMATION mProcess{};
};

// Another Vuelco, the window or a batch, holds the file while converting it: it is
// waited for briefly, then the file is reported as held, with nothing written; once
// the other lets go, the conversion goes through.
TEST_P(EitherPath, aFileAnotherVuelcoIsConvertingIsLeftToIt)
{
    LockHolder holder(mPath, mFolder / "listo");
    ASSERT_TRUE(holder.holds());
    expectLeftToTheOtherConversion();

    EXPECT_EQ(holder.release(), 0U);
    EXPECT_TRUE(convert());
}
#endif

} // namespace
} // namespace vuelco
