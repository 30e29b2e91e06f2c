#pragma once

#include <QChar>
#include <QString>
#include <filesystem>

namespace vuelco::forms {

// What differs between systems in the paths the user sees (native_paths_posix.cpp and
// native_paths_win32.cpp hold each system's part).
// Paths are shown and composed with the native separator. A root folder ("C:\" on
// Windows, "/" on Linux) is the only folder written with a separator at its end.

// "\" on Windows, "/" elsewhere.
[[nodiscard]] QChar pathSeparator();

// Whether a folder text is a root, which already ends with the separator.
[[nodiscard]] bool isRootFolder(const QString &folder);

// Whether path is folder or lies below it.
[[nodiscard]] bool liesIn(const QString &path, const QString &folder);

// A folder and a name within it, with exactly one separator between them. An empty
// name gives the folder text ready for a name ("C:\" stays "C:\", "D:\Tools" becomes
// "D:\Tools\").
[[nodiscard]] QString joinPath(const QString &folder, const QString &name);

// The folder named by the text before a path's last separator: a bare drive ("C:")
// becomes its root ("C:\"), and on Linux the empty text before a leading "/" is "/".
[[nodiscard]] QString asFolder(const QString &textBeforeSeparator);

// Where the file chooser goes when a path cannot be shown: drive "C:" and folder "C:\"
// on Windows, the root volume and folder "/" elsewhere.
[[nodiscard]] QString fallbackDrive();
[[nodiscard]] QString fallbackFolder();

// The folder that holds the running program, in native form.
[[nodiscard]] QString applicationFolder();

// Between the texts the user sees and the paths the file layer opens.
[[nodiscard]] std::filesystem::path toFilesystemPath(const QString &path);
[[nodiscard]] QString fromFilesystemPath(const std::filesystem::path &path);

} // namespace vuelco::forms
