#pragma once

#include "batch/stop_request.h"

#include <atomic>

namespace vuelco::cli {

// What an interruption asks of a run: to take no new file, and to end with its status.
struct Interruption {
    batch::StopRequest stop;
    std::atomic<int> status{0};  // 130 after Ctrl+C, 143 after SIGTERM or Ctrl+Break; 0 before
};

// For its lifetime, Ctrl+C and SIGTERM (Ctrl+C and Ctrl+Break in a Windows console) fill
// in interruption instead of ending the program, so that the files in flight finish
// whole and the record is complete. Only the first: a second one ends the program as
// before.
class InterruptHandlers {
public:
    explicit InterruptHandlers(Interruption &interruption);
    InterruptHandlers(const InterruptHandlers &) = delete;
    InterruptHandlers &operator=(const InterruptHandlers &) = delete;
    ~InterruptHandlers();
};

} // namespace vuelco::cli
