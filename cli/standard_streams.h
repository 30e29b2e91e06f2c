#pragma once

#include <memory>

namespace vuelco::cli {

// The standard streams made ready for a run, for the lifetime of this. On Linux a stream
// the program was started without (closed, as a shell's ">&-" leaves it) is held by the
// null device open for reading only, so that no file a run opens takes it, where a line
// of the record would land in a data file, and writing to it still fails, and is told;
// SIGPIPE is ignored, so that a pipe whose reader went away fails a write too.
// On Windows text bound for a console goes out wide, and piped or redirected from one, in
// its code page (console_win32.h); JSON on standard output (jsonOutput) stays UTF-8.
class StandardStreams {
public:
    explicit StandardStreams(bool jsonOutput);
    StandardStreams(const StandardStreams &) = delete;
    StandardStreams &operator=(const StandardStreams &) = delete;
    ~StandardStreams();

private:
    struct Console;
    std::unique_ptr<Console> mConsole;
};

} // namespace vuelco::cli
