#include "main_window/ways_in.h"

#include "forms/native_paths.h"
#include "main_window/form1.h"

#include <QDir>
#include <QMimeData>
#include <QTimer>
#include <QUrl>

namespace vuelco {

QStringList givenFiles(const QStringList &arguments)
{
    QStringList paths;
    std::error_code error;
    const QDir current(forms::fromFilesystemPath(std::filesystem::current_path(error)));
    for (const QString &argument : arguments) {
        if (!argument.isEmpty())
            paths.append(QDir::toNativeSeparators(QDir::cleanPath(current.absoluteFilePath(argument))));
    }
    return paths;
}

void openGivenFiles(Form1 &window, const QStringList &arguments)
{
    QTimer::singleShot(0, &window, [&window, paths = givenFiles(arguments)] { window.openFiles(paths); });
}

QStringList droppedFiles(const QMimeData *data)
{
    QStringList paths;
    for (const QUrl &url : data->urls()) {
        if (!url.isLocalFile())
            return {};
        paths.append(forms::localFileOf(url));
    }
    return paths;
}

} // namespace vuelco
