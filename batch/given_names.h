#pragma once

#include "batch/entry_name.h"

#include <unordered_map>

namespace vuelco::batch {

// Tells a name given again apart by its text alone, before anything is opened: the cheap
// first filter against a file named twice. Names of one file that differ in more than
// that (relative and absolute, through links) are told apart once open, by identity.
class GivenNames {
public:
    // The name given first in one of the spellings of the same path as name ("a.dat" for
    // "./a.dat", "x/a.dat" for "x//a.dat"), or nullptr when name is the first. Remembers
    // a pointer to name, which must outlive this.
    [[nodiscard]] const NativeName *givenBefore(const NativeName &name);

    // The text two names of the same path share: without "." elements and repeated
    // separators. ".." stays, as it may climb out of a symbolic link to somewhere else; a
    // name made only of "." elements is ".", and the empty name (no file) stays empty.
    [[nodiscard]] static NativeName keyOf(const NativeName &name);

private:
    std::unordered_map<NativeName, const NativeName *> mFirsts;  // by key
};

} // namespace vuelco::batch
