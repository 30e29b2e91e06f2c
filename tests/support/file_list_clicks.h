#pragma once

#include <QStringList>

namespace vuelco::forms {
class FileListBox;
}

// The names a file list shows, in order.
[[nodiscard]] QStringList listed(const vuelco::forms::FileListBox &list);
// Clicks the named file in the list as a user does, twice for a double-click; false when
// the list does not show it.
[[nodiscard]] bool clickListed(vuelco::forms::FileListBox &list, const QString &name, bool twice = false);
