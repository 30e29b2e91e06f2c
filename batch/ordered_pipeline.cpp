#include "batch/ordered_pipeline.h"

#include <algorithm>
#include <bitset>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace vuelco::batch {
namespace {

// Items made at one go for each worker: enough that the workers seldom find none made and
// wait for more, and that each can take several at once; so few, and never more than
// kMostMadeAtOnce, that what is made and not yet taken stays small: in a deep tree each
// item may keep its own folder open until it is worked on.
constexpr std::size_t kMadeAtOnceForEachWorker = 16;
constexpr std::size_t kMostMadeAtOnce = 128;
// Items a worker takes at one go while files are quick (the last eight each took less than
// kSlowWork): the lock is then taken once for several files rather than twice for each.
// While files are slow, or before eight were seen, one at a time: a stop waits for no file
// beyond those being worked on, and a slow file holds up no other taken with it.
constexpr std::size_t kMostTakenAtOnce = 8;
using SlowOnes = std::bitset<kMostTakenAtOnce>;  // of the items taken at once, or of the last eight

// Workers a run starts with, when asked for more: one for each core, and two at least. On
// storage that never waits (memory, a page cache that takes the writes) a file costs a
// few microseconds of processor, and more threads than cores only hand files to each
// other; a second one lets a later name reach a file while an earlier one is slow to open.
unsigned firstWorkers() { return std::max(std::thread::hardware_concurrency(), 2U); }
// A file worked on for longer than this waited for its device: a flush to a disk, a
// stick or a network share, never one to memory, which takes a few microseconds.
constexpr auto kSlowWork = std::chrono::microseconds(100);
// Of the last eight files worked on, this many slow ones say that the device, not the
// processor, sets the pace: one more worker is started after each further slow file, up to
// the count asked for, since flushes in flight together share the device's journal
// commits. A lone slow file (a thread the system put aside) starts none.
constexpr std::size_t kSlowOfTheLastEight = 4;

class Pipeline {
public:
    Pipeline(unsigned workers, const PipelineSteps &steps, const StopRequest &stop)
        : mWorkers(std::max(workers, 1U)), mAllowed(std::min(mWorkers, firstWorkers())), mSteps(steps), mStop(stop),
          mDone(kPipelineSlots, false)
    {
    }

    bool run()
    {
        work();
        std::vector<std::jthread> threads;
        {
            const std::lock_guard lock(mMutex);
            mClosing = true;
            threads.swap(mThreads);
        }
        threads.clear();
        return !(mNoMore && mClaimed == mMade);
    }

private:
    static std::size_t slotOf(std::size_t item) { return item % kPipelineSlots; }

    // Each thread's loop: make some while those made and not taken run short, so that the
    // others find work while one makes; or take the next item made; or wait for either.
    void work()
    {
        std::unique_lock lock(mMutex);
        for (;;) {
            if (mStopped || mStop.requested())
                return;
            if (!mNoMore && !mMaking && mMade - mClaimed < madeAtOnce() / 2 &&
                mMade - mDelivered < kPipelineSlots) {
                make(lock);
            } else if (mClaimed < mMade) {
                const std::size_t first = mClaimed;
                const std::size_t end = first + takenAtOnce();
                mClaimed = end;
                lock.unlock();
                SlowOnes slow;
                for (std::size_t item = first; item < end; ++item) {
                    const auto start = std::chrono::steady_clock::now();
                    mSteps.work(slotOf(item));
                    slow[item - first] = std::chrono::steady_clock::now() - start > kSlowWork;
                }
                lock.lock();
                for (std::size_t item = first; item < end; ++item) {
                    paceWorkers(slow[item - first]);
                    mDone[slotOf(item)] = true;
                }
                deliverReady(lock);
            } else if (mNoMore) {
                return;
            } else {
                ++mWaiting;
                mChanged.wait(lock);
                --mWaiting;
            }
        }
    }

    void make(std::unique_lock<std::mutex> &lock)
    {
        mMaking = true;
        const std::size_t first = mMade;
        const std::size_t room = std::min(madeAtOnce(), kPipelineSlots - (mMade - mDelivered));
        lock.unlock();
        std::size_t made = 0;
        bool more = true;
        while (made < room && !mStop.requested() && (more = mSteps.make(slotOf(first + made))))
            ++made;
        lock.lock();
        mMade += made;
        mNoMore = !more;
        mMaking = false;
        startThreads();
        wakeWaiting();
    }

