#include "forms/text_file.h"

#include "forms/native_paths.h"
#include "runtime/system_errors_posix.h"

#include <cerrno>

namespace vuelco::forms {

QByteArray textFileBytes(const QString &text) { return text.toUtf8(); }

Failure lastSystemFailure(const QString &path) { return failureFromErrno(errno, false, toFilesystemPath(path)); }

} // namespace vuelco::forms
