#include "batch/walk.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
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

// What an entry that is no file nor folder is, as the file layer says it of a name given.
const char *whatItIs(EntryKind kind)
{
    switch (kind) {
    case EntryKind::Pipe: return "No se puede abrir: es una tubería con nombre";
    case EntryKind::Socket: return "No se puede abrir: es un socket";
    case EntryKind::Device: return "No se puede abrir: es un dispositivo";
    default: return "No se puede abrir: no es un archivo común";
    }
}

// A name's first characters as one number that orders as the name does (a name holds no
// zero character, so a shorter one comes first as it should): most comparisons of a large
// folder's names are then one of two numbers rather than of two strings.
std::uint64_t leadOf(const NativeName &name)
{
    using Unit = std::make_unsigned_t<NativeName::value_type>;
    constexpr std::size_t kUnitBits = 8 * sizeof(Unit);
    std::uint64_t lead = 0;
    for (std::size_t at = 0; at < sizeof(lead) / sizeof(Unit); ++at)
        lead = (lead << kUnitBits) | (at < name.size() ? static_cast<Unit>(name[at]) : 0U);
    return lead;
}

// Sorts small keys and moves each entry once: sorting the entries themselves moved each
// name some dozens of times, which made the sort most of a large folder's walk.
void sortByName(std::vector<ListedEntry> &entries)
{
    struct Key {
        std::uint64_t lead;
        std::size_t entry;
    };
    std::vector<Key> keys;
    keys.reserve(entries.size());
    for (std::size_t entry = 0; entry < entries.size(); ++entry)
        keys.push_back({leadOf(entries[entry].name), entry});
    std::sort(keys.begin(), keys.end(), [&](const Key &a, const Key &b) {
        return a.lead != b.lead ? a.lead < b.lead : entries[a.entry].name < entries[b.entry].name;
    });
    std::vector<ListedEntry> sorted;
    sorted.reserve(entries.size());
    std::transform(keys.begin(), keys.end(), std::back_inserter(sorted),
                   [&](const Key &key) { return std::move(entries[key.entry]); });
    entries = std::move(sorted);
}

} // namespace

Failure changedDuringTheWalk(const NativeName &path)
{
    return Failure(FailureNumber::DeviceIo,
                   "Cambió durante el recorrido: se movió, se reemplazó o es ahora un enlace. No se tocó", path);
}

Walk::Walk(NativeName given, std::shared_ptr<Folder> top) : mPath(std::move(given))
{
    Level level;
    level.name = std::make_shared<const EntryName>(mPath);
    level.identity = identityOf(*top);
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
        // checked against it once open; a folder is looked up, as one may be mounted over.
        if (entry.kind == EntryKind::Folder || entry.kind == EntryKind::Unknown ||
            (entry.kind == EntryKind::File && !entry.identity))
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
                         Failure(FailureNumber::BadFileName, whatItIs(entry.kind), path)};
        }
    } catch (const Failure &failure) {
        return Found{std::move(name), std::move(path), nullptr, {}, failure};
    }
}

void Walk::goInto(const ListedEntry &entry, const NativeName &path)
{
    Level child;
    child.folder = openSubfolder(*mLevels.back().folder, entry, path);
    child.identity = identityOf(*child.folder);
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
