#pragma once

#include <cstddef>
#include <functional>

namespace vuelco::cli {

// Runs work(i) for every i below count on `workers` threads (the calling one among
// them) and deliver(i) for each i in increasing order, as soon as it and every index
// before it are done, whatever order the workers finish in. Whatever work(i) leaves for
// deliver(i) is visible to it, and no two deliveries overlap.
//
// The worker that finishes the awaited index delivers it and every finished one after
// it, so no thread ever sleeps waiting for another: a batch of small files is not made
// to pay a thread switch per file. With one worker, work and deliver simply alternate.
// Neither may throw.
void runInOrder(std::size_t count, unsigned workers, const std::function<void(std::size_t)> &work,
                const std::function<void(std::size_t)> &deliver);

} // namespace vuelco::cli
