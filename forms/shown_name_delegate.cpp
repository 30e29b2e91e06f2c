#include "forms/shown_name_delegate.h"

#include "forms/native_paths.h"

namespace vuelco::forms {

QString ShownNameDelegate::displayText(const QVariant &value, const QLocale & /*locale*/) const
{
    return shownPath(value.toString());
}

} // namespace vuelco::forms
