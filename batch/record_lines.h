#pragma once

#include "batch/entry_name.h"
#include "batch/file_outcome.h"
#include "core/bga_header.h"

#include <cstddef>
#include <string>

namespace vuelco::batch {

// The version of what a record's lines carry for an undo, which every later version reads.
inline constexpr int kRecordVersion = 1;

// What kind of run a record tells of.
struct RecordRun {
    bool undo = false;      // an undo's outcomes (deshecho...), else a look's or a conversion's
    bool simulate = false;  // nothing was written
    Layout target = Layout::Arcade;  // a conversion's
};

// A run's JSON record, one object a line, as both fronts write it (docs/RECORD.md): each
// outcome's line with what an exact undo needs (the absolute path, the identity, the size
// and the header before and after), then the summary object.
class RecordLines {
public:
    // base is the folder relative names start from; empty when every name is absolute.
    RecordLines(RecordRun run, NativeName base);

    // The outcome's line, its line break included, composed in line.
    void compose(std::string &line, const FileOutcome &outcome) const;
    // The summary line; an undo counts the lines of its record that were no lines of Vuelco's.
    [[nodiscard]] std::string summary(const Summary &summary, bool interrupted, std::size_t refusedLines) const;

private:
    void appendUndoFields(std::string &line, const FileOutcome &outcome) const;
    [[nodiscard]] NativeName absoluteName(const NativeName &name) const;

    RecordRun mRun;
    NativeName mBase;
};

} // namespace vuelco::batch
