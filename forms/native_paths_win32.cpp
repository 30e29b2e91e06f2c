#include "forms/native_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace vuelco::forms {

QString asFolder(const QString &textBeforeSeparator)
{
    const bool bareDrive = textBeforeSeparator.size() == 2 && textBeforeSeparator.at(1) == QLatin1Char(':');
    return bareDrive ? textBeforeSeparator + pathSeparator() : textBeforeSeparator;
}

QString fallbackDrive() { return QStringLiteral("C:"); }

QString fallbackFolder() { return QStringLiteral("C:\\"); }

std::filesystem::path toFilesystemPath(const QString &path) { return std::filesystem::path(path.toStdWString()); }

QString fromFilesystemPath(const std::filesystem::path &path) { return QString::fromStdWString(path.native()); }

// Windows gives the program its arguments as UTF-16, which Qt keeps; argv holds them in
// the code page, which cannot spell every name.
QStringList commandLineNames(int /*argc*/, char * /*argv*/[]) { return QCoreApplication::arguments().mid(1); }

QString localFileOf(const QUrl &url) { return QDir::toNativeSeparators(url.toLocalFile()); }

bool mayList(const QString &folder)
{
    const QFileInfo info(folder);
    return info.isReadable() && info.isExecutable();
}

} // namespace vuelco::forms
