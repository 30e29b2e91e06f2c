// Every system call of a conversion, the window's (a probe, then the conversion) and the
// command line's (one pass), is made, in turn, to fail, to be interrupted or to fall
// short. Whatever happens, the file keeps its old header or gets the new one whole,
// nothing else of it changes, every descriptor opened is closed, and a failure is never
// reported as a conversion.

#include "conversion_paths.h"
#include "core/header_probe.h"
#include "fake_posix_calls.h"
#include "runtime/failure.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vuelco {
namespace {

using Call = FakePosixCalls::Call;
using Record = FakePosixCalls::Record;
using Twist = FakePosixCalls::Twist;

const char *nameOf(Call call)
{
    switch (call) {
    case Call::Open: return "open";
    case Call::Pread: return "pread";
    case Call::Pwrite: return "pwrite";
    case Call::Fstat: return "fstat";
    case Call::Stat: return "stat";
    case Call::Fsync: return "fsync";
    case Call::Lock: return "lock";
    case Call::Close: return "close";
    }
    return "?";
}

enum class Fault { None, Eio, Enospc, Erofs, Eintr, Short };

// What a fault does to a call. A one-byte read or write cannot fall short, and only
// reads and writes can.
Twist twistFor(Fault fault, const Record &call)
{
    switch (fault) {
    case Fault::None: return {};
    case Fault::Eio: return {EIO};
    case Fault::Enospc: return {ENOSPC};
    case Fault::Erofs: return {EROFS};
    case Fault::Eintr: return {EINTR};
    case Fault::Short: return {0, call.size > 1 ? call.size / 2 : SIZE_MAX};
    }
    return {};
}

const Groups kGroups{{0x11, 0x80, 0x00, 0xFF}, {0x55, 0x66, 0x77, 0x88}};

Bytes fileWith(const Header &header)
{
    Bytes bytes(header.begin(), header.end());
    for (int i = 0; i < 300; ++i)
        bytes.push_back(static_cast<std::uint8_t>(i * 7));
    return bytes;
}

enum class Ending { Converted, Changed, Failed };

struct RunResult {
    Ending ending = Ending::Failed;
    std::int32_t number = 0;
    std::string description;
};

class FaultInjection : public ::testing::Test {
protected:
    void SetUp() override
    {
        mPath = (mTemp / "cabecera.dat").string();
    }

    void put(const Bytes &bytes) { writeFile(mPath, bytes); }
    Bytes contents() { return readAll(mPath); }

    // Converts the arcade file to the other layout the way given, as the window (after
    // its load) and the terminal do it, with plan deciding each call's twist.
    RunResult convertWith(ConversionPath way, FakePosixCalls::Plan plan = {})
    {
        mCalls.emplace();
        mCalls->plan(std::move(plan));
        RunResult result;
        try {
            Groups loaded = kGroups;
            if (way == ConversionPath::Window) {
                const ProbeResult probe = probeHeader(mPath);
                if (probe.layout != Layout::Arcade) {
                    ADD_FAILURE() << "the probe did not recognise the file";
                    return result;
                }
                loaded = probe.groups;
                EXPECT_EQ(loaded, kGroups);
            }
            result.ending = convertThrough(way, mPath, Layout::PcEmulator, loaded) ? Ending::Converted
                                                                                  : Ending::Changed;
        } catch (const Failure &failure) {
            result.ending = Ending::Failed;
            result.number = failure.number();
            result.description = failure.description();
        }
        return result;
    }

    // Plans the one fault at call faultAt (counted from 0 over the whole run) and then,
    // if given, another on the call right after it.
    FakePosixCalls::Plan faultOn(std::size_t faultAt, Fault fault, Fault then = Fault::None)
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
        put(fileWith(composeHeader(Layout::Arcade, kGroups)));
        EXPECT_EQ(convertWith(way).ending, Ending::Converted);
        const auto found = std::find_if(trace().begin(), trace().end(),
                                        [call](const Record &record) { return record.call == call; });
        EXPECT_NE(found, trace().end());
        return static_cast<std::size_t>(found - trace().begin());
    }

    [[nodiscard]] const std::vector<Record> &trace() const { return mCalls->trace(); }

