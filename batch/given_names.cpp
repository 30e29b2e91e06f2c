#include "batch/given_names.h"

#include <algorithm>

namespace vuelco::batch {

NativeName GivenNames::keyOf(const NativeName &name)
{
    NativeName key;
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
                key += std::filesystem::path::preferred_separator;
            key.append(name, at, length);
        }
        at += length + 1;
    }
    if (key.empty())
        return name.empty() ? key : NativeName(1, '.');
    // "a.dat/" and "a.dat/." name no file; they must not hide "a.dat".
    const bool endsAsFolder = isSeparator(name.back()) ||
                              (name.back() == '.' && name.size() > 1 && isSeparator(name[name.size() - 2]));
    if (endsAsFolder && !isSeparator(key.back()))
        key += std::filesystem::path::preferred_separator;
    return key;
}

const NativeName *GivenNames::givenBefore(const NativeName &name)
{
    const auto [found, fresh] = mFirsts.try_emplace(keyOf(name), &name);
    return fresh ? nullptr : found->second;
}

} // namespace vuelco::batch
