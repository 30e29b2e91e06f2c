#pragma once

#include "runtime/file_identity.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <unordered_map>

namespace vuelco {

class BinaryFile;

// What the file system holding an open file or folder promises of its file numbers, from
// the system's own description of it (identity_policy_posix.cpp: the type fstatfs tells;
// identity_policy_win32.cpp: the volume's file system, and whether it is remote). Anything
// not known to keep its numbers is Unstable.
[[nodiscard]] FileNumbers fileNumbersOf(std::intptr_t handle) noexcept;

// Every "is this the file meant?" of the program is answered here, from what the file's
// file system promises. Where file numbers are stable, a file is known by its identity,
// which costs nothing more than the open. Where they are not, an identity tells nothing:
// a file is known by the name it was reached by, and a write by what that name reads
// back.
namespace identity {

using HeaderBytes = std::array<std::uint8_t, 16>;

// Whether opened is the file the walk listed as listed. A file mounted over the entry is
// the caller's to tell apart.
[[nodiscard]] bool matchesListing(BinaryFile &opened, const FileIdentity &listed);

// After the flush of written through file: whether the place file was opened from still
// holds it. The place must still name the file's identity; on an unstable file system it is
// also opened again and its header read back, so a write that reached a file renamed away
// is not taken for the one named where the client keeps the old number for the new file.
// Throws the re-read's Failure, except for a name that is gone, which is a false.
[[nodiscard]] bool holdsWhatWasWritten(BinaryFile &file, const HeaderBytes &written);

// The header the file's place holds now, through an open of its own; nothing when it cannot
// be read, or where numbers are stable, when the place names another file now.
[[nodiscard]] std::optional<HeaderBytes> headerAtItsPlace(BinaryFile &file) noexcept;

// Whether file is the one a conversion recorded with identity and size: by identity where
// numbers are stable and the record has one, else by size.
[[nodiscard]] bool isTheFileRecorded(BinaryFile &file, const FileIdentity &recorded, std::uint64_t size);

// The identities under which a run decides "one file once": a file's own where numbers are
// stable; else one given to the name it was reached by, made whole and normal, so that two
// names of one file there are two files, and two files never one. Used by several
// threads at once.
class OnceIdentities {
public:
    [[nodiscard]] FileIdentity of(BinaryFile &file);
    // Whether an identity of() gave stands for a name, its file system's numbers unstable.
    [[nodiscard]] static bool isOfAName(const FileIdentity &identity) { return identity.volume == kNamesVolume; }

private:
    // What the file's file system promises, asked once per device a thread meets in a run
    // rather than once per file named, and told to the file: a look-up for each of 10,000
    // names given made a conversion on one worker 5% slower.
    [[nodiscard]] FileNumbers numbersOf(BinaryFile &file) const;

    const std::uint64_t mRun = ++runs;  // tells this run's remembered devices from an earlier one's
    static inline std::atomic<std::uint64_t> runs{0};
    // No device has this number: the identities of names never meet a file's own.
    static constexpr std::uint64_t kNamesVolume = ~std::uint64_t{0};

    std::mutex mMutex;
    std::unordered_map<std::filesystem::path::string_type, std::uint64_t> mNumbers;
};

} // namespace identity
} // namespace vuelco
