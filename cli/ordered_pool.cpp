#include "cli/ordered_pool.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace vuelco::cli {

void runInOrder(std::size_t count, unsigned workers, const std::function<void(std::size_t)> &work,
                const std::function<void(std::size_t)> &deliver)
{
    if (workers <= 1 || count <= 1) {
        for (std::size_t i = 0; i < count; ++i) {
            work(i);
            deliver(i);
        }
        return;
    }

    std::atomic<std::size_t> nextToWork{0};
    std::mutex mutex;
    // Guarded by mutex:
    std::vector<bool> done(count, false);
    std::size_t nextToDeliver = 0;
    bool delivering = false;

    const auto workLoop = [&] {
        for (std::size_t i = nextToWork++; i < count; i = nextToWork++) {
            work(i);
            std::unique_lock lock(mutex);
            done[i] = true;
            // Whoever is delivering takes this one too when it gets there.
            if (delivering)
                continue;
            delivering = true;
            while (nextToDeliver < count && done[nextToDeliver]) {
                const std::size_t ready = nextToDeliver++;
                lock.unlock();
                deliver(ready);
                lock.lock();
            }
            // Read by the other workers, under the mutex, in between.
            // cppcheck-suppress redundantAssignment
            delivering = false;
        }
    };

    std::vector<std::jthread> threads;
    const auto others = static_cast<unsigned>(std::min<std::size_t>(workers, count) - 1);
    threads.reserve(others);
    try {
        for (unsigned t = 0; t < others; ++t)
            threads.emplace_back(workLoop);
    } catch (const std::system_error &) {
        // The system gave fewer threads than asked: those there are share the work.
    }
    workLoop();
}

} // namespace vuelco::cli
