#pragma once

#include "batch/stop_request.h"

#include <cstddef>
#include <functional>

namespace vuelco::batch {

// The steps of a run, each given the slot of one item. The slots are a ring of
// kPipelineSlots: an item lives in its slot from its making to the end of its delivery,
// and the slot is only made again after that. None of the steps may throw.
struct PipelineSteps {
    // Makes the next item in the slot; false when there is none. One call at a time, in order.
    std::function<bool(std::size_t slot)> make;
    // Works on the item; any number at once, each item once.
    std::function<void(std::size_t slot)> work;
    // Hands the worked item on, in the order made, one at a time; false asks to stop.
    std::function<bool(std::size_t slot)> deliver;
    // Every worked item was delivered and the next is not worked yet; false asks to stop.
    std::function<bool()> caughtUp;
};

// How many items may be made and not yet delivered: enough for the workers to run far
// ahead of one slow file, few enough that what waits to be delivered stays small.
inline constexpr std::size_t kPipelineSlots = 1024;

// Runs every item through make, work and deliver on up to `workers` threads, the calling
// one among them, and returns once every item made and worked was delivered; true when
// it stopped (stop was requested, or deliver or caughtUp asked) before making them all.
//
// Why not a fixed pool of workers each taking one item at a time: measured side by side
// (bench/RESULTS.md), such a pool was slower both at converting small files on memory and
// at looking at a large folder, its threads passing files and the lock to one another.
// Starting with one worker for each core, adding workers only while the device keeps them
// waiting, and taking several quick files at once is what closes that gap.
//
// Whoever needs an item makes the next few; the worker that finishes the awaited item
// delivers it and every finished one after it, so no thread ever waits for another while
// there is work, and a batch of small files pays no thread switch per file; while files
// are quick, a worker takes several at once and meets the others once for all of them.
// Threads start only as items come, so a run of one file starts none, and beyond one for
// each core (two at least) only while the work waits on its device (slow flushes): on
// storage that never waits, more threads than cores would only hand items to each other.
// After a stop, no item is taken for work any more; those in flight finish and are
// delivered.
bool runPipeline(unsigned workers, const PipelineSteps &steps, const StopRequest &stop);

} // namespace vuelco::batch
