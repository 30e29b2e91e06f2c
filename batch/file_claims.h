#pragma once

#include "batch/entry_name.h"
#include "batch/file_outcome.h"
#include "runtime/file_identity.h"

#include <array>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory_resource>
#include <mutex>
#include <unordered_map>

namespace vuelco::batch {

// Tells the names of one file apart once it is open, by the file's identity, so that a
// file named twice (a hard link, a link, another spelling, a folder walked twice) is
// converted once and its outcome reported under its first name in the order of the run;
// every later name is reported as the same file.
//
// Workers open files in any order: a later name may reach the file first and work on
// it. An earlier name that then arrives waits for that work to end and takes its outcome
// over; the later name is then reported as the same file as the earlier one.
class FileClaims {
    struct Part;

public:
    // Room for the names given; a walk may add more.
    explicit FileClaims(std::size_t files)
    {
        for (Part &part : mParts)
            part.holders.reserve(files / kParts + 1);
    }

    // What is kept of each file: finished() is handed the one of a file claimed First.
    struct Holder {
        Holder(std::size_t order, const RunName &name, FileOutcome *where, Part &itsPart)
            : first(order), firstName(name), outcome(where), part(itsPart)
        {
        }

        std::size_t first;     // the earliest name of the file met so far
        RunName firstName;
        FileOutcome *outcome;  // where the file's outcome is until it is reported
        Part &part;
        // Set without the part's lock: a name that waits says so first, and whichever of the
        // two comes second sees the other's, so the work's end either is seen by the waiting
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
    // The earliest name the file was claimed under: once every name before a SameFile one
    // was reported, the one that name is the same file as.
    [[nodiscard]] NativeName firstNameOf(const FileIdentity &identity);

private:
    // The identities are shared out among parts, each with its own lock, so that workers
    // claiming different files seldom wait for each other: with one lock for all, two
    // workers looking at small files spent more time handing it over than claiming.
    static constexpr std::size_t kParts = 64;
    struct Part {
        std::mutex mutex;
        std::condition_variable finished;
        // One holder for each file of the part, none ever let go before the end: taken from
        // a pool in blocks, rather than allocated and freed one by one.
        std::pmr::monotonic_buffer_resource pool;
        std::pmr::unordered_map<FileIdentity, Holder, FileIdentityHash> holders{&pool};
    };
    Part &partOf(const FileIdentity &identity) { return mParts[FileIdentityHash()(identity) % kParts]; }

    std::array<Part, kParts> mParts;
};

} // namespace vuelco::batch
