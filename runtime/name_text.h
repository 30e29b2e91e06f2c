#pragma once

#include <filesystem>

#include <optional>
#include <string>
#include <string_view>

namespace vuelco {

// A name in the system's own text: bytes on Linux, UTF-16 on Windows.
using NativeName = std::filesystem::path::string_type;

// A name as a line of text output shows it, in UTF-8, so that no name can pass for more
// than one field or one line: as `ls -b` writes it, a tab is "\t", a line break "\n", a
// backslash "\\", and every other control character and every byte that is not UTF-8
// is "\" and three octal digits. On Windows, where names are UTF-16 and a backslash only
// ever separates folders, the backslash stays as it is, and a lone half of a surrogate
// pair is "\u" and four hex digits.
[[nodiscard]] std::string escapedName(const NativeName &name);
// The same, appended to line.
void appendEscapedName(std::string &line, const NativeName &name);

// Any text for the same kind of line (a failure's description), escaped the same way.
[[nodiscard]] std::string escapedText(std::string_view text);

// A name as a JSON string, quotes included. A byte that is not UTF-8 is written as the
// lone surrogate "\udc80" to "\udcff" (the byte plus 0xDC00), the way Python's
// os.fsencode() takes it back to the byte; on Windows, a lone surrogate as itself.
[[nodiscard]] std::string jsonString(const NativeName &name);
[[nodiscard]] std::string jsonText(std::string_view text);

// The name a JSON string written by jsonString stands for, from the text between its
// quotes; nothing for text no name is written as (a zero character, a bad escape, a lone
// surrogate jsonString never writes; on Windows, bytes that are not UTF-8).
[[nodiscard]] std::optional<NativeName> nameFromJson(std::string_view quoted);

} // namespace vuelco
