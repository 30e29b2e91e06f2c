#include "forms/text_file.h"

#include "runtime/failure.h"

#include <QSaveFile>

namespace vuelco::forms {

void saveTextFile(const QString &path, const QString &text)
{
    QSaveFile file(path);
    const QByteArray bytes = textFileBytes(text);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw lastSystemFailure(path);
}

} // namespace vuelco::forms
