#pragma once

#include <QChar>
#include <QString>
#include <QStringList>
#include <filesystem>

class QUrl;

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

// Between the texts the windows keep and the paths the file layer opens, both ways
// without loss: on Linux a name is bytes, not always UTF-8 (names copied from older
// systems are often Latin-1), and a byte that is not part of UTF-8 is kept in the text as
// the lone surrogate U+DC80 to U+DCFF (the byte plus 0xDC00), as vuelco-cli's JSON writes
// it; on Windows the text is the name's own UTF-16.
[[nodiscard]] std::filesystem::path toFilesystemPath(const QString &path);
[[nodiscard]] QString fromFilesystemPath(const std::filesystem::path &path);

// A path as the windows show it: as vuelco-cli writes a name, so that a byte that is not
// UTF-8 or a control character is seen for what it is and no name passes for another.
[[nodiscard]] QString shownPath(const QString &path);

// The files and folders the command line named, once Qt has taken its own arguments from
// argv, each as the text the windows keep.
[[nodiscard]] QStringList commandLineNames(int argc, char *argv[]);

// The local file a dropped address names, as the text the windows keep.
[[nodiscard]] QString localFileOf(const QUrl &url);

// Whether a folder may be listed and entered by this user.
[[nodiscard]] bool mayList(const QString &folder);

} // namespace vuelco::forms
