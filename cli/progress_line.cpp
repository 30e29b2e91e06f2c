#include "cli/progress_line.h"

#include <ostream>
#include <sstream>
#include <string>

namespace vuelco::cli {
namespace {

constexpr auto kQuietStart = std::chrono::seconds(1);
constexpr auto kRedrawEvery = std::chrono::milliseconds(200);

} // namespace

ProgressLine::ProgressLine(std::ostream &err, bool enabled)
    : mErr(err), mEnabled(enabled), mStart(Clock::now()), mLastDrawn(mStart)
{
}

void ProgressLine::update(std::size_t done, std::size_t found, bool complete)
{
    if (!mEnabled)
        return;
    const Clock::time_point now = Clock::now();
    if (now - mStart < kQuietStart || (mDrawnWidth > 0 && now - mLastDrawn < kRedrawEvery))
        return;
    const double seconds = std::chrono::duration<double>(now - mStart).count();
    std::ostringstream text;
    text << done << " de " << found << (complete ? " archivos, " : " archivos hallados hasta ahora, ")
         << static_cast<long long>(static_cast<double>(done) / seconds) << " por segundo";
    std::string line = text.str();
    // Blanks over whatever a longer line before left; no terminal control codes needed.
    const std::size_t width = line.size();
    if (width < mDrawnWidth)
        line.append(mDrawnWidth - width, ' ');
    mErr << '\r' << line << std::flush;
    mDrawnWidth = width;
    mLastDrawn = now;
}

void ProgressLine::hide()
{
    if (mDrawnWidth == 0)
        return;
    mErr << '\r' << std::string(mDrawnWidth, ' ') << '\r' << std::flush;
    mDrawnWidth = 0;
}

} // namespace vuelco::cli
