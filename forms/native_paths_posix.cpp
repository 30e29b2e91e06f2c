#include "forms/native_paths.h"

#include <QFile>

namespace vuelco::forms {

QString asFolder(const QString &textBeforeSeparator)
{
    return textBeforeSeparator.isEmpty() ? QString(pathSeparator()) : textBeforeSeparator;
}

QString fallbackDrive() { return QStringLiteral("/"); }

QString fallbackFolder() { return QStringLiteral("/"); }

std::filesystem::path toFilesystemPath(const QString &path)
{
    // The same bytes Qt itself would open, so a name Qt listed is the name opened.
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QString fromFilesystemPath(const std::filesystem::path &path)
{
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
}

} // namespace vuelco::forms
