#pragma once

#include <functional>
#include <streambuf>
#include <string>
#include <string_view>

namespace vuelco::cli {

// The program writes UTF-8. A Windows console shows bytes in its own code page (850 or
// 1252), where "Año" comes out as "AÃ±o", so text bound for a console goes out wide
// instead; redirected to a file or a pipe it stays UTF-8.

// A stream buffer that hands UTF-8 text on as UTF-16, one line or flush at a time. A
// character split between two writes waits for its last byte.
class WideTextBuffer : public std::streambuf {
public:
    using Sink = std::function<void(std::wstring_view)>;
    explicit WideTextBuffer(Sink sink);

protected:
    int_type overflow(int_type byte) override;
    std::streamsize xsputn(const char *bytes, std::streamsize count) override;
    int sync() override;

private:
    void handOn();

    Sink mSink;
    std::string mPending;
};

// For its lifetime, std::cout and std::cerr write wide to the console when they are
// one; the streams are flushed and given their own buffers back at the end.
class WideConsole {
public:
    WideConsole();
    WideConsole(const WideConsole &) = delete;
    WideConsole &operator=(const WideConsole &) = delete;
    ~WideConsole();

private:
    WideTextBuffer mOutput;
    WideTextBuffer mError;
    std::streambuf *mPreviousOutput = nullptr;
    std::streambuf *mPreviousError = nullptr;
};

} // namespace vuelco::cli
