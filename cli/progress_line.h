#pragma once

#include <chrono>
#include <cstddef>
#include <iosfwd>

namespace vuelco::cli {

// The one self-rewriting line on a terminal's standard error that shows how far a long
// run has come: files done out of those found so far (a walk may still find more), and
// files per second. It appears only once the run has lasted a second, so a short run never
// shows it, and a disabled one (standard error is no terminal) writes nothing at all.
class ProgressLine {
public:
    using Clock = std::chrono::steady_clock;

    ProgressLine(std::ostream &err, bool enabled);

    // Draws the line for this many files done out of found (the total once complete): at
    // once when it was hidden, else at most a few times a second.
    void update(std::size_t done, std::size_t found, bool complete);
    // Erases the line, so that other output on the terminal starts on a clean line.
    void hide();

private:
    std::ostream &mErr;
    bool mEnabled;
    Clock::time_point mStart;
    Clock::time_point mLastDrawn;
    std::size_t mDrawnWidth = 0;
};

} // namespace vuelco::cli
