#pragma once

#include "batch/entry_name.h"
#include "core/bga_header.h"
#include "runtime/file_identity.h"

#include <cstdint>
#include <vector>

namespace vuelco::batch {

// What a run does with each file.
enum class Job : std::uint8_t {
    Look,      // tells each file's layout
    Simulate,  // tells what converting to the target layout would do
    Convert,   // converts every file in the other layout to the target one
    SimulateUndo,  // tells what Undo would do
    Undo,      // takes back the conversions a record tells of (UndoStep), one for each name
};

// What a conversion left in one file, as its record tells it, for an undo to take back: the
// file is the same one (its identity, or where the system gives no file number, 0, its
// size) and its header still exactly after. The undo rewrites the header it reads under
// the lock, never bytes of the record's: before only tells an undo already made.
struct UndoStep {
    FileIdentity identity;
    std::uint64_t size = 0;
    Header before{};
    Header after{};  // one conversion apart from before: the record's reader checks it
};

// The most worker threads unless asked otherwise. On a disk nearly all of a conversion is
// its flush, and flushes in flight together share the file system's journal commits, so
// workers pay even on two cores; bench/RESULTS.md has the figures that chose the count.
inline constexpr unsigned kDefaultWorkers = 32;
// The most a run takes: past a few dozen, more workers only add threads.
inline constexpr unsigned kMostWorkers = 64;

struct Request {
    // Files, in the system's own text, in the order to report them; with recursive, a name
    // that is a folder (a link the user named included) is walked for its ".dat" files.
    std::vector<NativeName> names;
    bool recursive = false;
    Job job = Job::Look;
    Layout target = Layout::Arcade;  // with Simulate and Convert
    std::vector<UndoStep> undo;      // with SimulateUndo and Undo: one for each name, none walked
    unsigned workers = kDefaultWorkers;  // at most
};

} // namespace vuelco::batch
