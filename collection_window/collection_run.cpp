#include "collection_window/collection_run.h"

#include "batch/listener.h"
#include "batch/record_lines.h"
#include "batch/run_batch.h"
#include "forms/controls.h"
#include "runtime/name_text.h"
#include "words/failure_words.h"
#include "words/layout_words.h"
#include "words/outcome_words.h"

#include <chrono>
#include <optional>

namespace vuelco {
namespace {

using Clock = std::chrono::steady_clock;

// Often enough for a bar that moves smoothly, seldom enough to cost the window nothing.
constexpr auto kProgressEvery = std::chrono::milliseconds(30);

QString notUndone(std::string_view why)
{
    return QString::fromUtf8(why.data(), static_cast<qsizetype>(why.size())) +
           QString::fromUtf8(words::kNotUndoneNote.data(), static_cast<qsizetype>(words::kNotUndoneNote.size()));
}

// What taking back a conversion the engine reported needs, as a record's line carries it.
batch::UndoStep undoStepOf(const batch::FileOutcome &outcome)
{
    const Layout found = *outcome.before;
    return {*outcome.identity, outcome.size, outcome.header,
            composeHeader(otherLayout(found), groupsOf(outcome.header, found))};
}

// Why the outcome belongs in the list of files not converted; nothing when it does not.
std::optional<QString> problemOf(const batch::FileOutcome &outcome)
{
    switch (outcome.outcome) {
    case batch::Outcome::Failed: return QString::fromStdString(words::failureReason(*outcome.failure));
    case batch::Outcome::Unrecognised:
        return forms::caption(words::kUnknownCaption) + forms::caption(words::kNotConvertedNote);
    case batch::Outcome::Looked:
        if (!outcome.before)
            return forms::caption(words::kUnknownCaption);
        return std::nullopt;
    case batch::Outcome::ChangedSince: return notUndone(words::kChangedSinceText);
    case batch::Outcome::NotFound: return notUndone(words::kNotFoundText);
    case batch::Outcome::OtherFile: return notUndone(words::kOtherFileText);
    case batch::Outcome::Converted:
    case batch::Outcome::AlreadyThere:
    case batch::Outcome::SameFile:
    case batch::Outcome::AlreadyUndone: return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

struct CollectionRun::Result {
    batch::Summary summary;
    QStringList problems;
    batch::UndoRecord converted;
    std::optional<Failure> recordFailure;
    bool conversion = false;
};

// Hears the engine on its delivering thread: keeps the problems and the conversions, writes
// the record, and posts the progress to the window's thread at most every kProgressEvery.
class CollectionRun::Front final : public batch::Listener {
public:
    Front(CollectionRun &run, const batch::Request &request, std::unique_ptr<KeptRecord> record)
        : mRun(run), mRecord(std::move(record)), mKeepsSteps(request.job == batch::Job::Convert),
          mLines({request.job == batch::Job::Undo, false, request.target}, {})
    {
    }

    bool report(const batch::FileOutcome &outcome, const batch::Progress &progress) override
    {
        if (std::optional<QString> reason = problemOf(outcome))
            mResult.problems.append(QString::fromStdString(escapedName(outcome.name)) + QStringLiteral(": ") + *reason);
        if (mKeepsSteps && outcome.outcome == batch::Outcome::Converted && outcome.identity) {
            mResult.converted.paths.push_back(outcome.name);
            mResult.converted.steps.push_back(undoStepOf(outcome));
        }
        const Clock::time_point now = Clock::now();
        if (now - mLastTold >= kProgressEvery || (progress.complete && progress.done == progress.found)) {
            mLastTold = now;
            emit mRun.progressed(progress.done, progress.found, progress.complete);
        }
        if (mRecord == nullptr)
            return true;
        mLines.compose(mLine, outcome);
        return onRecord([this] { mRecord->file.write(mLine); });
    }

    bool caughtUp() override { return true; }

    // Every line on the device before the summary says the run is over; a run that wrote
    // nothing leaves no record.
    Result finish(const batch::Summary &summary)
    {
        mResult.summary = summary;
        if (mRecord != nullptr) {
            (void)(onRecord([this] { mRecord->file.flush(); }) &&
                   onRecord([&] { mRecord->file.write(mLines.summary(summary, summary.stopped, 0)); }) &&
                   onRecord([this] { mRecord->file.flush(); }));
            const std::filesystem::path path = mRecord->path;
            mRecord.reset();  // closed first: Windows removes no file still open
            std::error_code error;
            if (summary.converted == 0 && !mResult.recordFailure)
                std::filesystem::remove(path, error);
        }
        mResult.conversion = mKeepsSteps;
        return std::move(mResult);
    }

private:
    template <class Action>
    bool onRecord(Action action)
    {
        if (mResult.recordFailure)
            return false;
        try {
            action();
            return true;
        } catch (const Failure &failure) {
            mResult.recordFailure = failure;
            return false;
        }
    }

    CollectionRun &mRun;
    std::unique_ptr<KeptRecord> mRecord;
    bool mKeepsSteps;
    batch::RecordLines mLines;
    std::string mLine;
    Result mResult;
    Clock::time_point mLastTold;
};

CollectionRun::CollectionRun(QObject *parent) : QObject(parent), mStop(std::make_unique<batch::StopRequest>()) {}

CollectionRun::~CollectionRun()
{
    mStop->request();
    if (mThread.joinable())
        mThread.join();
}

void CollectionRun::start(batch::Request request, std::unique_ptr<KeptRecord> record)
{
    if (mRunning)
        return;
    if (mThread.joinable())
        mThread.join();
    mRunning = true;
    mStop = std::make_unique<batch::StopRequest>();
    mThread = std::jthread([this, request = std::move(request), record = std::move(record), &stop = *mStop]() mutable {
        Front front(*this, request, std::move(record));
        auto result = std::make_shared<Result>(front.finish(batch::runBatch(request, front, stop)));
        QMetaObject::invokeMethod(this, [this, result] { takeResult(std::move(*result)); }, Qt::QueuedConnection);
    });
}

void CollectionRun::takeResult(Result result)
{
    mSummary = result.summary;
    mProblems = std::move(result.problems);
    mRecordFailure = std::move(result.recordFailure);
    // A look or an undo leaves the last conversion's files to be taken back.
    if (result.conversion)
        mConverted = std::move(result.converted);
    mRunning = false;
    emit finished();
}

} // namespace vuelco
