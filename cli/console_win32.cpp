#include "cli/console_win32.h"

#include "cli/terminal.h"
#include "runtime/api_win32.h"

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
        WriteConsoleW(console, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    };
}

} // namespace

WideTextBuffer::WideTextBuffer(Sink sink) : mSink(std::move(sink)) {}

WideTextBuffer::int_type WideTextBuffer::overflow(int_type byte)
{
    if (traits_type::eq_int_type(byte, traits_type::eof()))
        return traits_type::not_eof(byte);
    mPending.push_back(traits_type::to_char_type(byte));
    if (mPending.back() == '\n')
        handOn();
    return byte;
}

std::streamsize WideTextBuffer::xsputn(const char *bytes, std::streamsize count)
{
    mPending.append(bytes, static_cast<std::size_t>(count));
    if (mPending.find('\n') != std::string::npos)
        handOn();
    return count;
}

int WideTextBuffer::sync()
{
    handOn();
    return 0;
}

void WideTextBuffer::handOn()
{
    const std::size_t complete = completeLength(mPending);
    if (complete == 0)
        return;
    mSink(wide(std::string_view(mPending).substr(0, complete)));
    mPending.erase(0, complete);
}

WideConsole::WideConsole()
    : mOutput(consoleSink(STD_OUTPUT_HANDLE)), mError(consoleSink(STD_ERROR_HANDLE))
{
    if (isTerminal(StandardStream::Output))
        mPreviousOutput = std::cout.rdbuf(&mOutput);
    if (isTerminal(StandardStream::Error))
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
