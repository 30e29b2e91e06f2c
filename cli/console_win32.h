#pragma once

#include <functional>
#include <streambuf>
#include <string>
#include <string_view>

namespace vuelco::cli {

// The program writes UTF-8. A Windows console shows bytes in its own code page (850 or
// 1252), where "Año" comes out as "AÃ±o", so text bound for a console goes out wide
// instead. Text piped or redirected from a console is read in that same code page (by
// more, findstr, type), so it goes out in it; it stays UTF-8 where that is the console's
// code page, where there is no console, and for JSON, which is UTF-8 whoever reads it.

// A stream buffer that hands UTF-8 text on as UTF-16, one line or flush at a time. A
// character split between two writes waits for its last byte. A sink that fails fails
// the stream's write, which the record tells as lost output.
class WideTextBuffer : public std::streambuf {
public:
    using Sink = std::function<bool(std::wstring_view)>;
    explicit WideTextBuffer(Sink sink);
    // Whether it has a sink: one without stays out of the stream's way.
    [[nodiscard]] bool active() const { return static_cast<bool>(mSink); }

protected:
    int_type overflow(int_type byte) override;
    std::streamsize xsputn(const char *bytes, std::streamsize count) override;
    int sync() override;

private:
    bool handOn();

    Sink mSink;
    std::string mPending;
};

// UTF-16 text in a code page's characters; one the code page lacks is written "\u" and
// the four hex digits of each of its UTF-16 units, so that no name passes for another.
[[nodiscard]] std::string inCodePage(std::wstring_view text, unsigned codePage);

// For its lifetime, std::cout and std::cerr write wide to the console when they are one,
// and in the console's code page when they are piped or redirected from one (std::cout
// not when it carries JSON); the streams are flushed and given their own buffers back at
// the end.
class WideConsole {
public:
    explicit WideConsole(bool jsonOutput);
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
