// The process on Windows: Ctrl+C, Ctrl+Break and closing the console stop the serial devices, set
// an exit status and wake the waits; the console shows the program's UTF-8 output.
#include "platform/process.h"

#include <windows.h>

#include "platform/interrupt_targets.h"

namespace velotrix {

namespace {

std::atomic<int>* interruptStatus = nullptr;

// Ctrl+C and Ctrl+Break as a shell's SIGINT (130); closing the console as SIGTERM (143).
BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (interruptStatus == nullptr || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        return FALSE;
    }
    // The handler runs on a thread of its own: the devices stop before anything else.
    TheInterruptTargets().Run(InterruptTargets::Phase::kStop);
    interruptStatus->store(event == CTRL_CLOSE_EVENT ? 143 : 130);
    TheInterruptTargets().Run(InterruptTargets::Phase::kWake);
    return TRUE;
}

}  // namespace

void CatchInterrupts(std::atomic<int>& status) {
    static_assert(std::atomic<int>::is_always_lock_free);
    interruptStatus = &status;
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

bool ErrorStreamIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

void UseUserLanguage() {
    // The system's texts come in the user's language anyway (FormatMessageW); the program writes
    // UTF-8, which the console shows only when told so.
    SetConsoleOutputCP(CP_UTF8);
    msg::SetLanguage(UserLanguage());
}

std::string UserLocaleName() {
    return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_GERMAN ? "de" : "en";
}

}  // namespace velotrix
