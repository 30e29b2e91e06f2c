#include "cli/interrupts.h"

#include <array>
#include <csignal>

namespace vuelco::cli {
namespace {

static_assert(std::atomic<int>::is_always_lock_free, "a signal handler may only set a lock-free value");

std::atomic<Interruption *> gInterruption{nullptr};
constexpr std::array kSignals{SIGINT, SIGTERM};
std::array<struct sigaction, kSignals.size()> gPrevious{};

extern "C" void onSignal(int signal)
{
    if (Interruption *interruption = gInterruption.load()) {
        interruption->status.store(128 + signal);
        interruption->stop.request();
    }
}

} // namespace

InterruptHandlers::InterruptHandlers(Interruption &interruption)
{
    gInterruption = &interruption;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // A call the signal interrupts goes on where it can; the handler goes after the first.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &action, &gPrevious[i]);
}

InterruptHandlers::~InterruptHandlers()
{
    for (std::size_t i = 0; i < kSignals.size(); ++i)
        sigaction(kSignals[i], &gPrevious[i], nullptr);
    gInterruption = nullptr;
}

} // namespace vuelco::cli
