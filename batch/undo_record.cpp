#include "batch/undo_record.h"

#include "runtime/name_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <fstream>
#include <istream>
#include <unordered_set>

namespace vuelco::batch {
namespace {

// The fields of a record line an undo reads, each as its raw JSON text (a string's with
// its quotes). Everything else is only checked to be JSON.
struct LineFields {
    std::string_view result;
    std::string_view path;
    std::string_view volume;
    std::string_view file;
    std::string_view size;
    std::string_view before;
    std::string_view after;
    bool summary = false;
};

// A strict reader of one JSON object, no deeper than kDeepest: nothing is decoded but
// what LineFields keeps, and any fault makes the whole line refused.
class ObjectReader {
public:
    explicit ObjectReader(std::string_view text) : mText(text) {}

    bool read(LineFields &fields)
    {
        skipSpace();
        if (!object(0, &fields))
            return false;
        skipSpace();
        return mAt == mText.size();
    }

private:
    static constexpr int kDeepest = 8;

    // An object whose members are depth + 1 deep; fields, the top one's, are kept.
    bool object(int depth, LineFields *fields)
    {
        if (!take('{'))
            return false;
        skipSpace();
        if (take('}'))
            return true;
        do {
            skipSpace();
            std::string_view key;
            if (!string(key))
                return false;
            skipSpace();
            if (!take(':'))
                return false;
            skipSpace();
            std::string_view *kept = fields != nullptr ? field(*fields, key) : nullptr;
            if (kept != nullptr && !kept->empty())
                return false;  // a field given twice
            const std::size_t start = mAt;
            if (!value(depth + 1))
                return false;
            if (fields != nullptr && key == "resumen")
                fields->summary = true;
            if (kept != nullptr)
                *kept = mText.substr(start, mAt - start);
            skipSpace();
        } while (take(','));
        return take('}');
    }

    static std::string_view *field(LineFields &fields, std::string_view key)
    {
        if (key == "resultado")
            return &fields.result;
        if (key == "ruta")
            return &fields.path;
        if (key == "volumen")
            return &fields.volume;
        if (key == "archivo")
            return &fields.file;
        if (key == "tamano")
            return &fields.size;
        if (key == "cabecera_antes")
            return &fields.before;
        if (key == "cabecera_despues")
            return &fields.after;
        return nullptr;
    }

    bool value(int depth)
    {
        if (depth > kDeepest || mAt == mText.size())
            return false;
        const char c = mText[mAt];
        if (c == '"') {
            std::string_view text;
            return string(text);
        }
        if (c == '{')
            return object(depth, nullptr);
        if (c == '[') {
            ++mAt;
            skipSpace();
            if (take(']'))
                return true;
            do {
                skipSpace();
                if (!value(depth + 1))
                    return false;
                skipSpace();
            } while (take(','));
            return take(']');
        }
        static constexpr std::array<std::string_view, 3> kWords{"null", "true", "false"};
        const auto *word = std::find_if(kWords.begin(), kWords.end(),
                                        [this](std::string_view w) { return mText.substr(mAt, w.size()) == w; });
        if (word == kWords.end())
            return number();
        mAt += word->size();
        return true;
    }

    bool number()
    {
        const std::size_t start = mAt;
        take('-');
        const std::size_t digits = mAt;
        while (mAt < mText.size() && std::string_view("0123456789+-.eE").find(mText[mAt]) != std::string_view::npos)
            ++mAt;
        return mAt > digits && mAt > start;
    }

    // A string's text between its quotes: no control character, every escape one of JSON's.
    bool string(std::string_view &text)
    {
        if (!take('"'))
            return false;
        const std::size_t start = mAt;
        while (mAt < mText.size() && mText[mAt] != '"') {
            if (static_cast<unsigned char>(mText[mAt]) < 0x20)
                return false;
            if (mText[mAt] == '\\')
                ++mAt;
            ++mAt;
        }
        if (mAt >= mText.size())
            return false;
        text = mText.substr(start, mAt - start);
        ++mAt;
        return true;
    }

    bool take(char c)
    {
        if (mAt < mText.size() && mText[mAt] == c) {
            ++mAt;
            return true;
        }
        return false;
    }

    void skipSpace()
    {
        while (mAt < mText.size() && (mText[mAt] == ' ' || mText[mAt] == '\t' || mText[mAt] == '\r'))
            ++mAt;
    }

