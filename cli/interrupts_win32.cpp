#include "cli/interrupts.h"

#include "runtime/api_win32.h"

namespace vuelco::cli {
namespace {

std::atomic<Interruption *> gInterruption{nullptr};
std::atomic<bool> gInterrupted{false};

// Runs on a thread of its own that the console starts. FALSE passes the event on to the
// next handler, the system's, which ends the program.
BOOL WINAPI onConsoleEvent(DWORD event)
{
    Interruption *interruption = gInterruption.load();
    if (interruption == nullptr || (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) || gInterrupted.exchange(true))
        return FALSE;
    interruption->status.store(event == CTRL_C_EVENT ? 130 : 143);
    interruption->stop.request();
    return TRUE;
}

} // namespace

InterruptHandlers::InterruptHandlers(Interruption &interruption)
{
    gInterruption = &interruption;
    SetConsoleCtrlHandler(onConsoleEvent, TRUE);
}

InterruptHandlers::~InterruptHandlers()
{
    SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    gInterruption = nullptr;
}

} // namespace vuelco::cli
