#include "batch/run_batch.h"

#include "batch/file_claims.h"
#include "batch/given_names.h"
#include "batch/ordered_pipeline.h"
#include "batch/walk.h"
#include "core/convert_in_one_pass.h"
#include "runtime/binary_file.h"
#include "runtime/identity_policy.h"
#include "runtime/unexpected_failure.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace vuelco::batch {
namespace {

struct Item {
    RunName name;
    NativeName walkedPath;                 // a walked entry's whole name (a name given is its own)
    std::shared_ptr<const Folder> folder;  // a walked file's folder, until it is worked on
    std::optional<FileIdentity> listed;    // a walked file: the identity its listing saw
    std::optional<FileIdentity> identity;  // once open and found to be the file listed: the
                                           // one it is claimed and reported once under
    std::size_t order = 0;
    FileOutcome outcome;

    [[nodiscard]] const NativeName &path() const { return name.given != nullptr ? *name.given : walkedPath; }
};

FileOutcome failedWith(Failure failure)
{
    FileOutcome outcome;
    outcome.failure = std::move(failure);
    return outcome;
}

bool isUndo(Job job) { return job == Job::Undo || job == Job::SimulateUndo; }

// A step taken back, or said to be, with all of a conversion's care: the header read, and
// for writing, read again under the lock; rewritten only when it is still exactly the one
// the conversion left, and then from what was read.
FileOutcome undoStep(const UndoStep &step, const NativeName &path, Job job) noexcept
{
    FileOutcome outcome;
    try {
        BinaryFile file = BinaryFile::openForReading(path);
        outcome.identity = file.identity();
        outcome.size = file.size();
        if (!identity::isTheFileRecorded(file, step.identity, step.size)) {
            outcome.outcome = Outcome::OtherFile;
            return outcome;
        }
        const Layout back = otherLayout(*layoutOf(step.after));
        outcome.before = job == Job::Undo ? convertInOnePass(file, back, outcome.header, &step.after)
                                          : previewConversion(file, back, outcome.header, &step.after);
        outcome.outcome = !outcome.before                ? Outcome::ChangedSince
                          : outcome.header == step.after  ? Outcome::Converted
                          : outcome.header == step.before ? Outcome::AlreadyUndone
                                                          : Outcome::ChangedSince;
        return outcome;
    } catch (const Failure &failure) {
        const auto number = static_cast<FailureNumber>(failure.number());
        if (number == FailureNumber::FileNotFound || number == FailureNumber::PathNotFound) {
            outcome.outcome = Outcome::NotFound;
            return outcome;
        }
        return failedWith(failure);
    } catch (...) {
        return failedWith(currentFailure());
    }
}

// The names in order, each folder among them walked with recursive, each path walked or
// opened once: a later spelling of a path given before comes out as the same file.
class Names {
public:
    explicit Names(const Request &request) : mRequest(request) {}

    // Fills item with the next name; false when there is none left.
    bool next(Item &item)
    {
        for (;;) {
            if (mWalk) {
                if (std::optional<Found> found = mWalk->next()) {
                    item.name.walked = std::move(found->name);
                    item.walkedPath = std::move(found->path);
                    if (found->failure)
                        item.outcome = failedWith(*std::move(found->failure));
                    else
                        item.listed = found->identity;
                    item.folder = std::move(found->folder);
                    return true;
                }
                mWalk.reset();
            }
            if (mNext == mRequest.names.size())
                return false;
            const NativeName &name = mRequest.names[mNext++];
            // An undo takes every line of its record, each at its own step (order).
            if (isUndo(mRequest.job)) {
                item.name.given = &name;
                return true;
            }
            if (const NativeName *first = mGiven.givenBefore(name)) {
                // Nothing to open: the name is reported as the same file as its first spelling.
                item.name.given = &name;
                item.outcome.outcome = Outcome::SameFile;
                item.outcome.sameAs = *first;
                return true;
            }
            if (mRequest.recursive) {
                if (std::shared_ptr<Folder> folder = openGivenFolder(name)) {
                    mWalk.emplace(name, std::move(folder));
                    continue;
                }
            }
            item.name.given = &name;
            return true;
        }
    }

private:
    const Request &mRequest;
    std::size_t mNext = 0;
    GivenNames mGiven;
    std::optional<Walk> mWalk;
};

class Run {
public:
    Run(const Request &request, Listener &listener)
        : mRequest(request), mListener(listener), mNames(request), mSlots(kPipelineSlots)
    {
    }

    Summary go(const StopRequest &stop)
    {
        const PipelineSteps steps{
            [this](std::size_t slot) { return make(mSlots[slot]); },
            [this](std::size_t slot) { work(mSlots[slot]); },
            [this](std::size_t slot) { return deliver(mSlots[slot]); },
            [this] { return caughtUp(); },
        };
        const unsigned workers = std::clamp(mRequest.workers, 1U, kMostWorkers);
        mSummary.stopped = runPipeline(workers, steps, stop);
        return mSummary;
    }

private:
    bool make(Item &item)
    {
        try {
            if (!mNames.next(item)) {
                mComplete = true;
                return false;
            }
        } catch (...) {
            item.outcome = failedWith(currentFailure());
        }
        item.order = mFound++;
        return true;
    }

