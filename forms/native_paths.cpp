#include "forms/native_paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace vuelco::forms {

QChar pathSeparator() { return QDir::separator(); }

bool isRootFolder(const QString &folder) { return folder.endsWith(pathSeparator()); }

QString joinPath(const QString &folder, const QString &name)
{
    return isRootFolder(folder) ? folder + name : folder + pathSeparator() + name;
}

QString asFolder(const QString &textBeforeSeparator)
{
#ifdef Q_OS_WIN
    const bool bareDrive = textBeforeSeparator.size() == 2 && textBeforeSeparator.at(1) == QLatin1Char(':');
#else
    const bool bareDrive = textBeforeSeparator.isEmpty();
#endif
    return bareDrive ? textBeforeSeparator + pathSeparator() : textBeforeSeparator;
}

QString fallbackDrive()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:");
#else
    return QStringLiteral("/");
#endif
}

QString fallbackFolder()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\");
#else
    return QStringLiteral("/");
#endif
}

QString applicationFolder() { return QDir::toNativeSeparators(QCoreApplication::applicationDirPath()); }

std::filesystem::path toFilesystemPath(const QString &path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    // The same bytes Qt itself would open, so a name Qt listed is the name opened.
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

QString fromFilesystemPath(const std::filesystem::path &path)
{
#ifdef Q_OS_WIN
    return QString::fromStdWString(path.native());
#else
    return QFile::decodeName(QByteArray::fromStdString(path.native()));
#endif
}

} // namespace vuelco::forms
