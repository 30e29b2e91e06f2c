#include "cli/console_win32.h"

#include "cli/terminal.h"
#include "runtime/api_win32.h"

#include <cstdio>
#include <iostream>

namespace vuelco::cli {
namespace {

// Where the last character of a UTF-8 text that is complete ends.
std::size_t completeLength(std::string_view text)
{
    const std::size_t size = text.size();
    for (std::size_t back = 1; back <= 3 && back <= size; ++back) {
        const auto byte = static_cast<unsigned char>(text[size - back]);
        if ((byte & 0xC0) == 0x80)
            continue;  // a continuation byte: its lead is further back
        const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
        return length > back ? size - back : size;
    }
    return size;
}

std::wstring wide(std::string_view text)
{
    if (text.empty())
        return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size);
    return result;
}

WideTextBuffer::Sink consoleSink(DWORD which)
{
    HANDLE console = GetStdHandle(which);
    return [console](std::wstring_view text) {
        DWORD written = 0;
        return WriteConsoleW(console, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) != 0;
    };
}

// Where a standard stream's text goes: wide to a console; to a pipe or a file, in the
// console's code page, through the stream's own buffer (bytes); nowhere else when it is
// to stay UTF-8 (no sink).
WideTextBuffer::Sink sinkFor(StandardStream stream, std::streambuf *bytes, bool json)
{
    if (isTerminal(stream))
        return consoleSink(stream == StandardStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    const UINT codePage = GetConsoleOutputCP();
    if (json || codePage == 0 || codePage == CP_UTF8)
        return {};
    return [bytes, codePage](std::wstring_view text) {
        const std::string converted = inCodePage(text, codePage);
        const auto size = static_cast<std::streamsize>(converted.size());
        return bytes->sputn(converted.data(), size) == size && bytes->pubsync() == 0;
    };
}

} // namespace

std::string inCodePage(std::wstring_view text, unsigned codePage)
{
    std::string result;
    for (std::size_t at = 0; at < text.size();) {
        // One character at a time: one or two UTF-16 units.
        const bool pair = IS_HIGH_SURROGATE(text[at]) && at + 1 < text.size() && IS_LOW_SURROGATE(text[at + 1]);
        const int units = pair ? 2 : 1;
        char bytes[8];
        BOOL lost = FALSE;
        // UTF-8 spells every character, and takes neither the flag nor the question.
        const bool utf8 = codePage == CP_UTF8;
        const int size = WideCharToMultiByte(codePage, utf8 ? 0 : WC_NO_BEST_FIT_CHARS, text.data() + at, units,
                                             bytes, sizeof bytes, nullptr, utf8 ? nullptr : &lost);
        if (size > 0 && !lost) {
            result.append(bytes, static_cast<std::size_t>(size));
        } else {
            for (int unit = 0; unit < units; ++unit) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(text[at + unit]));
                result += escape;
            }
        }
        at += static_cast<std::size_t>(units);
    }
    return result;
}

WideTextBuffer::WideTextBuffer(Sink sink) : mSink(std::move(sink)) {}

WideTextBuffer::int_type WideTextBuffer::overflow(int_type byte)
{
    if (traits_type::eq_int_type(byte, traits_type::eof()))
        return traits_type::not_eof(byte);
    mPending.push_back(traits_type::to_char_type(byte));
    if (mPending.back() == '\n' && !handOn())
        return traits_type::eof();
    return byte;
}

std::streamsize WideTextBuffer::xsputn(const char *bytes, std::streamsize count)
{
    mPending.append(bytes, static_cast<std::size_t>(count));
    if (mPending.find('\n') != std::string::npos && !handOn())
        return 0;
    return count;
}

int WideTextBuffer::sync() { return handOn() ? 0 : -1; }

bool WideTextBuffer::handOn()
{
    const std::size_t complete = completeLength(mPending);
    if (complete == 0)
        return true;
    const bool handed = mSink(wide(std::string_view(mPending).substr(0, complete)));
    mPending.erase(0, complete);
    return handed;
}

WideConsole::WideConsole(bool jsonOutput)
    : mOutput(sinkFor(StandardStream::Output, std::cout.rdbuf(), jsonOutput)),
      mError(sinkFor(StandardStream::Error, std::cerr.rdbuf(), false))
{
    if (mOutput.active())
        mPreviousOutput = std::cout.rdbuf(&mOutput);
    if (mError.active())
        mPreviousError = std::cerr.rdbuf(&mError);
}

WideConsole::~WideConsole()
{
    if (mPreviousOutput != nullptr) {
        std::cout.flush();
        std::cout.rdbuf(mPreviousOutput);
    }
    if (mPreviousError != nullptr) {
        std::cerr.flush();
        std::cerr.rdbuf(mPreviousError);
    }
}

} // namespace vuelco::cli
