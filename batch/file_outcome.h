#pragma once

#include "batch/entry_name.h"
#include "core/bga_header.h"
#include "runtime/failure.h"
#include "runtime/file_identity.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace vuelco::batch {

// What became of one name of a run.
enum class Outcome : std::uint8_t {
    Looked,        // Look: before holds the layout, or nothing for a file no BGA one
    Converted,     // Convert: the file is in the target layout now; Simulate: it would be;
                   // Undo: the conversion is taken back; SimulateUndo: it would be
    AlreadyThere,  // in the target layout already: nothing written
    Unrecognised,  // not a BGA file (a file shorter than the header included): nothing written
    SameFile,      // a later name of a file reported before: nothing done again
    Failed,        // failure says why; the file is as it was
    // Undo only, nothing written:
    AlreadyUndone,  // the file holds the header from before the conversion
    ChangedSince,   // any other header
    NotFound,       // no file at the path
    OtherFile,      // another file stands at the path
};

struct FileOutcome {
    NativeName name;                 // as given, or the folder as given and the path below it
    Outcome outcome = Outcome::Failed;
    std::optional<Layout> before;    // the layout found, where the header could be read
    std::optional<Failure> failure;  // with Failed
    NativeName sameAs;               // with SameFile: the name the file was reported under
    // Once the file was open and its header read (before set): what an exact undo needs.
    std::optional<FileIdentity> identity;
    std::uint64_t size = 0;
    Header header{};                 // as found; with Converted, the one rewritten
};

// How far a run has come when an outcome is reported.
struct Progress {
    std::size_t done = 0;   // outcomes reported so far, this one included
    std::size_t found = 0;  // names given and files the walk found so far
    bool complete = false;  // nothing more will be found: found is the total
};

// The counts of a run, of files and never of names: a later name of one file counts as
// sameFile only.
struct Summary {
    std::size_t arcade = 0;         // Look: files in each layout
    std::size_t pcEmulator = 0;
    std::size_t converted = 0;      // Convert (or would be, with Simulate)
    std::size_t alreadyThere = 0;
    std::size_t unrecognised = 0;
    std::size_t failed = 0;
    std::size_t sameFile = 0;
    std::size_t alreadyUndone = 0;  // Undo
    std::size_t changedSince = 0;
    std::size_t notFound = 0;
    std::size_t otherFile = 0;
    bool stopped = false;           // asked to stop before every file was taken

    void count(const FileOutcome &outcome);
};

} // namespace vuelco::batch
