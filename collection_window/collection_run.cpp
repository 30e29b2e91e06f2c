#include "collection_window/collection_run.h"

#include "batch/listener.h"
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
    case batch::Outcome::Converted:
    case batch::Outcome::AlreadyThere:
    case batch::Outcome::SameFile:
    // The window runs no undo.
    case batch::Outcome::AlreadyUndone:
    case batch::Outcome::ChangedSince:
    case batch::Outcome::NotFound:
    case batch::Outcome::OtherFile: return std::nullopt;
    }
    return std::nullopt;
}

} // namespace

// Hears the engine on its delivering thread: keeps the problems, and posts the progress
// to the window's thread at most every kProgressEvery.
class CollectionRun::Front final : public batch::Listener {
public:
    explicit Front(CollectionRun &run) : mRun(run) {}

    bool report(const batch::FileOutcome &outcome, const batch::Progress &progress) override
    {
        if (std::optional<QString> reason = problemOf(outcome))
            mProblems.append(QString::fromStdString(escapedName(outcome.name)) + QStringLiteral(": ") + *reason);
        const Clock::time_point now = Clock::now();
        if (now - mLastTold >= kProgressEvery || (progress.complete && progress.done == progress.found)) {
            mLastTold = now;
            emit mRun.progressed(progress.done, progress.found, progress.complete);
        }
        return true;
    }

    bool caughtUp() override { return true; }

    QStringList takeProblems() { return std::move(mProblems); }

private:
    CollectionRun &mRun;
    QStringList mProblems;
    Clock::time_point mLastTold;
};

CollectionRun::CollectionRun(QObject *parent) : QObject(parent), mStop(std::make_unique<batch::StopRequest>()) {}

CollectionRun::~CollectionRun()
{
    mStop->request();
    if (mThread.joinable())
        mThread.join();
}

void CollectionRun::start(batch::Request request)
{
    if (mRunning)
        return;
    if (mThread.joinable())
        mThread.join();
    mRunning = true;
    mStop = std::make_unique<batch::StopRequest>();
    mThread = std::jthread([this, request = std::move(request), &stop = *mStop] {
        Front front(*this);
        const batch::Summary summary = batch::runBatch(request, front, stop);
        QMetaObject::invokeMethod(
            this, [this, summary, problems = front.takeProblems()] { takeResult(summary, problems); },
            Qt::QueuedConnection);
    });
}

void CollectionRun::takeResult(const batch::Summary &summary, QStringList problems)
{
    mSummary = summary;
    mProblems = std::move(problems);
    mRunning = false;
    emit finished();
}

} // namespace vuelco
