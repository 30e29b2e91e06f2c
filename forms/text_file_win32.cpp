#include "forms/text_file.h"

#include "forms/native_paths.h"
#include "runtime/system_errors_win32.h"

#include <windows.h>

namespace vuelco::forms {

QByteArray textFileBytes(const QString &text)
{
    QString lines = text;
    lines.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    return QByteArray("\xEF\xBB\xBF") + lines.toUtf8();
}

Failure lastSystemFailure(const QString &path)
{
    return failureFromWindowsError(GetLastError(), false, toFilesystemPath(path));
}

} // namespace vuelco::forms
