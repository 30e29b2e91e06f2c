#include "batch/entry_name.h"

#include <vector>

namespace vuelco::batch {

void appendEntry(NativeName &folder, const NativeName &name)
{
    if (!folder.empty() && !isSeparator(folder.back()))
        folder += std::filesystem::path::preferred_separator;
    folder += name;
}

NativeName EntryName::text() const
{
    std::vector<const EntryName *> chain;
    for (const EntryName *name = this; name != nullptr; name = name->mFolder.get())
        chain.push_back(name);
    NativeName text = chain.back()->mOwn;
    for (auto name = chain.rbegin() + 1; name != chain.rend(); ++name)
        appendEntry(text, (*name)->mOwn);
    return text;
}

} // namespace vuelco::batch
