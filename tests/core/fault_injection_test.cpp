// Every system call of a probe followed by a conversion is made, in turn, to fail, to be
// interrupted or to fall short. Whatever happens, the file keeps its old header or gets
// the new one whole, nothing else of it changes, every descriptor opened is closed, and a
// failure is never reported as a conversion.

#include "core/convert_if_unchanged.h"
#include "core/header_probe.h"
#include "fake_posix_calls.h"
#include "runtime/failure.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
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

enum class Fault { None, Eio, Enospc, Eintr, Short };

// What a fault does to a call. A one-byte read or write cannot fall short, and only
// reads and writes can.
Twist twistFor(Fault fault, const Record &call)
{
    switch (fault) {
    case Fault::None: return {};
    case Fault::Eio: return {EIO};
    case Fault::Enospc: return {ENOSPC};
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

    // A load followed by the conversion it offers, as the window and the terminal do it,
    // with the one fault planned at call faultAt (counted from 0 over the whole run) and
    // then, if given, another on the call right after it.
    RunResult loadAndConvert(std::size_t faultAt, Fault fault, Fault then = Fault::None)
    {
        mApplied = false;
        mCalls.emplace();
        mCalls->plan([this, faultAt, fault, then](const Record &call, std::size_t index) {
            if (index == faultAt) {
                mApplied = fault != Fault::Short || call.size > 1;
                return twistFor(fault, call);
            }
            if (faultAt != SIZE_MAX && index == faultAt + 1)
                return twistFor(then, call);
            return Twist{};
        });
        RunResult result;
        try {
            const ProbeResult probe = probeHeader(mPath);
            if (!probe.layout) {
                ADD_FAILURE() << "the probe did not recognise the file";
                return result;
            }
            EXPECT_EQ(probe.groups, kGroups);
            result.ending = convertIfUnchanged(mPath, otherLayout(*probe.layout), probe.groups) ==
                                    ConversionOutcome::Converted
                                ? Ending::Converted
                                : Ending::Changed;
        } catch (const Failure &failure) {
            result.ending = Ending::Failed;
            result.number = failure.number();
            result.description = failure.description();
        }
        return result;
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

class EveryCall : public FaultInjection, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(EveryCall, leavesTheOldOrTheNewHeaderWholeAndClosesTheFile)
{
    const Bytes before = fileWith(composeHeader(Layout::Arcade, kGroups));
    const Bytes after = fileWith(composeHeader(Layout::PcEmulator, kGroups));

    put(before);
    ASSERT_EQ(loadAndConvert(SIZE_MAX, Fault::None).ending, Ending::Converted);
    const std::vector<Record> cleanTrace = trace();
    ASSERT_GE(cleanTrace.size(), 20U);

    const FaultCase &c = GetParam();
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
        const RunResult result = loadAndConvert(at, c.fault);
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
                         ::testing::Values(FaultCase{Fault::Eio, "EIO", 57},
                                           FaultCase{Fault::Enospc, "ENOSPC", 61},
                                           FaultCase{Fault::Eintr, "EINTR", 0},
                                           FaultCase{Fault::Short, "short", 0}),
                         [](const ::testing::TestParamInfo<FaultCase> &row) {
                             return std::string(row.param.fault == Fault::Short ? "Short" : row.param.name);
                         });

TEST_F(FaultInjection, aCleanConversionMakesOneHeaderWriteAndOneFlush)
{
    put(fileWith(composeHeader(Layout::Arcade, kGroups)));
    ASSERT_EQ(loadAndConvert(SIZE_MAX, Fault::None).ending, Ending::Converted);
    EXPECT_EQ(mCalls->count(Call::Pwrite), 1U);
    EXPECT_EQ(mCalls->count(Call::Fsync), 1U);
    EXPECT_EQ(mCalls->count(Call::Open), 2U);
    EXPECT_EQ(mCalls->count(Call::Close), 2U);
    EXPECT_EQ(trace().back().call, Call::Close);
}

// A write that falls short and whose rest then fails has put part of the new header on
// the disk: the old header is put back before the failure is reported.
TEST_F(FaultInjection, aHeaderWriteCutOffHalfWayIsUndone)

{
    const Bytes before = fileWith(composeHeader(Layout::Arcade, kGroups));
    put(before);
    ASSERT_EQ(loadAndConvert(SIZE_MAX, Fault::None).ending, Ending::Converted);
    std::size_t writeAt = 0;
    while (trace()[writeAt].call != Call::Pwrite)
        ++writeAt;

    put(before);
    const RunResult result = loadAndConvert(writeAt, Fault::Short, Fault::Eio);
    EXPECT_EQ(result.ending, Ending::Failed);
    EXPECT_EQ(result.number, 57);
    EXPECT_EQ(contents(), before);
    EXPECT_EQ(mCalls->openDescriptors(), 0);
}

} // namespace
} // namespace vuelco
