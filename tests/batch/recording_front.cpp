#include "recording_front.h"

#include "words/layout_words.h"

#include <gtest/gtest.h>

using namespace vuelco;
using namespace vuelco::batch;

std::string said(const FileOutcome &outcome)
{
    std::string name = std::filesystem::path(outcome.name).string() + ' ';
    const std::string layout = outcome.before ? std::string(words::layoutCaption(*outcome.before)) : "?";
    switch (outcome.outcome) {
    case Outcome::Looked: return name + "looked " + layout;
    case Outcome::Converted: return name + "converted from " + layout;
    case Outcome::AlreadyThere: return name + "already";
    case Outcome::Unrecognised: return name + "unrecognised";
    case Outcome::SameFile: return name + "same as " + std::filesystem::path(outcome.sameAs).string();
    case Outcome::Failed: return name + "failed " + std::to_string(outcome.failure->number());
    case Outcome::AlreadyUndone: return name + "already undone";
    case Outcome::ChangedSince: return name + "changed since";
    case Outcome::NotFound: return name + "not found";
    case Outcome::OtherFile: return name + "other file";
    }
    return name;
}

std::string counted(const Summary &summary)
{
    return "arcade " + std::to_string(summary.arcade) + ", pc " + std::to_string(summary.pcEmulator) +
           ", converted " + std::to_string(summary.converted) + ", already " + std::to_string(summary.alreadyThere) +
           ", unrecognised " + std::to_string(summary.unrecognised) + ", failed " + std::to_string(summary.failed) +
           ", same " + std::to_string(summary.sameFile);
}

bool RecordingFront::report(const FileOutcome &outcome, const Progress &progress)
{
    EXPECT_EQ(progress.done, lines.size() + 1) << "an outcome was skipped or reported twice";
    EXPECT_LE(progress.done, progress.found);
    lines.push_back(said(outcome));
    return goOn();
}

Ran runOn(const std::vector<std::filesystem::path> &names, Job job, bool recursive, unsigned workers,
          RecordingFront *front, const StopRequest *stop)
{
    Request request;
    for (const std::filesystem::path &name : names)
        request.names.push_back(name.native());
    request.recursive = recursive;
    request.job = job;
    request.target = Layout::PcEmulator;
    request.workers = workers;
    RecordingFront ownFront;
    const StopRequest noStop;
    RecordingFront &used = front != nullptr ? *front : ownFront;
    const Summary summary = runBatch(request, used, stop != nullptr ? *stop : noStop);
    return {used.lines, summary};
}
