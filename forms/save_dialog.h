#pragma once

#include <QString>

class QWidget;

namespace vuelco::forms {

// Asks where to save a file with the system's save dialog, in Spanish: it opens on the
// proposed path (folder and name), adds the suffix to a name typed without one, and asks
// before replacing a file. Returns the path chosen, or nothing when the user cancels.
// Qt's dialog keeps its history and layout in Qt's own settings (the registry's
// HKEY_CURRENT_USER\Software\QtProject on Windows, ~/.config/QtProject.conf on Linux),
// which would outlive the program's uninstall: they are left as the dialog found them.
[[nodiscard]] QString askSaveFileName(QWidget *owner, const QString &title, const QString &proposedPath,
                                      const QString &filter, const QString &suffix);

// The platform's part (save_dialog_posix.cpp, save_dialog_win32.cpp): whether Qt's own
// settings exist, and removing them whole.
[[nodiscard]] bool qtOwnSettingsExist();
void removeQtOwnSettings();

} // namespace vuelco::forms
