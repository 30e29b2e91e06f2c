#pragma once

#include <string_view>

namespace vuelco {

// Removes leading and trailing spaces (character 32) and nothing else: a tab or a
// line break is content, so a name made of tabs is not blank.
template <class Char>
[[nodiscard]] constexpr std::basic_string_view<Char> trimSpaces(std::basic_string_view<Char> text)
{
    const auto first = text.find_first_not_of(Char(' '));
    if (first == std::basic_string_view<Char>::npos)
        return {};
    return text.substr(first, text.find_last_not_of(Char(' ')) - first + 1);
}

template <class Char>
[[nodiscard]] constexpr bool isBlank(std::basic_string_view<Char> text)
{
    return trimSpaces(text).empty();
}

} // namespace vuelco
