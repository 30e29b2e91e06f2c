#include "runtime/name_text.h"

#include <array>
#include <cstdint>

namespace vuelco {
namespace {

// One character of a name, or one unit of it that is not part of one (a byte that is not
// UTF-8; on Windows a lone surrogate).
struct Piece {
    char32_t value;
    bool character;
    std::size_t length;
};

template <class Char>
Piece pieceAt(std::basic_string_view<Char> text, std::size_t at)
{
    if constexpr (sizeof(Char) == 1) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const Piece unit{lead, false, 1};
        if (lead < 0x80)
            return {lead, true, 1};
        const std::size_t length = lead >= 0xF5 ? 0 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 ? 2 : 0;
        if (length == 0 || at + length > text.size())
            return unit;
        char32_t value = lead & (0x7FU >> length);
        for (std::size_t i = 1; i < length; ++i) {
            const auto next = static_cast<unsigned char>(text[at + i]);
            if ((next & 0xC0U) != 0x80U)
                return unit;
            value = (value << 6) | (next & 0x3FU);
        }
        const bool overlong = (length == 3 && value < 0x800) || (length == 4 && value < 0x10000);
        if (overlong || (value >= 0xD800 && value <= 0xDFFF) || value > 0x10FFFF)
            return unit;
        return {value, true, length};
    } else {
        const auto first = static_cast<char32_t>(static_cast<std::uint16_t>(text[at]));
        if (first < 0xD800 || first > 0xDFFF)
            return {first, true, 1};
        if (first <= 0xDBFF && at + 1 < text.size()) {
            const auto second = static_cast<char32_t>(static_cast<std::uint16_t>(text[at + 1]));
            if (second >= 0xDC00 && second <= 0xDFFF)
                return {0x10000 + ((first - 0xD800) << 10) + (second - 0xDC00), true, 2};
        }
        return {first, false, 1};
    }
}

void appendUtf8(std::string &out, char32_t value)
{
    if (value < 0x80) {
        out += static_cast<char>(value);
        return;
    }
    const std::size_t length = value < 0x800 ? 2 : value < 0x10000 ? 3 : 4;
    constexpr std::array<unsigned, 5> kLead{0, 0, 0xC0, 0xE0, 0xF0};
    for (std::size_t i = length; i-- > 0;) {
        const auto shifted = static_cast<unsigned>(value >> (6 * i));
        out += static_cast<char>(i + 1 == length ? kLead[length] | shifted : 0x80U | (shifted & 0x3FU));
    }
}

void appendHex(std::string &out, unsigned value, int digits)
{
    constexpr const char *kDigits = "0123456789abcdef";
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        out += kDigits[(value >> shift) & 0xFU];
}

void appendOctal(std::string &out, unsigned byte)
{
    out += '\\';
    for (int shift = 6; shift >= 0; shift -= 3)
        out += static_cast<char>('0' + ((byte >> shift) & 7U));
}

// C0 and C1 control characters and DEL: a terminal may act on any of them.
bool isControl(char32_t value) { return value < 0x20 || (value >= 0x7F && value < 0xA0); }

// Printable ASCII stands for itself, but for the backslash that escapes on Linux.
template <class Char>
bool standsForItself(Char c)
{
    return c >= 0x20 && c < 0x7F && (c != '\\' || sizeof(Char) != 1);
}

template <class Char>
void appendEscaped(std::string &out, std::basic_string_view<Char> text)
{
    out.reserve(out.size() + text.size());
    for (std::size_t at = 0; at < text.size();) {
        // Most names are plain ASCII: copied a run at a time rather than decoded.
        const std::size_t plain = at;
        while (at < text.size() && standsForItself(text[at]))
            ++at;
        if (at > plain) {
            const auto begin = text.begin();
            out.append(begin + static_cast<std::ptrdiff_t>(plain), begin + static_cast<std::ptrdiff_t>(at));
            continue;
        }
        const Piece piece = pieceAt(text, at);
        at += piece.length;
        if (!piece.character) {
            if constexpr (sizeof(Char) == 1) {
                appendOctal(out, piece.value);
            } else {
                out += "\\u";
                appendHex(out, piece.value, 4);
            }
        } else if (piece.value == '\\' && sizeof(Char) == 1) {
            out += "\\\\";
        } else if (piece.value == '\t') {
            out += "\\t";
        } else if (piece.value == '\n') {
            out += "\\n";
        } else if (isControl(piece.value)) {
            std::string bytes;
            appendUtf8(bytes, piece.value);
            for (const char byte : bytes)
                appendOctal(out, static_cast<unsigned char>(byte));
        } else {
            appendUtf8(out, piece.value);
        }
    }
}

template <class Char>
std::string json(std::basic_string_view<Char> text)
{
    std::string out = "\"";
    out.reserve(text.size() + 2);
    for (std::size_t at = 0; at < text.size();) {
        const Piece piece = pieceAt(text, at);
        at += piece.length;
        if (!piece.character) {
            out += "\\u";
            appendHex(out, sizeof(Char) == 1 ? 0xDC00 + piece.value : piece.value, 4);
        } else if (piece.value == '"' || piece.value == '\\') {
            out += '\\';
            out += static_cast<char>(piece.value);
        } else if (piece.value == '\n') {
            out += "\\n";
        } else if (piece.value == '\t') {
            out += "\\t";
        } else if (piece.value < 0x20) {
            out += "\\u";
            appendHex(out, piece.value, 4);
        } else {
            appendUtf8(out, piece.value);
        }
    }
    return out + '"';
}

// The value of the four hex digits at text[at], or nothing.
std::optional<char32_t> hexUnit(std::string_view text, std::size_t at)
{
    if (at + 4 > text.size())
        return std::nullopt;
    char32_t value = 0;
    for (std::size_t i = at; i < at + 4; ++i) {
        const char c = text[i];
        const int digit = c >= '0' && c <= '9' ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0)
            return std::nullopt;
        value = (value << 4) | static_cast<char32_t>(digit);
    }
    return value;
}

