#pragma once

#include "batch/listener.h"
#include "batch/record_file.h"
#include "batch/record_lines.h"
#include "cli/arguments.h"
#include "cli/progress_line.h"

#include <functional>
#include <iosfwd>
#include <string>

namespace vuelco::cli {

// Which standard streams are terminals. A run that lasts more than a second keeps a
// progress line on err when err is one; lines written to a terminal go above it.
struct Terminals {
    bool out = false;
    bool err = false;
};

// The record a run leaves, as the outcomes come. As text: one line per name on standard
// output, each failure on one line of standard error, and the summary there after a
// conversion or a simulation. As JSON: one object per name on standard output, then the
// summary object. Every write is checked: the first that fails stops the run (no new
// file is taken), and is said once on standard error if that still takes it.
//
// Every JSON line of a file written carries what an exact undo needs: the absolute path,
// the identity, the size and the header before and after. With a record file (--registro)
// the JSON lines go there too, each as its file is reported, and are flushed to the
// device before the summary is written.
class Record final : public batch::Listener {
public:
    // The record file, when given, is open and outlives this.
    Record(const Arguments &arguments, std::ostream &out, std::ostream &err, Terminals terminals,
           batch::RecordFile *file = nullptr);

    [[nodiscard]] bool report(const batch::FileOutcome &outcome, const batch::Progress &progress) override;
    // Hands on the lines written so far: a slow file never holds back the finished ones.
    [[nodiscard]] bool caughtUp() override;
    // Ends the record with the run's summary, after saying when a signal stopped it. An
    // undo counts the lines of its record that were no lines of Vuelco's.
    void close(const batch::Summary &summary, bool interrupted, std::size_t refusedLines = 0);

    // Whether a write of the record failed, to a stream or to the record file.
    [[nodiscard]] bool failed() const noexcept { return mFailed || mFileFailed; }

private:
    void appendText(const batch::FileOutcome &outcome);
    void appendUndoText(const batch::FileOutcome &outcome);
    [[nodiscard]] std::string undoSummaryText(const batch::Summary &summary, std::size_t refusedLines) const;
    // Writes a line to the record file, saying once when it fails.
    bool toFile(std::string_view text);
    bool onFile(const std::function<void()> &action);
    // Writes text to stream and checks that it went through.
    bool write(std::ostream &stream, const std::string &text);
    bool wentThrough(std::ostream &stream);

    const Arguments &mArguments;
    std::ostream &mOut;
    std::ostream &mErr;
    Terminals mTerminals;
    ProgressLine mProgress;
    batch::RecordFile *mFile;
    batch::RecordLines mLines;
    std::string mLine;  // composed here, each line in one piece
    std::string mFileLine;
    bool mFailed = false;      // a stream's
    // Apart: the files in flight when standard output fails still go to the record file.
    bool mFileFailed = false;
};

} // namespace vuelco::cli
