#pragma once

#include "batch/entry_name.h"

#include <deque>
#include <memory_resource>
#include <string_view>
#include <unordered_map>

namespace vuelco::batch {

// Tells a name given again apart by its text alone, before anything is opened: the cheap
// first filter against a file named twice. Names of one file that differ in more than
// that (relative and absolute, through links) are told apart once open, by identity.
class GivenNames {
public:
    explicit GivenNames(std::size_t count) { mKeys.reserve(count); }

    // The name given first in one of the spellings of the same path as name ("a.dat" for
    // "./a.dat", "x/a.dat" for "x//a.dat"), or nullptr when name is the first. Remembers
    // it, by a view into the name, which must outlive this.
    [[nodiscard]] const NativeName *givenBefore(const NativeName &name);

    // The text two names of the same path share: without "." elements and repeated
    // separators. ".." stays, as it may climb out of a symbolic link to somewhere else; a
    // name made only of "." elements is ".", and the empty name (no file) stays empty.
    [[nodiscard]] static NativeName keyOf(const NativeName &name);

private:
    using Key = std::basic_string_view<NativeName::value_type>;

    // keyOf, made in key.
    static void keyInto(const NativeName &name, NativeName &key);
    // Whether name is surely its own key: no "." element, no separator repeated or other
    // than the system's own past the leading ones. False sends it to keyInto.
    [[nodiscard]] static bool isOwnKey(const NativeName &name);

    // Every key is kept to the end: taken from a pool in blocks, not allocated one by one.
    std::pmr::monotonic_buffer_resource mPool;
    std::pmr::unordered_map<Key, const NativeName *> mKeys{&mPool};  // to the first name of each
    std::deque<NativeName> mMadeKeys;  // the keys that are not a name's own text
    NativeName mKey;                   // the last name's key
};

} // namespace vuelco::batch