    std::string_view mText;
    std::size_t mAt = 0;
};

// A string field's text between its quotes; nothing for any other value.
std::string_view unquoted(std::string_view field)
{
    if (field.size() < 2 || field.front() != '"')
        return {};
    return field.substr(1, field.size() - 2);
}

std::optional<std::uint64_t> wholeNumber(std::string_view text)
{
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

std::optional<Header> headerFromHex(std::string_view text)
{
    Header header{};
    if (text.size() != 2 * header.size())
        return std::nullopt;
    for (std::size_t i = 0; i < header.size(); ++i) {
        const char *pair = text.data() + 2 * i;
        const auto [end, error] = std::from_chars(pair, pair + 2, header[i], 16);
        if (error != std::errc{} || end != pair + 2)
            return std::nullopt;
    }
    return header;
}

// Whether after is what converting before rewrites it to: the layout code and the order
// of the groups changed, nothing else.
bool oneConversionApart(const Header &before, const Header &after)
{
    const std::optional<Layout> from = layoutOf(before);
    const std::optional<Layout> to = layoutOf(after);
    return from && to && *from != *to && composeHeader(*to, groupsOf(before, *from)) == after;
}

// The results of lines about no file written.
bool isPassedOver(std::string_view result)
{
    static constexpr std::array<std::string_view, 11> kResults{
        "visto",       "se_convertiria",        "ya_en_ese_formato", "no_reconocido", "mismo_archivo", "fallido",
        "se_desharia", "cambio_desde_entonces", "ya_deshecho",       "no_encontrado", "otro_archivo"};
    return std::find(kResults.begin(), kResults.end(), result) != kResults.end();
}

} // namespace

RecordLine readRecordLine(std::string_view line, NativeName &path, UndoStep &step)
{
    LineFields fields;
    if (line.size() > kLongestRecordLine || !ObjectReader(line).read(fields))
        return RecordLine::Refused;
    if (fields.summary && fields.result.empty())
        return RecordLine::PassedOver;
    const std::string_view result = unquoted(fields.result);
    if (isPassedOver(result))
        return RecordLine::PassedOver;
    if (result != "convertido" && result != "deshecho")
        return RecordLine::Refused;
    std::optional<NativeName> name = nameFromJson(unquoted(fields.path));
    const std::optional<std::uint64_t> volume = wholeNumber(unquoted(fields.volume));
    const std::optional<std::uint64_t> file = wholeNumber(unquoted(fields.file));
    const std::optional<std::uint64_t> size = wholeNumber(fields.size);
    const std::optional<Header> before = headerFromHex(unquoted(fields.before));
    const std::optional<Header> after = headerFromHex(unquoted(fields.after));
    const bool absolute = name && !name->empty() && std::filesystem::path(*name).is_absolute();
    if (!absolute || !volume || !file || !size || !before || !after || !oneConversionApart(*before, *after))
        return RecordLine::Refused;
    path = *std::move(name);
    step = {{*volume, *file}, *size, *before, *after};
    return RecordLine::Step;
}

bool isUndoRecordFile(const std::filesystem::path &path)
{
    // Only a regular file is opened: opening a named pipe would wait for a writer.
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return false;
    std::ifstream file(path, std::ios::binary);
    // A BGA file, the usual thing given, is told by its first byte without reading on.
    if (!file.is_open() || file.peek() != '{')
        return false;
    std::string line;
    std::array<char, 1 << 12> block{};
    while (line.size() <= kLongestRecordLine && file.read(block.data(), block.size()).gcount() > 0) {
        const std::string_view got(block.data(), static_cast<std::size_t>(file.gcount()));
        const std::size_t end = got.find('\n');
        line.append(got.substr(0, end));
        if (end != std::string_view::npos)
            break;
    }
    NativeName name;
    UndoStep step;
    return !file.bad() && readRecordLine(line, name, step) != RecordLine::Refused;
}

std::optional<UndoRecord> readUndoRecord(std::istream &in)
{
    UndoRecord record;
    std::unordered_set<NativeName> paths;
    std::string line;
    bool overlong = false;
    std::array<char, 1 << 16> block{};
    std::size_t number = 0;
    const auto endLine = [&] {
        ++number;
        NativeName path;
        UndoStep step;
        const RecordLine kind = overlong || line.empty() ? RecordLine::Refused : readRecordLine(line, path, step);
        // An empty line (records joined by hand) tells of nothing.
        if (kind == RecordLine::Refused && !(line.empty() && !overlong))
            record.refusedLines.push_back(number);
        if (kind == RecordLine::Step) {
            record.repeatsAPath = !paths.insert(path).second || record.repeatsAPath;
            record.paths.push_back(std::move(path));
            record.steps.push_back(step);
        }
        line.clear();
        overlong = false;
    };
    while (in) {
        in.read(block.data(), static_cast<std::streamsize>(block.size()));
        const std::string_view got(block.data(), static_cast<std::size_t>(in.gcount()));
        for (std::size_t at = 0; at < got.size();) {
            const std::size_t end = std::min(got.find('\n', at), got.size());
            const std::string_view piece = got.substr(at, end - at);
            if (line.size() + piece.size() > kLongestRecordLine)
                overlong = true;
            if (!overlong)
                line.append(piece);
            if (end == got.size())
                break;
            endLine();
            at = end + 1;
        }
    }
    if (in.bad())
        return std::nullopt;
    if (!line.empty() || overlong)
        endLine();
    return record;
}

} // namespace vuelco::batch
