// The process on Windows: Ctrl+C, Ctrl+Break and closing the console set a flag; the console
// shows the program's UTF-8 output.
#include "platform/process.h"

#include <windows.h>

namespace velotrix {

namespace {

std::atomic<bool>* interruptFlag = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (interruptFlag == nullptr || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
        return FALSE;
    }
    interruptFlag->store(true);
    return TRUE;
}

}  // namespace

void CatchInterrupts(std::atomic<bool>& flag) {
    static_assert(std::atomic<bool>::is_always_lock_free);
    interruptFlag = &flag;
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
}

}  // namespace velotrix