    TempFolder mTemp;
    std::string mPath;
    // The last run's calls, and whether its fault could be applied.
    std::optional<FakePosixCalls> mCalls;
    bool mApplied = false;
};

struct FaultCase {
    Fault fault;
    const char *name;
    // For a failing call: the number and description the user must see.
    std::int32_t number;
};

// Named, so that GoogleTest does not print the padding bytes of the row.
void PrintTo(const FaultCase &row, std::ostream *out) { *out << row.name; }

class EveryCall : public FaultInjection,
                  public ::testing::WithParamInterface<std::tuple<ConversionPath, FaultCase>> {};

TEST_P(EveryCall, leavesTheOldOrTheNewHeaderWholeAndClosesTheFile)
{
    const auto &[way, c] = GetParam();
    const Bytes before = fileWith(composeHeader(Layout::Arcade, kGroups));
    const Bytes after = fileWith(composeHeader(Layout::PcEmulator, kGroups));

    put(before);
    ASSERT_EQ(convertWith(way).ending, Ending::Converted);
    const std::vector<Record> cleanTrace = trace();

    std::size_t faulted = 0;
    for (std::size_t at = 0; at < cleanTrace.size(); ++at) {
        const Call call = cleanTrace[at].call;
        const bool canFallShort = call == Call::Pread || call == Call::Pwrite;
        // fstat is never interrupted: it does not wait for anything.
        const bool canBeInterrupted = call != Call::Fstat && call != Call::Stat;
        if ((c.fault == Fault::Short && !canFallShort) || (c.fault == Fault::Eintr && !canBeInterrupted))
            continue;
        SCOPED_TRACE(std::string(c.name) + " on call " + std::to_string(at) + " (" + nameOf(call) + ")");

        put(before);
        const RunResult result = convertWith(way, faultOn(at, c.fault));
        const Bytes now = contents();
        if (!mApplied)
            continue;

        ++faulted;
        EXPECT_EQ(mCalls->openDescriptors(), 0) << "a descriptor was left open";
        EXPECT_TRUE(now == before || now == after) << "the header is neither the old one nor the new one";
        if (c.fault == Fault::Eintr || c.fault == Fault::Short) {
            EXPECT_EQ(result.ending, Ending::Converted) << "retried calls must not be reported";
            EXPECT_EQ(now, after);
            // An interrupted close has released the descriptor on Linux: asking again could
            // close one opened meanwhile, so only the other calls are repeated.
            if (call != Call::Close) {
                EXPECT_GT(trace().size(), cleanTrace.size()) << "the call was not asked again";
            }
        } else {
            ASSERT_EQ(result.ending, Ending::Failed) << "a failed call was reported as success";
            EXPECT_EQ(result.number, c.number);
            EXPECT_EQ(result.description, standardDescription(static_cast<FailureNumber>(c.number)));
            // Only a close after the flush comes too late to take the new header back.
            if (at != cleanTrace.size() - 1) {
                EXPECT_EQ(now, before);
            }
        }
    }
    EXPECT_GT(faulted, 0U);
}

INSTANTIATE_TEST_SUITE_P(Faults, EveryCall,
                         ::testing::Combine(::testing::Values(ConversionPath::Window, ConversionPath::CommandLine),
                                            ::testing::Values(FaultCase{Fault::Eio, "EIO", 57},
                                                              FaultCase{Fault::Enospc, "ENOSPC", 61},
                                                              FaultCase{Fault::Eintr, "EINTR", 0},
                                                              FaultCase{Fault::Short, "Short", 0})),
                         [](const ::testing::TestParamInfo<std::tuple<ConversionPath, FaultCase>> &row) {
                             return std::string(nameOf(std::get<0>(row.param))) + "_" +
                                    std::get<1>(row.param).name;
                         });

class EitherPath : public FaultInjection, public ::testing::WithParamInterface<ConversionPath> {};

INSTANTIATE_TEST_SUITE_P(Paths, EitherPath,
                         ::testing::Values(ConversionPath::Window, ConversionPath::CommandLine),
                         [](const ::testing::TestParamInfo<ConversionPath> &row) {
                             return std::string(nameOf(row.param));
                         });

