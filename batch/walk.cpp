#include "batch/walk.h"

#include <algorithm>
#include <string_view>

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

void sortByName(std::vector<ListedEntry> &entries)
{
    std::sort(entries.begin(), entries.end(), [](const ListedEntry &a, const ListedEntry &b) { return a.name < b.name; });
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
