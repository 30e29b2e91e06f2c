#include "batch/given_names.h"

#include <algorithm>

namespace vuelco::batch {

NativeName GivenNames::keyOf(const NativeName &name)
{
    NativeName key;
    keyInto(name, key);
    return key;
}

void GivenNames::keyInto(const NativeName &name, NativeName &key)
{
    key.clear();
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
    if (key.empty()) {
        if (!name.empty())
            key = '.';
        return;
    }
    // "a.dat/" and "a.dat/." name no file; they must not hide "a.dat".
    const bool endsAsFolder = isSeparator(name.back()) ||
                              (name.back() == '.' && name.size() > 1 && isSeparator(name[name.size() - 2]));
    if (endsAsFolder && !isSeparator(key.back()))
        key += std::filesystem::path::preferred_separator;
}

bool GivenNames::isOwnKey(const NativeName &name)
{
    std::size_t at = 0;
    while (at < name.size() && isSeparator(name[at]))
        ++at;
    std::size_t element = at;
    for (; at < name.size(); ++at) {
        if (!isSeparator(name[at]))
            continue;
        const std::size_t length = at - element;
        if (name[at] != std::filesystem::path::preferred_separator || length == 0 ||
            (length == 1 && name[element] == '.'))
            return false;
        element = at + 1;
    }
    return !(name.size() - element == 1 && name[element] == '.');
}

const NativeName *GivenNames::givenBefore(const NativeName &name)
{
    const auto firstOf = [](const auto &inserted) { return inserted.second ? nullptr : inserted.first->second; };
    // Most names are already their own key, which one look tells: only the others keep a
    // key of their own, made in a buffer kept from name to name.
    if (isOwnKey(name))
        return firstOf(mKeys.try_emplace(Key(name), &name));
    keyInto(name, mKey);
    if (mKey == name)
        return firstOf(mKeys.try_emplace(Key(name), &name));
    if (const auto found = mKeys.find(Key(mKey)); found != mKeys.end())
        return found->second;
    mKeys.try_emplace(Key(mMadeKeys.emplace_back(mKey)), &name);
    return nullptr;
}

} // namespace vuelco::batch
