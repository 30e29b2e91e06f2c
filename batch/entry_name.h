#pragma once

#include "runtime/name_text.h"

#include <memory>

namespace vuelco::batch {

using vuelco::NativeName;

// A name a run reports: one given, or an entry a walk found below one. An entry keeps only
// its own name and shares its folder's, so the names of a tree cost what its entries' own
// names cost, however deep it is.
class EntryName {
public:
    EntryName() = default;
    explicit EntryName(NativeName given) : mOwn(std::move(given)) {}
    EntryName(std::shared_ptr<const EntryName> folder, NativeName entry)
        : mFolder(std::move(folder)), mOwn(std::move(entry))
    {
    }

    // The whole name: the one given, then each entry below it after the system's
    // separator (none is added after a name that ends in one).
    [[nodiscard]] NativeName text() const;
    // The entry's own name; the whole name, for one given.
    [[nodiscard]] const NativeName &own() const noexcept { return mOwn; }
    [[nodiscard]] bool walked() const noexcept { return mFolder != nullptr; }

private:
    std::shared_ptr<const EntryName> mFolder;
    NativeName mOwn;
};

// A name of a run as it is kept to the end, to say what a later name of a file is the same
// as: a name given by the address of the request's own text, which outlives the run, so
// that keeping it copies nothing; an entry a walk found by its EntryName, which shares its
// folder's.
struct RunName {
    const NativeName *given = nullptr;
    EntryName walked;

    [[nodiscard]] NativeName text() const { return given != nullptr ? *given : walked.text(); }
};

// Whether c separates folders in a name: '/' everywhere, and '\' too on Windows.
[[nodiscard]] constexpr bool isSeparator(std::filesystem::path::value_type c)
{
    return c == '/' || c == std::filesystem::path::preferred_separator;
}

// Appends the separator and then name to folder, no separator after one already there.
void appendEntry(NativeName &folder, const NativeName &name);

} // namespace vuelco::batch
