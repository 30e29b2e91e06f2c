#include "batch/walk.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>
#include <numeric>
#include <string_view>
#include <type_traits>

namespace vuelco::batch {
namespace {

// The folders held open below the top one: the deepest, where the walk is. Enough that a
// walk rarely takes one back, few enough that a tree thousands of folders deep stays far
// below the system's limit of open descriptors.
constexpr std::size_t kFoldersKeptOpen = 16;

bool endsInDat(const NativeName &name)
{
    constexpr std::string_view kDat = ".dat";
    if (name.size() < kDat.size())
        return false;
    return std::equal(kDat.begin(), kDat.end(), name.end() - kDat.size(), [](char wanted, auto found) {
        const auto lower = found >= 'A' && found <= 'Z' ? found - 'A' + 'a' : found;
        return static_cast<NativeName::value_type>(wanted) == lower;
    });
}

// The units every name of the folder begins with: a collection's names mostly differ only
// after a beginning they share ("cancion_001.dat", "cancion_002.dat").
std::size_t sharedBeginning(const std::vector<ListedEntry> &entries)
{
    if (entries.empty())
        return 0;
    const NativeName &first = entries.front().name;
    auto shared = first.end();
    for (const ListedEntry &entry : entries)
        shared = std::mismatch(first.begin(), shared, entry.name.begin(), entry.name.end()).first;
    return static_cast<std::size_t>(shared - first.begin());
}

// A name's first characters after the shared beginning as one number that orders as the
// name does (a name holds no zero character, so a shorter one comes first as it should):
// most comparisons of a large folder's names are then one of two numbers rather than of
// two strings.
std::uint64_t leadOf(const NativeName &name, std::size_t from)
{
    using Unit = std::make_unsigned_t<NativeName::value_type>;
    constexpr std::size_t kUnitBits = 8 * sizeof(Unit);
    std::uint64_t lead = 0;
    for (std::size_t at = from; at < from + sizeof(lead) / sizeof(Unit); ++at)
        lead = (lead << kUnitBits) | (at < name.size() ? static_cast<Unit>(name[at]) : 0U);
    return lead;
}

struct Key {
    std::uint64_t lead;
    std::size_t entry;
};

// From this many entries on, the keys are put in order a byte of their leads at a time,
// each pass a few instructions a key: a comparison sort took 15 to 22 ms over 100,000
// names (36 ms where they shared their first eight characters), all of it before the
// folder's first file could be taken; this takes 8 to 14 ms.
constexpr std::size_t kOrderedByBytesFrom = 1024;

// Orders keys by lead, the least significant byte first, passing over the bytes that
// every lead shares.
void orderByLead(std::vector<Key> &keys)
{
    std::vector<Key> ordered(keys.size());
    for (unsigned shift = 0; shift < 64; shift += 8) {
        std::array<std::size_t, 256> counts{};
        for (const Key &key : keys)
            ++counts[(key.lead >> shift) & 0xFFU];
        if (std::find(counts.begin(), counts.end(), keys.size()) != counts.end())
            continue;
        std::exclusive_scan(counts.begin(), counts.end(), counts.begin(), std::size_t{0});
        for (const Key &key : keys)
            ordered[counts[(key.lead >> shift) & 0xFFU]++] = key;
        keys.swap(ordered);
    }
}

// Sorts small keys and moves each entry once: sorting the entries themselves moved each
// name some dozens of times, which made the sort most of a large folder's walk.
void sortByName(std::vector<ListedEntry> &entries)
{
    const std::size_t from = sharedBeginning(entries);
    std::vector<Key> keys;
    keys.reserve(entries.size());
    for (std::size_t entry = 0; entry < entries.size(); ++entry)
        keys.push_back({leadOf(entries[entry].name, from), entry});
    const auto byName = [&](const Key &a, const Key &b) {
        return a.lead != b.lead ? a.lead < b.lead : entries[a.entry].name < entries[b.entry].name;
    };
    if (keys.size() < kOrderedByBytesFrom) {
        std::sort(keys.begin(), keys.end(), byName);
    } else {
        orderByLead(keys);
        // Then the names alike in their leads, which only names longer than a lead can be.
        for (auto run = keys.begin(); run != keys.end();) {
            const auto next = std::find_if(run, keys.end(), [&](const Key &key) { return key.lead != run->lead; });
            if (next - run > 1)
                std::sort(run, next, byName);
            run = next;
        }
    }
    std::vector<ListedEntry> sorted;
    sorted.reserve(entries.size());
    std::transform(keys.begin(), keys.end(), std::back_inserter(sorted),
                   [&](const Key &key) { return std::move(entries[key.entry]); });
    entries = std::move(sorted);
}

} // namespace

Walk::Walk(NativeName given, std::shared_ptr<Folder> top) : mPath(std::move(given))
{
    Level level;
    level.name = std::make_shared<const EntryName>(mPath);
    level.identity = top->identity();
    level.folder = std::move(top);
    level.pathLength = mPath.size();
    mLevels.push_back(std::move(level));
}

std::optional<Found> Walk::next()
{
    if (!mStarted) {
        mStarted = true;
        if (std::optional<Found> failure = list(mLevels.back()))
            return failure;
    }
    while (!mLevels.empty()) {
        Level &level = mLevels.back();
        std::optional<Found> found =
            level.next == level.entries.size() ? leave() : take(level.entries[level.next++]);
        if (found)
            return found;
    }
    return std::nullopt;
}

std::optional<Found> Walk::list(Level &level) const
{
    try {
        level.entries = listFolder(*level.folder, mPath);
    } catch (const Failure &failure) {
        return Found{*level.name, mPath, nullptr, {}, failure};
    }
    sortByName(level.entries);
    return std::nullopt;
}

std::optional<Found> Walk::take(ListedEntry &entry)
{
    const bool dat = endsInDat(entry.name);
    const auto passedOver = [&] {
        return entry.kind == EntryKind::Link ||
               (!dat && entry.kind != EntryKind::Folder && entry.kind != EntryKind::Unknown);
    };
    if (passedOver())
        return std::nullopt;
    const Level &level = mLevels.back();
    NativeName path;
    path.reserve(mPath.size() + 1 + entry.name.size());  // built in one allocation
    path = mPath;
    appendEntry(path, entry.name);
    EntryName name(level.name, entry.name);
    try {
        // A pipe, a socket or a device is told from the listing: opening one may wait or
        // set it off (a tape rewinds, a watchdog arms). A file listed with its identity is
        // checked against it once open, where numbers tell; a folder is looked up, as one
        // may be mounted over.
        if (entry.kind == EntryKind::Folder || entry.kind == EntryKind::Unknown ||
            (entry.kind == EntryKind::File && !entry.identity && level.folder->numbers() == FileNumbers::Stable))
            describe(*level.folder, entry, path);
        if (passedOver())
            return std::nullopt;
        switch (entry.kind) {
        case EntryKind::Folder:
            goInto(entry, path);
            return std::nullopt;
        case EntryKind::File:
            return Found{std::move(name), std::move(path), level.folder, entry.identity.value_or(FileIdentity{}), {}};
        default:
            return Found{std::move(name), path, nullptr, {},
                         Failure(FailureNumber::BadFileName, path,
                                 FailureDetail::ofKind(fileKindOf(entry.kind)))};
        }
    } catch (const Failure &failure) {
        return Found{std::move(name), std::move(path), nullptr, {}, failure};
    }
}

void Walk::goInto(const ListedEntry &entry, const NativeName &path)
{
    Level child;
    child.folder = openSubfolder(*mLevels.back().folder, entry, path);
    child.identity = child.folder->identity();
    child.entries = listFolder(*child.folder, path);
    sortByName(child.entries);
    child.name = std::make_shared<const EntryName>(mLevels.back().name, entry.name);
    mPath = path;
    child.pathLength = mPath.size();
    mLevels.push_back(std::move(child));
    // The top folder stays open, and the deepest few below it.
    if (mLevels.size() > kFoldersKeptOpen + 1)
        mLevels[mLevels.size() - kFoldersKeptOpen - 1].folder.reset();
}

std::optional<Found> Walk::leave()
{
    const Level left = std::move(mLevels.back());
    mLevels.pop_back();
    if (mLevels.empty())
        return std::nullopt;
    Level &parent = mLevels.back();
    mPath.resize(parent.pathLength);
    if (parent.folder)
        return std::nullopt;
    try {
        parent.folder = reopenParent(left.folder.get(), parent.identity, mPath);
        return std::nullopt;
    } catch (const Failure &failure) {
        // The rest of the folder cannot be walked, nor can its parent be taken back
        // through it: each folder above with entries left reports the same.
        const bool restLeft = parent.next < parent.entries.size();
        parent.next = parent.entries.size();
        if (restLeft)
            return Found{*parent.name, mPath, nullptr, {}, failure};
        return std::nullopt;
    }
}

} // namespace vuelco::batch
