// The process on Linux: SIGINT and SIGTERM set a flag; the locale chooses the language.
#include "platform/process.h"

#include <pthread.h>
#include <unistd.h>

#include <clocale>
#include <csignal>

namespace velotrix {

namespace {

std::atomic<bool>* interruptFlag = nullptr;

void OnInterrupt(int) {
    if (interruptFlag != nullptr) {
        interruptFlag->store(true);
    }
}

}  // namespace

void CatchInterrupts(std::atomic<bool>& flag) {
    static_assert(std::atomic<bool>::is_always_lock_free);
    interruptFlag = &flag;
    struct sigaction action {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    // A parent may hand down a mask that blocks them; a person's Ctrl+C must still arrive.
    sigset_t interrupts;
    sigemptyset(&interrupts);
    sigaddset(&interrupts, SIGINT);
    sigaddset(&interrupts, SIGTERM);
    pthread_sigmask(SIG_UNBLOCK, &interrupts, nullptr);
}

bool ErrorStreamIsTerminal() {
    return isatty(STDERR_FILENO) == 1;
}

void UseUserLanguage() {
    // Only the messages: numbers keep the C locale's form.
    std::setlocale(LC_MESSAGES, "");
}

}  // namespace velotrix
