#include "cli/file_list.h"

#include "cli/arguments.h"

#include <algorithm>
#include <string_view>
#include <type_traits>
#include <unordered_set>

namespace vuelco::cli {
namespace {

namespace fs = std::filesystem;

bool endsInDat(const fs::path &path)
{
    const fs::path fileName = path.filename();
    const fs::path::string_type &name = fileName.native();
    constexpr std::string_view kDat = ".dat";
    if (name.size() < kDat.size())
        return false;
    return std::equal(kDat.begin(), kDat.end(), name.end() - kDat.size(), [](char wanted, auto found) {
        const auto lower = found >= 'A' && found <= 'Z' ? found - 'A' + 'a' : found;
        return static_cast<fs::path::value_type>(wanted) == lower;
    });
}

bool isSeparator(fs::path::value_type c)
{
    return c == '/' || c == fs::path::preferred_separator;
}

using NameView = std::basic_string_view<fs::path::value_type>;

// Whether the name holds a "." element, repeated separators or a trailing one: the few
// names whose text is not already their key.
bool needsNormalising(NameView name)
{
    if (!name.empty() && isSeparator(name.back()))
        return true;
    for (std::size_t at = 0; at < name.size(); ++at) {
        const bool afterSeparator = at > 0 && isSeparator(name[at - 1]);
        if (afterSeparator && isSeparator(name[at]))
            return true;
        const bool dotElement = name[at] == '.' && (at == 0 || afterSeparator) &&
                                (at + 1 == name.size() || isSeparator(name[at + 1]));
        if (dotElement)
            return true;
    }
    return false;
}

// The name without "." elements and repeated separators, so that "a.dat", "./a.dat" and
// "x//a.dat" after "x/a.dat" count as named before. ".." stays, as it may climb out of a
// symbolic link to somewhere else. Names of one file that still differ (relative and
// absolute, through links) are each converted: the second finds the file already in
// the layout, since a conversion always aims at one layout.
fs::path::string_type sameFileKey(NameView name)
{
    fs::path::string_type key;
    key.reserve(name.size());
    // Leading separators stay as they are: on Windows two of them start a network name.
    std::size_t at = 0;
    while (at < name.size() && isSeparator(name[at]))
        key += name[at++];
    while (at < name.size()) {
        const auto end = std::find_if(name.begin() + static_cast<std::ptrdiff_t>(at), name.end(), isSeparator);
        const auto length = static_cast<std::size_t>(end - name.begin()) - at;
        const bool dot = length == 1 && name[at] == '.';
        if (length > 0 && !dot) {
            if (!key.empty() && !isSeparator(key.back()))
                key += fs::path::preferred_separator;
            key.append(name.substr(at, length));
        }
        at += length + 1;
    }
    // "a.dat/" and "a.dat/." name no file; they must not hide "a.dat".
    const bool endsAsFolder = !name.empty() && (isSeparator(name.back()) || (name.back() == '.' && name.size() > 1 &&
                                                                          isSeparator(name[name.size() - 2])));
    if (endsAsFolder && !key.empty() && !isSeparator(key.back()))
        key += fs::path::preferred_separator;
    return key;
}

// A name from the command line in the system's own text (wide on Windows, from the
// UTF-8 the arguments arrive in there).
template <typename Native>
Native nativeName(std::string name)
{
    if constexpr (std::is_same_v<Native, std::string>)
        return name;
    else
        return fileArgumentPath(name).native();
}

// Lists on the text of the names: a batch of small files would pay dearly for parsing
// every name into a path here, on the one thread, before any worker starts.
class Collector {
public:
    Collector(bool recursive, std::size_t nameCount) : mRecursive(recursive) { mSeen.reserve(nameCount); }

    void addName(std::string name)
    {
        std::error_code error;
        if (mRecursive && fs::is_directory(fs::status(fileArgumentPath(name), error)))
            walk(fileArgumentPath(name));
        else
            addFile(nativeName<fs::path::string_type>(std::move(name)));
    }

    FileList take() { return std::move(mEntries); }

private:
    void addFile(fs::path::string_type name)
    {
        // The keys look into the entries' names, which a deque never moves.
        mEntries.push_back({std::move(name), nullptr});
        NameView key = mEntries.back().name;
        if (needsNormalising(key))
            key = mNormalisedKeys.emplace_back(sameFileKey(key));
        if (!mSeen.insert(key).second)
            mEntries.pop_back();
    }

    void walk(const fs::path &folder)
    {
        std::vector<fs::directory_entry> children;
        std::error_code error;
        for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
            children.push_back(*it);
        if (error) {
            mEntries.push_back({folder.native(), std::make_unique<Failure>(failureFromErrorCode(error, folder))});
            return;
        }
        // The children share their folder's path, so the whole paths sort as their names.
        std::sort(children.begin(), children.end(), [](const fs::directory_entry &a, const fs::directory_entry &b) {
            return a.path().native() < b.path().native();
        });
        for (const fs::directory_entry &child : children) {
            // The listing's own entry type: a link is seen as a link, never followed.
            const fs::file_status status = child.symlink_status(error);
            if (error)
                mEntries.push_back(
                    {child.path().native(), std::make_unique<Failure>(failureFromErrorCode(error, child.path()))});
            else if (fs::is_directory(status))
                walk(child.path());
            else if (!fs::is_symlink(status) && endsInDat(child.path()))
                addFile(child.path().native());
        }
    }

    bool mRecursive;
    FileList mEntries;
    std::deque<fs::path::string_type> mNormalisedKeys;
    std::unordered_set<NameView> mSeen;
};

} // namespace

FileList listFiles(std::vector<std::string> names, bool recursive)
{
    Collector collector(recursive, names.size());
    for (std::string &name : names)
        collector.addName(std::move(name));
    return collector.take();
}

} // namespace vuelco::cli