// The order is what keeps the promises: the lock before the header is read, the write
// before the flush, the check that the path still names the file after the flush, and
// the close last.
TEST_P(EitherPath, aCleanConversionMakesItsCallsInOrder)
{
    put(fileWith(composeHeader(Layout::Arcade, kGroups)));
    ASSERT_EQ(convertWith(GetParam()).ending, Ending::Converted);
    const std::vector<std::string> conversion{"open", "fstat", "lock", "pread", "pwrite",
                                              "fsync", "fstat", "stat", "close"};
    std::vector<std::string> calls;
    for (const Record &record : trace())
        calls.emplace_back(nameOf(record.call));
    ASSERT_GE(calls.size(), conversion.size());
    EXPECT_EQ(std::vector(calls.end() - static_cast<std::ptrdiff_t>(conversion.size()), calls.end()), conversion);
    EXPECT_EQ(mCalls->count(Call::Open), mCalls->count(Call::Close));
}

// A write that falls short and whose rest then fails has put part of the new header on
// the disk: the old header is put back before the failure is reported.
TEST_P(EitherPath, aHeaderWriteCutOffHalfWayIsUndone)
{
    const std::size_t writeAt = firstCleanCall(GetParam(), Call::Pwrite);
    const Bytes before = fileWith(composeHeader(Layout::Arcade, kGroups));
    put(before);
    const RunResult result = convertWith(GetParam(), faultOn(writeAt, Fault::Short, Fault::Eio));
    EXPECT_EQ(result.ending, Ending::Failed);
    EXPECT_EQ(result.number, 57);
    EXPECT_EQ(contents(), before);
    EXPECT_EQ(mCalls->openDescriptors(), 0);
}

// A device that dies under the conversion (ext4 remounted read-only) fails the flush,
// then refuses to take the old header back: the user must hear that the header may be a
// mix, not the flush's failure alone.
TEST_P(EitherPath, anUndoThatFailsTooSaysTheHeaderMayBeHalfConverted)
{
    const std::size_t flushAt = firstCleanCall(GetParam(), Call::Fsync);
    put(fileWith(composeHeader(Layout::Arcade, kGroups)));
    const RunResult result = convertWith(GetParam(), faultOn(flushAt, Fault::Eio, Fault::Erofs));
    ASSERT_EQ(result.ending, Ending::Failed);
    EXPECT_EQ(result.number, 57);
    EXPECT_NE(result.description.find("la cabecera puede haber quedado a medio convertir. Compruebe el archivo"),
              std::string::npos)
        << result.description;
    EXPECT_EQ(mCalls->openDescriptors(), 0);
}

// A sync client or an editor puts a new file in place by rename while the header is
// being written: the file at the path stays as that program left it, the one written
// gets its old header back, and nothing is reported converted.
TEST_P(EitherPath, aFileReplacedByRenameDuringTheWriteIsNotReportedConverted)
{
    const Bytes before = fileWith(composeHeader(Layout::Arcade, kGroups));
    const Bytes replacement = fileWith(composeHeader(Layout::Arcade, {{9, 9, 9, 9}, {8, 8, 8, 8}}));
    put(before);
    const std::filesystem::path written = mTemp / "escrito.dat";
    std::filesystem::create_hard_link(mPath, written);
    const std::filesystem::path incoming = mTemp.write("nuevo.tmp", replacement);

    const RunResult result = convertWith(GetParam(), [&](const Record &call, std::size_t) {
        if (call.call == Call::Pwrite && std::filesystem::exists(incoming))
            std::filesystem::rename(incoming, mPath);
        return Twist{};
    });
    if (GetParam() == ConversionPath::Window) {
        EXPECT_EQ(result.ending, Ending::Changed);
    } else {
        ASSERT_EQ(result.ending, Ending::Failed);
        EXPECT_EQ(result.number, 57);
        EXPECT_EQ(result.description, "El archivo cambió mientras se convertía: otro programa lo reemplazó. No se convirtió");
    }
    EXPECT_EQ(contents(), replacement);
    EXPECT_EQ(readAll(written), before);
}

} // namespace
} // namespace vuelco
