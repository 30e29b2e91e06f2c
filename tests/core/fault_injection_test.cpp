// Every system call of a conversion, the window's (a probe, then the conversion) and the
// command line's (one pass), is made, in turn, to fail, to be interrupted or to fall
// short. Whatever happens, the file keeps its old header or gets the new one whole,
// nothing else of it changes, every descriptor opened is closed, and a failure is never
// reported as a conversion.

#include "conversion_paths.h"
#include "system_call_faults.h"
#include "temp_folder.h"
#include "words/failure_words.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace vuelco {
namespace {

namespace fs = std::filesystem;

const Bytes kBody = bodyOf(300);
const Bytes kBefore = fileWith(Layout::Arcade, kBody, kExtremeGroups);
const Bytes kAfter = fileWith(Layout::PcEmulator, kBody, kExtremeGroups);

enum class Ending { Converted, Changed, Failed };

struct RunResult {
    Ending ending = Ending::Failed;
    Thrown thrown;  // when it failed
};

class FaultInjection : public ::testing::Test {
protected:
    void put(const Bytes &bytes) { writeFile(mPath, bytes); }
    Bytes contents() { return readAll(mPath); }

    // Converts the arcade file to the other layout the way given, as the window (after
    // its load) and the terminal do it, with plan deciding each call's twist.
    RunResult convertWith(ConversionPath way, FakeCalls::Plan plan = {})
    {
        mCalls.emplace();
        mCalls->plan(std::move(plan));
        RunResult result;
        result.thrown = thrownBy([&] {
            const ProbeResult loaded =
                way == ConversionPath::Window ? probeHeader(mPath) : ProbeResult{Layout::Arcade, kExtremeGroups};
            ASSERT_EQ(loaded.layout, Layout::Arcade) << "the probe did not recognise the file";
            EXPECT_EQ(loaded.groups, kExtremeGroups);
            const bool converted = convertThrough(way, mPath, Layout::PcEmulator, loaded.groups);
            result.ending = converted ? Ending::Converted : Ending::Changed;
        });
        return result;
    }

    // Plans the one fault at call faultAt (counted from 0 over the whole run) and then,
    // if given, another on the call right after it.
    FakeCalls::Plan faultOn(std::size_t faultAt, Fault fault, Fault then = Fault::None)
    {
        mApplied = false;
        return [this, faultAt, fault, then](const Record &call, std::size_t index) {
            if (index == faultAt) {
                mApplied = fault != Fault::Short || call.size > 1;
                return twistFor(fault, call);
            }
            if (index == faultAt + 1)
                return twistFor(then, call);
            return Twist{};
        };
    }

    // Where the first call of this kind comes in a clean conversion the way given.
    std::size_t firstCleanCall(ConversionPath way, Call call)
    {
        put(kBefore);
        EXPECT_EQ(convertWith(way).ending, Ending::Converted);
        const auto found = std::find_if(trace().begin(), trace().end(),
                                        [call](const Record &record) { return record.call == call; });
        EXPECT_NE(found, trace().end());
        return static_cast<std::size_t>(found - trace().begin());
    }

    [[nodiscard]] const std::vector<Record> &trace() const { return mCalls->trace(); }

