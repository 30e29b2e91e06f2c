#pragma once

#include "batch/listener.h"
#include "cli/arguments.h"
#include "cli/progress_line.h"

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
class Record final : public batch::Listener {
public:
    Record(const Arguments &arguments, std::ostream &out, std::ostream &err, Terminals terminals);

    [[nodiscard]] bool report(const batch::FileOutcome &outcome, const batch::Progress &progress) override;
    // Hands on the lines written so far: a slow file never holds back the finished ones.
    [[nodiscard]] bool caughtUp() override;
    // Ends the record with the run's summary, after saying when a signal stopped it.
    void close(const batch::Summary &summary, bool interrupted);

    // Whether a write of the record failed.
    [[nodiscard]] bool failed() const noexcept { return mFailed; }

private:
    void appendText(const batch::FileOutcome &outcome);
    void appendJson(const batch::FileOutcome &outcome);
    // Writes text to stream and checks that it went through.
    bool write(std::ostream &stream, const std::string &text);
    bool wentThrough(std::ostream &stream);

    const Arguments &mArguments;
    std::ostream &mOut;
    std::ostream &mErr;
    Terminals mTerminals;
    ProgressLine mProgress;
    std::string mLine;  // composed here, each line in one piece
    bool mFailed = false;
};

} // namespace vuelco::cli
