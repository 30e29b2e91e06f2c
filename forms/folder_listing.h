#pragma once

#include <QString>
#include <functional>

namespace vuelco::forms {

// Passes take the name of each regular file of a folder that is not hidden (a name that
// starts with "." on Linux, the hidden attribute on Windows), in the order the system gives
// them. A folder that cannot be read gives none, and a read that fails half way the names
// before it: a list shows what it can and never throws. On Windows the folder is read by
// its verbatim "\\?\" name, as files are opened (see vuelco::verbatimPath), so that a folder
// whose path passes 260 characters lists like any other.
void forEachVisibleFile(const QString &folder, const std::function<void(const QString &name)> &take);

} // namespace vuelco::forms
