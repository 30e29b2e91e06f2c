#pragma once

#include "batch/entry_name.h"
#include "batch/file_outcome.h"
#include "runtime/file_identity.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <unordered_map>

namespace vuelco::batch {

// Tells the names of one file apart once it is open, by the file's identity, so that a
// file named twice (a hard link, a link, another spelling, a folder walked twice) is
// worked on once and its outcome reported under its first name in the order of the run;
// every later name is reported as the same file.
//
// Workers open files in any order: a later name may reach the file first and work on
// it. An earlier name that then arrives waits for that work to end and takes its outcome
// over; the later name is then reported as the same file as the earlier one.
//
// A run that writes nothing needs no claim before the work, as reading a file twice does
// no harm: it asks reportedBefore as it reports, in order, one name at a time. Claimed by
// the workers, two of them looking at small files met at this one lock at nearly every
// file and the look was slower (bench/RESULTS.md); asked by the one reporting, it never waits.
class FileClaims {
public:
    // What is kept of each file: finished() is handed the one of a file claimed First.
    struct Holder {
        Holder(std::size_t order, const RunName &name, FileOutcome *where) : first(order), firstName(name), outcome(where)
        {
        }

        std::size_t first;     // the earliest name of the file met so far
        RunName firstName;
        FileOutcome *outcome;  // where the file's outcome is until it is reported
        // Set without the lock: a name that waits says so first, and whichever of the two
        // comes second sees the other's, so the work's end either is seen by the waiting
        // name before it waits or wakes it.
        std::atomic<bool> finished{false};
        std::atomic<bool> awaited{false};
    };

    enum class Claim : std::uint8_t {
        First,     // no name of the file came before: work on it, then call finished()
        Repeated,  // outcome now holds what became of the file under this name: the
                   // work done under a later name, or SameFile
    };

    // Claims the file for the name numbered order (names are numbered in the order they are
    // reported), whose outcome is written to outcome until it is reported; holder is set
    // to the file's when it is claimed First.
    [[nodiscard]] Claim claim(const FileIdentity &identity, std::size_t order, const RunName &name,
                              FileOutcome &outcome, Holder *&holder);
    // The work on the file claimed First is over, and its outcome written. Takes no lock
    // unless an earlier name waits for it, which a file named once never does.
    void finished(Holder &holder);
    // For a run that writes nothing, by the one reporting, in the order reported: the name
    // the file was reported under before, or nothing when it is the first, then kept.
    [[nodiscard]] std::optional<NativeName> reportedBefore(const FileIdentity &identity, const RunName &name);
    // The earliest name the file was claimed under: once every name before a SameFile one
    // was reported, the one that name is the same file as.
    [[nodiscard]] NativeName firstNameOf(const FileIdentity &identity);

private:
    std::mutex mMutex;
    std::condition_variable mFinished;
    // One holder for each file, none let go before the end: a map's nodes stay where they are.
    std::unordered_map<FileIdentity, Holder, FileIdentityHash> mHolders;
};

} // namespace vuelco::batch
