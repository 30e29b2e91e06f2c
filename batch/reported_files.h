#pragma once

#include "batch/entry_name.h"
#include "runtime/file_identity.h"

#include <deque>
#include <vector>

namespace vuelco::batch {

// The files a run that writes nothing has reported, by identity, each with the name it was
// first reported under. Such a run reads a file under each of its names, its workers never
// waiting for one another (FileClaims made two workers looking at small files spend a
// tenth of their time in each other's way), and tells the later names apart as it reports
// them: in order, so that a file's first name is always the first reported. Used by one
// thread at a time, the one reporting; no lock.
class ReportedFiles {
public:
    // The name the file was reported under before; nothing when it was not, and name is
    // then kept as its first.
    [[nodiscard]] const RunName *reportedBefore(const FileIdentity &identity, RunName &&name);

private:
    struct Reported {
        FileIdentity identity;
        RunName name;
    };
    using Slot = std::size_t;  // in mReported, from 1; 0: the slot is free

    [[nodiscard]] Slot &slotOf(const FileIdentity &identity);
    void makeRoomForOneMore();

    // Probed from the identity's place on, at most half full, its size a power of two: a
    // file costs one small slot read, seldom two, where a map of nodes read several
    // scattered ones and rebuilt its lists as it grew.
    std::vector<Slot> mSlots;
    std::deque<Reported> mReported;  // in the order reported; a deque, as it never moves them
};

} // namespace vuelco::batch
