#include "forms/native_paths.h"

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

} // namespace vuelco::forms
