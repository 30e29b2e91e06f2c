#include "forms/native_paths.h"

#include <QUrl>
#include <unistd.h>

namespace vuelco::forms {
namespace {

constexpr char16_t kFirstByteSurrogate = 0xDC80;
constexpr char16_t kLastByteSurrogate = 0xDCFF;

// How many bytes of text from at make one character in UTF-8: 0 when the byte there
// starts none (a stray continuation byte, an overlong form, a surrogate, past U+10FFFF,
// a sequence cut short).
std::size_t utf8Length(std::string_view text, std::size_t at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80)
        return 1;
    const std::size_t length = lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
    if (length == 0 || at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0U) != 0x80U)
            return 0;
    }
    const auto second = static_cast<unsigned char>(text[at + 1]);
    const bool overlong = (lead == 0xE0 && second < 0xA0) || (lead == 0xF0 && second < 0x90);
    const bool surrogate = lead == 0xED && second >= 0xA0;
    const bool beyondUnicode = lead == 0xF4 && second >= 0x90;
    return overlong || surrogate || beyondUnicode ? 0 : length;
}

QString textOfName(std::string_view bytes)
{
    QString text;
    std::size_t run = 0;  // where the run of UTF-8 not yet taken begins
    const auto takeRun = [&](std::size_t end) {
        text += QString::fromUtf8(bytes.data() + run, static_cast<qsizetype>(end - run));
    };
    for (std::size_t at = 0; at < bytes.size();) {
        if (const std::size_t length = utf8Length(bytes, at); length != 0) {
            at += length;
            continue;
        }
        takeRun(at);
        text += QChar(char16_t(0xDC00 + static_cast<unsigned char>(bytes[at])));
        run = ++at;
    }
    takeRun(bytes.size());
    return text;
}

} // namespace

QString asFolder(const QString &textBeforeSeparator)
{
    return textBeforeSeparator.isEmpty() ? QString(pathSeparator()) : textBeforeSeparator;
}

QString fallbackDrive() { return QStringLiteral("/"); }

QString fallbackFolder() { return QStringLiteral("/"); }

std::filesystem::path toFilesystemPath(const QString &path)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(path.size()));
    for (qsizetype at = 0; at < path.size();) {
        // A run of characters goes to UTF-8 at once; a byte kept as a surrogate goes back alone.
        const qsizetype start = at;
        while (at < path.size()) {
            const char16_t unit = path.at(at).unicode();
            const bool pairedLow = at > 0 && path.at(at - 1).isHighSurrogate();
            if (unit >= kFirstByteSurrogate && unit <= kLastByteSurrogate && !pairedLow)
                break;
            ++at;
        }
        bytes += QStringView(path).mid(start, at - start).toUtf8().toStdString();
        if (at < path.size())
            bytes += static_cast<char>(path.at(at++).unicode() - 0xDC00);
    }
    return std::filesystem::path(std::move(bytes));
}

QString fromFilesystemPath(const std::filesystem::path &path) { return textOfName(path.native()); }

QStringList commandLineNames(int argc, char *argv[])
{
    QStringList names;
    for (int i = 1; i < argc; ++i)
        names.append(textOfName(argv[i]));
    return names;
}

QString localFileOf(const QUrl &url)
{
    // The address's path keeps the name's bytes percent-encoded, where toLocalFile() would
    // take them as UTF-8 and lose the others.
    return textOfName(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString());
}

bool mayList(const QString &folder) { return ::access(toFilesystemPath(folder).c_str(), R_OK | X_OK) == 0; }

} // namespace vuelco::forms
