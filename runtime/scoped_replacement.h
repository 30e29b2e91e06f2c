#pragma once

#include <utility>

namespace vuelco {

// Points a process-wide pointer at a replacement for its lifetime and back at the previous
// one after: how tests put their own system calls, volumes or message boxes in place.
template <class Replaced>
class ScopedReplacement {
public:
    ScopedReplacement(Replaced *&inUse, Replaced &replacement) noexcept
        : mInUse(inUse), mPrevious(std::exchange(inUse, &replacement))
    {
    }
    ScopedReplacement(const ScopedReplacement &) = delete;
    ScopedReplacement &operator=(const ScopedReplacement &) = delete;
    ~ScopedReplacement() { mInUse = mPrevious; }

private:
    Replaced *&mInUse;
    Replaced *mPrevious;
};

} // namespace vuelco