    TempFolder mTemp;
    const fs::path mPath = mTemp / "cabecera.dat";
    // The last run's calls, and whether its fault could be applied.
    std::optional<FakeCalls> mCalls;
    bool mApplied = false;
};

struct FaultCase {
    Fault fault;
    const char *name;
    // For a failing call: the number the user must see, with its standard description.
    std::int32_t number;
};

// Named, so that GoogleTest does not print the padding bytes of the row.
void PrintTo(const FaultCase &row, std::ostream *out) { *out << row.name; }

// Only Linux interrupts calls.
const std::vector<FaultCase> kFaultCases{
    {Fault::DeviceIo, "DeviceIo", 57},
    {Fault::DiskFull, "DiskFull", 61},
    {Fault::Interrupted, "Interrupted", 0},
    {Fault::Short, "Short", 0},
};

class EveryCall : public FaultInjection,
                  public ::testing::WithParamInterface<std::tuple<ConversionPath, FaultCase>> {};

TEST_P(EveryCall, leavesTheOldOrTheNewHeaderWholeAndClosesTheFile)
{
    const auto &[way, c] = GetParam();
    if (c.fault == Fault::Interrupted && !canBeInterrupted(Call::Open))
        GTEST_SKIP() << "this system never interrupts a call";
    put(kBefore);
    ASSERT_EQ(convertWith(way).ending, Ending::Converted);
    const std::vector<Record> cleanTrace = trace();

    std::size_t faulted = 0;
    for (std::size_t at = 0; at < cleanTrace.size(); ++at) {
        const Call call = cleanTrace[at].call;
        if ((c.fault == Fault::Short && !canFallShort(call)) ||
            (c.fault == Fault::Interrupted && !canBeInterrupted(call)))
            continue;
        SCOPED_TRACE(std::string(c.name) + " on call " + std::to_string(at) + " (" + nameOf(call) + ")");

        put(kBefore);
        const RunResult result = convertWith(way, faultOn(at, c.fault));
        const Bytes now = contents();
        if (!mApplied)
            continue;

        ++faulted;
        EXPECT_EQ(mCalls->openDescriptors(), 0) << "a descriptor was left open";
        EXPECT_TRUE(now == kBefore || now == kAfter) << "the header is neither the old one nor the new one";
        if (c.fault == Fault::Interrupted || c.fault == Fault::Short) {
            EXPECT_EQ(result.ending, Ending::Converted) << "retried calls must not be reported";
            EXPECT_EQ(now, kAfter);
            // An interrupted close has released the descriptor on Linux: asking again could
            // close one opened meanwhile, so only the other calls are repeated.
            if (call != Call::Close) {
                EXPECT_GT(trace().size(), cleanTrace.size()) << "the call was not asked again";
            }
        } else if (result.ending == Ending::Converted && failureGoesUnnoticed(cleanTrace, at)) {
            EXPECT_EQ(now, kAfter);
        } else {
            ASSERT_EQ(result.ending, Ending::Failed) << "a failed call was reported as success";
            EXPECT_EQ(result.thrown, Thrown(static_cast<FailureNumber>(c.number), mPath));
            // Only a close after the flush comes too late to take the new header back.
            if (at != cleanTrace.size() - 1) {
                EXPECT_EQ(now, kBefore);
            }
        }
    }
    EXPECT_GT(faulted, 0U);
}

INSTANTIATE_TEST_SUITE_P(Faults, EveryCall,
                         ::testing::Combine(::testing::Values(ConversionPath::Window, ConversionPath::CommandLine),
                                            ::testing::ValuesIn(kFaultCases)),
                         [](const ::testing::TestParamInfo<std::tuple<ConversionPath, FaultCase>> &row) {
                             return std::string(nameOf(std::get<0>(row.param))) + "_" +
                                    std::get<1>(row.param).name;
                         });

class EitherPath : public FaultInjection, public ::testing::WithParamInterface<ConversionPath> {};

INSTANTIATE_TEST_SUITE_P(Paths, EitherPath, ::testing::Values(ConversionPath::Window, ConversionPath::CommandLine),
                         ::testing::PrintToStringParamName());

// The order is what keeps the promises: the lock before the header is read (again, for
// the one pass), the write before the flush, the check that the path still names the
// file after the flush, and the close last.
TEST_P(EitherPath, aCleanConversionMakesItsCallsInOrder)
{
    put(kBefore);
    ASSERT_EQ(convertWith(GetParam()).ending, Ending::Converted);
    const std::vector<Call> &conversion = kSystemCalls.conversion;
    std::vector<Call> calls;
    std::ranges::transform(trace(), std::back_inserter(calls), [](const Record &record) { return record.call; });
    ASSERT_GE(calls.size(), conversion.size());
    EXPECT_EQ(std::vector(calls.end() - static_cast<std::ptrdiff_t>(conversion.size()), calls.end()), conversion);
    EXPECT_EQ(mCalls->count(Call::Open), mCalls->count(Call::Close));
}

// A write that falls short and whose rest then fails has put part of the new header on
// the disk: the old header is put back before the failure is reported.
TEST_P(EitherPath, aHeaderWriteCutOffHalfWayIsUndone)
{
    const std::size_t writeAt = firstCleanCall(GetParam(), Call::Write);
    put(kBefore);
    const RunResult result = convertWith(GetParam(), faultOn(writeAt, Fault::Short, Fault::DeviceIo));
    EXPECT_EQ(result.thrown, Thrown(FailureNumber::DeviceIo, mPath));
    EXPECT_EQ(contents(), kBefore);
    EXPECT_EQ(mCalls->openDescriptors(), 0);
}

// A full copy-on-write volume (XFS with reflinks, Btrfs) refuses to rewrite a shared block
// whole, and would refuse the undo the same way: nothing reached the file, so the full
// disk is told alone, with no undo and no alarm about a half-converted header.
TEST_P(EitherPath, aWriteRefusedWholeIsItsOwnCauseWithNothingToUndo)
{
    put(kBefore);
    const RunResult result = convertWith(GetParam(), [](const Record &call, std::size_t) {
        return call.call == Call::Write ? Twist{kSystemCalls.diskFull} : Twist{};
    });
    EXPECT_EQ(result.thrown, Thrown(FailureNumber::DiskFull, mPath));
    EXPECT_EQ(mCalls->count(Call::Write), 1U) << "an undo was tried";
    EXPECT_EQ(contents(), kBefore);
}

// Some network and FUSE file systems keep no locks: the conversion goes through unlocked.
TEST_P(EitherPath, aFileSystemWithoutLocksStillConverts)
{
    if (kSystemCalls.keepsNoLocks == 0)
        GTEST_SKIP() << "every file system here keeps locks";
    put(kBefore);
    const RunResult result = convertWith(GetParam(), [](const Record &call, std::size_t) {
        return call.call == Call::Lock ? Twist{kSystemCalls.keepsNoLocks} : Twist{};
    });
    EXPECT_EQ(result.ending, Ending::Converted);
    EXPECT_EQ(contents(), kAfter);
}

// The header is written, and then the undo fails too, as on a device that dies under the
// conversion (ext4 remounted read-only). What the user hears is told by what the file
// holds, read through an open of its own: the old header, the first failure alone; the new
// one, converted but not known to be on the device; a mix, that it may be half converted.
TEST_P(EitherPath, anUndoThatFailsTooIsWordedFromWhatTheFileHolds)
{
    struct UndoCase {
        std::vector<Fault> fromTheWrite;  // the fault of each call from the header's write on
        const Bytes &holds;
        std::int32_t number;
        std::string description;
    };
    const std::string deviceIo = words::standardDescription(FailureNumber::DeviceIo);
    const Bytes mixed = firstBytes(kAfter, 10) + Bytes(kBefore.begin() + 10, kBefore.end());
    const std::vector<UndoCase> cases{
        {{Fault::None, Fault::DeviceIo, Fault::None, Fault::DeviceIo}, kBefore, 57, deviceIo},
        {{Fault::None, Fault::DeviceIo, Fault::ReadOnlyDevice}, kAfter, 57,
         deviceIo + ". La cabecera nueva quedó escrita, pero no se pudo confirmar que haya llegado al disco. "
                    "Compruebe el archivo"},
        {{Fault::Short, Fault::DiskFull, Fault::ReadOnlyDevice}, mixed, 57,
         words::standardDescription(FailureNumber::DiskFull) + ". No se pudo volver a escribir la cabecera anterior (" +
             words::standardDescription(FailureNumber::ReadOnly) +
             "): la cabecera puede haber quedado a medio convertir. Compruebe el archivo"}};
    const std::size_t writeAt = firstCleanCall(GetParam(), Call::Write);
    for (const UndoCase &c : cases) {
        put(kBefore);
        const RunResult result = convertWith(GetParam(), [&](const Record &call, std::size_t index) {
            const std::size_t after = index - writeAt;
            return index >= writeAt && after < c.fromTheWrite.size() ? twistFor(c.fromTheWrite[after], call) : Twist{};
        });
        EXPECT_EQ(contents(), c.holds);
        EXPECT_EQ(result.thrown, Thrown(c.number, c.description, mPath));
        EXPECT_EQ(mCalls->openDescriptors(), 0);
    }
}

// A sync client or an editor moves the file aside while the header is being written, to
// put a new one in its place. Windows refuses to move a file held open without leave to
// delete it, which is how it is opened, so there the conversion goes through whole and
// the incoming file stays where it was. Elsewhere the file at the path stays as that
// program left it, the one written gets its old header back, and nothing is reported
// converted. (Wine refuses to replace an open file outright, whatever its share mode, so
// only moving it aside tells there.)
TEST_P(EitherPath, aFileReplacedDuringTheWriteLeavesNoConvertedOrphan)
{
    const Bytes replacement = fileWith(Layout::Arcade, kBody, kOtherGroups);
    put(kBefore);
    const fs::path incoming = mTemp.write("nuevo.tmp", replacement);
    const fs::path aside = mTemp / "cabecera.bak";

    std::error_code refused;
    const RunResult result = convertWith(GetParam(), [&](const Record &call, std::size_t) {
        if (call.call == Call::Write && fs::exists(incoming)) {
            fs::rename(mPath, aside, refused);
            if (!refused)
                fs::rename(incoming, mPath);
        }
        return Twist{};
    });
    if (!kSystemCalls.fileBeingConvertedCanBeMoved) {
        EXPECT_TRUE(refused) << "the file being written was moved aside";
        EXPECT_EQ(result.ending, Ending::Converted);
        EXPECT_EQ(contents(), kAfter);
        EXPECT_EQ(readAll(incoming), replacement);
        return;
    }
    ASSERT_FALSE(refused) << refused.message();
    if (GetParam() == ConversionPath::Window) {
        EXPECT_EQ(result.ending, Ending::Changed);
    } else {
        EXPECT_EQ(result.thrown,
                  Thrown(57, "El archivo cambió mientras se convertía: otro programa lo reemplazó. No se convirtió", mPath));
    }
    EXPECT_EQ(contents(), replacement);
    EXPECT_EQ(readAll(aside), kBefore);
}

} // namespace
} // namespace vuelco
