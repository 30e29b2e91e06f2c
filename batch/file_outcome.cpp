#include "batch/file_outcome.h"

namespace vuelco::batch {

void Summary::count(const FileOutcome &outcome)
{
    switch (outcome.outcome) {
    case Outcome::Looked:
        ++(!outcome.before                        ? unrecognised
           : *outcome.before == Layout::Arcade ? arcade
                                                 : pcEmulator);
        break;
    case Outcome::Converted: ++converted; break;
    case Outcome::AlreadyThere: ++alreadyThere; break;
    case Outcome::Unrecognised: ++unrecognised; break;
    case Outcome::SameFile: ++sameFile; break;
    case Outcome::Failed: ++failed; break;
    case Outcome::AlreadyUndone: ++alreadyUndone; break;
    case Outcome::ChangedSince: ++changedSince; break;
    case Outcome::NotFound: ++notFound; break;
    case Outcome::OtherFile: ++otherFile; break;
    }
}

} // namespace vuelco::batch