    void work(Item &item)
    {
        if (item.outcome.failure || item.outcome.outcome == Outcome::SameFile)
            return;
        if (isUndo(mRequest.job)) {
            item.outcome = item.order < mRequest.undo.size()
                               ? undoStep(mRequest.undo[item.order], item.path(), mRequest.job)
                               : failedWith(Failure(FailureNumber::InternalError, {}, FailureCause::UndoStepMissing));
            return;
        }
        FileClaims::Holder *claimed = nullptr;
        try {
            const NativeName &path = item.path();
            const std::size_t nameAt = path.size() - item.name.walked.own().size();
            BinaryFile file =
                BinaryFile::openForReading(item.folder ? placeIn(*item.folder, path, nameAt) : FilePlace{path});
            if (item.listed && !identity::matchesListing(file, *item.listed) &&
                !mountedOver(*item.folder, item.name.walked.own(), file.identity()))
                throw changedDuringTheWalk(path);
            item.identity = mOnce.of(file);
            if (!writes() ||
                mClaims.claim(*item.identity, item.order, item.name, item.outcome, claimed) ==
                    FileClaims::Claim::First)
                item.outcome = writes() && identity::OnceIdentities::isOfAName(*item.identity) ? jobOnAlone(file)
                                                                                                : jobOn(file);
        } catch (...) {
            item.outcome = failedWith(currentFailure());
        }
        item.folder.reset();
        if (claimed != nullptr)
            mClaims.finished(*claimed);
    }

    FileOutcome jobOn(BinaryFile &file) const noexcept
    {
        FileOutcome outcome;
        outcome.identity = file.identity();
        outcome.size = file.size();
        try {
            const Layout target = mRequest.target;
            switch (mRequest.job) {
            case Job::Look:
                outcome.outcome = Outcome::Looked;
                outcome.before = lookAtLayout(file);
                return outcome;
            case Job::Simulate: outcome.before = previewConversion(file, target, outcome.header); break;
            case Job::Convert: outcome.before = convertInOnePass(file, target, outcome.header); break;
            case Job::SimulateUndo:
            case Job::Undo: break;  // never here: see undoStep
            }
            outcome.outcome = !outcome.before             ? Outcome::Unrecognised
                              : *outcome.before == target ? Outcome::AlreadyThere
                                                          : Outcome::Converted;
            return outcome;
        } catch (...) {
            // What the file was seen to hold before the failure, which its record still tells.
            FileOutcome failed = failedWith(currentFailure());
            failed.before = layoutOf(outcome.header);
            return failed;
        }
    }

    // Where numbers cannot tell two names of one file apart, nor can the lock (a client
    // locks each name on its own), conversions there go one at a time: the later name of a
    // hard-linked file then finds it converted, and the count stays true.
    FileOutcome jobOnAlone(BinaryFile &file)
    {
        const std::lock_guard alone(mUnstableConversion);
        return jobOn(file);
    }

    // Only a conversion claims each file before working on it; a job that writes nothing
    // tells a file's later names as it reports them (see FileClaims).
    [[nodiscard]] bool writes() const { return mRequest.job == Job::Convert; }

    void tellLaterName(Item &item)
    {
        if (std::optional<NativeName> first = mClaims.reportedBefore(*item.identity, item.name)) {
            item.outcome.outcome = Outcome::SameFile;
            item.outcome.before.reset();
            item.outcome.failure.reset();
            item.outcome.sameAs = *std::move(first);
        }
    }

    bool deliver(Item &item)
    {
        if (item.name.given != nullptr)
            item.outcome.name.assign(*item.name.given);
        else
            item.outcome.name = std::move(item.walkedPath);
        if (item.identity && !writes())
            tellLaterName(item);
        else if (item.outcome.outcome == Outcome::SameFile && item.identity)
            item.outcome.sameAs = mClaims.firstNameOf(*item.identity);
        mSummary.count(item.outcome);
        const Progress progress{++mDelivered, mFound.load(), mComplete.load()};
        bool goOn = false;
        try {
            goOn = mListener.report(item.outcome, progress);
        } catch (...) {
            // A front that cannot hand its record on stops the run, as if it had said so.
        }
        // The slot's name keeps its room for the next name given, which is then copied
        // into it without allocating.
        NativeName room = std::move(item.outcome.name);
        room.clear();
        item = Item{};
        item.outcome.name = std::move(room);
        return goOn;
    }

    bool caughtUp()
    {
        try {
            return mListener.caughtUp();
        } catch (...) {
            return false;
        }
    }

    const Request &mRequest;
    Listener &mListener;
    Names mNames;
    identity::OnceIdentities mOnce;
    std::mutex mUnstableConversion;
    FileClaims mClaims;
    std::vector<Item> mSlots;
    // Written by whoever makes items, read by whoever delivers them.
    std::atomic<std::size_t> mFound{0};
    std::atomic<bool> mComplete{false};
    // Only the deliverer's.
    Summary mSummary;
    std::size_t mDelivered = 0;
};

} // namespace

Summary runBatch(const Request &request, Listener &listener, const StopRequest &stop)
{
    Run run(request, listener);
    return run.go(stop);
}

} // namespace vuelco::batch
