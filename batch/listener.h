#pragma once

#include "batch/file_outcome.h"

namespace vuelco::batch {

// A run's front: what hears each outcome and hands it on to a person or a script.
class Listener {
public:
    Listener() = default;
    Listener(const Listener &) = delete;
    Listener &operator=(const Listener &) = delete;
    virtual ~Listener() = default;

    // One name's outcome, in the order of the names and of the walk, as soon as that order
    // allows; never two calls at once, though not always on the same thread. False stops
    // the run (the front cannot hand its record on), as a stop request does.
    [[nodiscard]] virtual bool report(const FileOutcome &outcome, const Progress &progress) = 0;
    // Every outcome ready was reported and the next one is still being worked on: the
    // moment to hand on whatever report() kept back, before anything waits. False stops.
    [[nodiscard]] virtual bool caughtUp() = 0;
};

} // namespace vuelco::batch
