#include "batch/file_claims.h"

namespace vuelco::batch {
namespace {

// The outcome of a later name; which name came first is known for sure only once every
// earlier one was reported (firstNameOf).
FileOutcome sameFile()
{
    FileOutcome outcome;
    outcome.outcome = Outcome::SameFile;
    return outcome;
}

} // namespace

FileClaims::Claim FileClaims::claim(const FileIdentity &identity, std::size_t order, const RunName &name,
                                    FileOutcome &outcome, Holder *&first)
{
    std::unique_lock lock(mMutex);
    const auto [found, fresh] = mHolders.try_emplace(identity, order, name, &outcome);
    Holder &holder = found->second;
    if (fresh) {
        first = &holder;
        return Claim::First;
    }
    if (order > holder.first) {
        outcome = sameFile();
        return Claim::Repeated;
    }
    // The earliest name so far: the file's outcome is this name's to report, once the
    // work on it is over. Only an even earlier name could take it from here meanwhile.
    holder.first = order;
    holder.firstName = name;
    holder.awaited = true;
    mFinished.wait(lock, [&] { return holder.finished.load(); });
    if (holder.first != order) {
        outcome = sameFile();
        return Claim::Repeated;
    }
    outcome = std::move(*holder.outcome);
    *holder.outcome = sameFile();
    holder.outcome = &outcome;
    return Claim::Repeated;
}

std::optional<NativeName> FileClaims::reportedBefore(const FileIdentity &identity, const RunName &name)
{
    const std::lock_guard lock(mMutex);
    const auto [found, fresh] = mHolders.try_emplace(identity, 0, name, nullptr);
    if (fresh)
        return std::nullopt;
    return found->second.firstName.text();
}

NativeName FileClaims::firstNameOf(const FileIdentity &identity)
{
    const std::lock_guard lock(mMutex);
    return mHolders.at(identity).firstName.text();
}

void FileClaims::finished(Holder &holder)
{
    holder.finished = true;
    if (!holder.awaited)
        return;
    // The waiting name holds the lock from saying so until it waits: taking it here makes
    // sure the wake comes once it waits.
    { const std::lock_guard lock(mMutex); }
    mFinished.notify_all();
}

} // namespace vuelco::batch
