#pragma once

#include <QByteArray>
#include <QString>

namespace vuelco {
class Failure;
}

namespace vuelco::forms {

// Writes text as the whole file at path, replacing what was there whole or leaving it as
// it was: a list cut short would pass for the whole one. Throws Failure, in Spanish as
// every failure of the program reads.
void saveTextFile(const QString &path, const QString &text);

// The platform's part (text_file_posix.cpp, text_file_win32.cpp).
// The bytes of a text file: UTF-8, and on Windows with a byte-order mark and CR LF line
// ends, without which Notepad takes it for the code page's text.
[[nodiscard]] QByteArray textFileBytes(const QString &text);
// The failure of the system call that failed last on this thread, about path.
[[nodiscard]] Failure lastSystemFailure(const QString &path);

} // namespace vuelco::forms
