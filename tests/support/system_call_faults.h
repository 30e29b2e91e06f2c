#pragma once

// The file layer's system calls as the tests see them, on either system: a fake that
// runs them, writes them down and makes any one of them fail, with the calls, faults and
// errors of each system bound in its own half (system_call_faults_posix.cpp, _win32.cpp),
// so that one table of cases runs on Linux and on Windows.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <vector>

// The six calls both systems make, named for what they do, then those of one system.
enum class Call : std::uint8_t { Open, Read, Write, Flush, Lock, Close, Fstat, Stat, GetFileType, GetFileInformation };
inline constexpr std::size_t kCallKinds = 10;

// One call as it was asked for; offset and size only for reads and writes.
struct Record {
    Call call;
    std::uint64_t offset = 0;
    std::size_t size = 0;

    friend bool operator==(const Record &, const Record &) = default;
};

// What a call does instead of running plainly.
struct Twist {
    int error = 0;                  // fails with this errno or Win32 error; a close still closes
    std::size_t atMost = SIZE_MAX;  // a read or write moves at most this many bytes (0: none)
};

// The stand-in for the file layer's system calls. While it lives, every call runs for
// real and is written down in order, the calls of a batch's workers in turn; a test may
// plan, call by call, that one fails, falls short or makes no progress instead, do
// something of its own before it runs (another program's rename), or throw from the plan
// to see what escapes.
class FakeCalls {
public:
    // Decides each call's twist from the call and its place in the trace, counted from 0.
    using Plan = std::function<Twist(const Record &call, std::size_t index)>;

    FakeCalls();
    FakeCalls(const FakeCalls &) = delete;
    FakeCalls &operator=(const FakeCalls &) = delete;
    ~FakeCalls();

    void plan(Plan plan) { mPlan = std::move(plan); }

    [[nodiscard]] const std::vector<Record> &trace() const { return mTrace; }
    [[nodiscard]] std::size_t count(Call call) const;
    // The reads or writes, in order.
    [[nodiscard]] std::vector<Record> accesses(Call call) const;
    // Descriptors (handles) opened and not closed yet.
    [[nodiscard]] int openDescriptors() const { return mOpenDescriptors; }

    // For the system's fake calls: writes the call down and tells what to do with it, and
    // counts the descriptors it opens (+1) and closes (-1).
    static Twist enter(const Record &call);
    static void countDescriptors(int change);

private:
    // Puts the system's table of fake calls in place until the result goes.
    static std::shared_ptr<void> putInPlace();

    Plan mPlan;
    std::mutex mMutex;  // guards the trace, which a batch's workers share
    std::vector<Record> mTrace;
    std::atomic<int> mOpenDescriptors{0};
    std::shared_ptr<void> mInPlace;
};

// A device error, a full disk, a device gone read-only, an interruption (Linux only), a
// read or write that moves half its bytes.
enum class Fault : std::uint8_t { None, DeviceIo, DiskFull, ReadOnlyDevice, Interrupted, Short };

// An open the system refuses, and what the user must see of it.
struct OpenError {
    const char *name;
    int error;
    bool forUpdate;
    std::int32_t number;
    // The description, when it is not the number's standard one.
    const char *description = nullptr;
};

inline void PrintTo(const OpenError &row, std::ostream *out) { *out << row.name; }

// What the tests that run on both systems need to know of this one.
struct SystemCalls {
    // Each Call's name on this system, empty where it has no such call.
    std::array<const char *, kCallKinds> names;
    // Its errors for a device error, a full disk and a device gone read-only; for an
    // interrupted call, 0 where calls are never interrupted (Windows); for a lock on a file
    // system that keeps none, 0 where every one keeps them (Windows).
    int deviceIo, diskFull, readOnlyDevice, interrupted, keepsNoLocks;
    // Its error for a folder or file the user may not open.
    int accessDenied;
    // The call that tells at the open whether the file is a regular one.
    Call typeCheck;
    // The call that looks up the folder of a file that is missing, where there is one.
    std::optional<Call> folderCheck;
    // The opens of one conversion: the file's own, and on Windows the no-access one that
    // checks that the path still names the file written. (The one pass opens the file for
    // reading before that, to look.)
    std::size_t opensToConvert;
    // Whether another program can move a file aside while it is being converted: not on
    // Windows, where it is opened without leave to delete.
    bool fileBeingConvertedCanBeMoved;
    // A conversion's calls from the lock to the close, the same in both conversions.
    std::vector<Call> conversion;
    std::vector<OpenError> openErrors;
};

extern const SystemCalls kSystemCalls;

[[nodiscard]] const char *nameOf(Call call);
inline void PrintTo(Call call, std::ostream *out) { *out << nameOf(call); }
inline void PrintTo(const Record &record, std::ostream *out)
{
    *out << nameOf(record.call) << " at " << record.offset << " of " << record.size;
}
[[nodiscard]] bool canFallShort(Call call);
[[nodiscard]] bool canBeInterrupted(Call call);
// Whether the call at this place of a run may fail without the conversion noticing: the
// close of the handle that only looked up the path's identity (Windows: the one right
// before the file's own close) wrote and held nothing, so its failure changes nothing.
[[nodiscard]] bool failureGoesUnnoticed(const std::vector<Record> &calls, std::size_t at);
[[nodiscard]] Twist twistFor(Fault fault, const Record &call);
