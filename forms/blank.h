#pragma once

#include "runtime/text.h"

#include <QString>
#include <string_view>

namespace vuelco::forms {

// Whether a text is empty once its leading and trailing spaces (character 32 only) are removed.
[[nodiscard]] inline bool isBlank(const QString &text)
{
    return vuelco::isBlank(std::u16string_view(reinterpret_cast<const char16_t *>(text.utf16()),
                                               static_cast<std::size_t>(text.size())));
}

} // namespace vuelco::forms
