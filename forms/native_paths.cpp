#include "forms/native_paths.h"

#include "runtime/name_text.h"

#include <QCoreApplication>
#include <QDir>

// What every system shares; the rest is in native_paths_posix.cpp and native_paths_win32.cpp.
namespace vuelco::forms {

QChar pathSeparator() { return QDir::separator(); }

bool isRootFolder(const QString &folder) { return folder.endsWith(pathSeparator()); }

bool liesIn(const QString &path, const QString &folder)
{
    return path == folder || path.startsWith(isRootFolder(folder) ? folder : folder + pathSeparator());
}

QString joinPath(const QString &folder, const QString &name)
{
    return isRootFolder(folder) ? folder + name : folder + pathSeparator() + name;
}

QString shownPath(const QString &path) { return QString::fromStdString(escapedName(toFilesystemPath(path).native())); }

QString applicationFolder() { return QDir::toNativeSeparators(QCoreApplication::applicationDirPath()); }

} // namespace vuelco::forms