    [[nodiscard]] std::size_t madeAtOnce() const
    {
        return std::min(kMadeAtOnceForEachWorker * mAllowed, kMostMadeAtOnce);
    }

    // Several items while the last eight were quick, a fair share of those made; else one.
    [[nodiscard]] std::size_t takenAtOnce() const
    {
        if (mQuick < kMostTakenAtOnce)
            return 1;
        return std::clamp<std::size_t>((mMade - mClaimed) / mAllowed, 1, kMostTakenAtOnce);
    }

    // Allows one more worker when the device sets the pace (kSlowOfTheLastEight).
    void paceWorkers(bool slow)
    {
        mQuick = slow ? 0 : std::min<std::size_t>(mQuick + 1, kMostTakenAtOnce);
        mLastEight <<= 1;
        mLastEight[0] = slow;
        if (slow && mAllowed < mWorkers && mLastEight.count() >= kSlowOfTheLastEight) {
            ++mAllowed;
            startThreads();
        }
    }

    // One more thread for each item waiting beyond the threads there are, up to the count
    // allowed. A system that gives no more threads leaves the work to those there are.
    void startThreads()
    {
        while (!mClosing && mThreads.size() + 1 < mAllowed && mThreads.size() + 1 < mMade - mDelivered) {
            try {
                mThreads.emplace_back([this] { work(); });
            } catch (const std::system_error &) {
                mWorkers = static_cast<unsigned>(mThreads.size() + 1);
                mAllowed = mWorkers;
            }
        }
    }

    // Delivers the awaited item and every worked one after it, unless another thread is
    // already delivering: it takes these too when it gets there. Those worked by then are
    // delivered at one go, the lock let go once for all of them.
    void deliverReady(std::unique_lock<std::mutex> &lock)
    {
        if (mDelivering)
            return;
        mDelivering = true;
        for (;;) {
            const std::size_t first = mDelivered;
            std::size_t end = first;
            while (end < mClaimed && mDone[slotOf(end)])
                ++end;
            if (end == first)
                break;
            lock.unlock();
            for (std::size_t item = first; item < end; ++item) {
                if (!mSteps.deliver(slotOf(item)))
                    stopNow(lock);
            }
            if (!mSteps.caughtUp())
                stopNow(lock);
            lock.lock();
            for (std::size_t item = first; item < end; ++item)
                mDone[slotOf(item)] = false;
            mDelivered = end;
        }
        mDelivering = false;
        wakeWaiting();
    }

    // A stop asked while delivering: no worker takes another item from now on.
    void stopNow(std::unique_lock<std::mutex> &lock)
    {
        lock.lock();
        mStopped = true;
        lock.unlock();
    }

    void wakeWaiting()
    {
        if (mWaiting > 0)
            mChanged.notify_all();
    }

    unsigned mWorkers;  // the most asked for
    unsigned mAllowed;  // guarded by mMutex: the most the pace of the device calls for so far
    const PipelineSteps &mSteps;
    const StopRequest &mStop;

    std::mutex mMutex;
    std::condition_variable mChanged;
    // Guarded by mMutex: items are counted from 0 as they are made, taken, and delivered.
    std::size_t mMade = 0;
    std::size_t mClaimed = 0;
    std::size_t mDelivered = 0;
    std::vector<bool> mDone;   // by slot: worked and not yet delivered
    bool mMaking = false;
    bool mDelivering = false;
    bool mNoMore = false;
    bool mStopped = false;
    bool mClosing = false;
    int mWaiting = 0;
    SlowOnes mLastEight;          // of the last eight items worked on
    std::size_t mQuick = 0;       // items worked on quickly since the last slow one, up to eight
    std::vector<std::jthread> mThreads;
};

} // namespace

bool runPipeline(unsigned workers, const PipelineSteps &steps, const StopRequest &stop)
{
    Pipeline pipeline(workers, steps, stop);
    return pipeline.run();
}

} // namespace vuelco::batch
