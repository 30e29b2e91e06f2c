#pragma once

#include <atomic>

namespace vuelco::batch {

// Asks a run to stop: no new file is taken, and the files in flight finish whole and are
// reported. Safe to ask from any thread and from a signal handler.
class StopRequest {
public:
    void request() noexcept { mRequested.store(true, std::memory_order_relaxed); }
    [[nodiscard]] bool requested() const noexcept { return mRequested.load(std::memory_order_relaxed); }

private:
    static_assert(std::atomic<bool>::is_always_lock_free, "a signal handler may only set a lock-free flag");
    std::atomic<bool> mRequested{false};
};

} // namespace vuelco::batch
