#include "batch/reported_files.h"

#include <bit>
#include <cstdint>

namespace vuelco::batch {
namespace {

constexpr std::size_t kFirstSlots = 1024;

// Spreads the identities over the slots, taking the top bits of a product: the files of a
// folder often have numbers in steps of a power of two, which the low bits would pile up.
std::size_t placeOf(const FileIdentity &identity, std::size_t slots)
{
    constexpr std::uint64_t kSpread = 0x9E3779B97F4A7C15U;  // 2^64 divided by the golden ratio
    const std::uint64_t mixed = std::uint64_t{FileIdentityHash()(identity)} * kSpread;
    return static_cast<std::size_t>(mixed >> (64 - std::countr_zero(slots)));
}

} // namespace

const RunName *ReportedFiles::reportedBefore(const FileIdentity &identity, RunName &&name)
{
    makeRoomForOneMore();
    Slot &slot = slotOf(identity);
    if (slot != 0)
        return &mReported[slot - 1].name;
    mReported.push_back({identity, std::move(name)});
    slot = static_cast<Slot>(mReported.size());
    return nullptr;
}

ReportedFiles::Slot &ReportedFiles::slotOf(const FileIdentity &identity)
{
    const std::size_t last = mSlots.size() - 1;
    for (std::size_t at = placeOf(identity, mSlots.size());; at = (at + 1) & last) {
        Slot &slot = mSlots[at];
        if (slot == 0 || mReported[slot - 1].identity == identity)
            return slot;
    }
}

void ReportedFiles::makeRoomForOneMore()
{
    if (2 * (mReported.size() + 1) <= mSlots.size())
        return;
    mSlots.assign(mSlots.empty() ? kFirstSlots : 2 * mSlots.size(), 0);
    for (std::size_t at = 0; at < mReported.size(); ++at)
        slotOf(mReported[at].identity) = static_cast<Slot>(at + 1);
}

} // namespace vuelco::batch
