// The process on Linux: SIGINT and SIGTERM set an exit status; the locale chooses the language.
#include "platform/process.h"

#include <pthread.h>
#include <unistd.h>

#include <clocale>
#include <csignal>

namespace velotrix {

namespace {

std::atomic<int>* interruptStatus = nullptr;

void OnInterrupt(int signal) {
    if (interruptStatus != nullptr) {
        interruptStatus->store(128 + signal);
    }
}

}  // namespace

void CatchInterrupts(std::atomic<int>& status) {
    static_assert(std::atomic<int>::is_always_lock_free);
    interruptStatus = &status;
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