template <class Char>
void appendUnit(std::basic_string<Char> &out, char32_t value)
{
    if constexpr (sizeof(Char) == 1) {
        std::string bytes;
        appendUtf8(bytes, value);
        out += bytes;
    } else if (value >= 0x10000) {
        out += static_cast<Char>(0xD800 + ((value - 0x10000) >> 10));
        out += static_cast<Char>(0xDC00 + ((value - 0x10000) & 0x3FF));
    } else {
        out += static_cast<Char>(value);
    }
}

template <class Char>
std::optional<std::basic_string<Char>> fromJson(std::string_view text)
{
    std::basic_string<Char> out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        if (text[at] != '\\') {
            const Piece piece = pieceAt(text, at);
            if (piece.value < 0x20 || (!piece.character && sizeof(Char) != 1))
                return std::nullopt;
            // Names are bytes on Linux: the text's own are the name's.
            if constexpr (sizeof(Char) == 1)
                out.append(text.substr(at, piece.length));
            else
                appendUnit(out, piece.value);
            at += piece.length;
            continue;
        }
        if (at + 1 == text.size())
            return std::nullopt;
        const char escaped = text[at + 1];
        at += 2;
        constexpr std::string_view kFrom = "\"\\/bfnrt";
        constexpr std::string_view kTo = "\"\\/\b\f\n\r\t";
        if (const std::size_t which = kFrom.find(escaped); which != std::string_view::npos) {
            out += static_cast<Char>(kTo[which]);
            continue;
        }
        std::optional<char32_t> unit = escaped == 'u' ? hexUnit(text, at) : std::nullopt;
        if (!unit || *unit == 0)
            return std::nullopt;
        at += 4;
        if constexpr (sizeof(Char) == 1) {
            // A pair stands for one character; a lone low half from DC80 on for the byte below it.
            std::optional<char32_t> low;
            if (*unit >= 0xD800 && *unit <= 0xDBFF && text.substr(at, 2) == "\\u")
                low = hexUnit(text, at + 2);
            if (low && *low >= 0xDC00 && *low <= 0xDFFF) {
                appendUnit(out, 0x10000 + ((*unit - 0xD800) << 10) + (*low - 0xDC00));
                at += 6;
            } else if (*unit >= 0xDC80 && *unit <= 0xDCFF) {
                out += static_cast<Char>(*unit - 0xDC00);
            } else if (*unit >= 0xD800 && *unit <= 0xDFFF) {
                return std::nullopt;
            } else {
                appendUnit(out, *unit);
            }
        } else {
            out += static_cast<Char>(*unit);
        }
    }
    return out;
}

} // namespace

void appendEscapedName(std::string &line, const NativeName &name)
{
    appendEscaped(line, std::basic_string_view<NativeName::value_type>(name));
}

std::string escapedName(const NativeName &name)
{
    std::string out;
    appendEscapedName(out, name);
    return out;
}

std::string escapedText(std::string_view text)
{
    std::string out;
    appendEscaped(out, text);
    return out;
}

std::string jsonString(const NativeName &name)
{
    return json(std::basic_string_view<NativeName::value_type>(name));
}

std::string jsonText(std::string_view text) { return json(text); }

std::optional<NativeName> nameFromJson(std::string_view quoted)
{
    return fromJson<NativeName::value_type>(quoted);
}

} // namespace vuelco
