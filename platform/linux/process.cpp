// The process on Linux: SIGINT and SIGTERM stop the serial devices, set an exit status and wake the
// waits; the locale chooses the language.
#include "platform/process.h"

#include <pthread.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <csignal>
#include <cstdlib>

#include "platform/interrupt_targets.h"

namespace velotrix {

namespace {

std::atomic<int>* interruptStatus = nullptr;

// At 115200 baud the next byte starts within 87 us: the handler itself stops the devices and
// discards what they queued, before the program's threads even learn of the interrupt.
void OnInterrupt(int signal) {
    const int saved = errno;
    TheInterruptTargets().Run(InterruptTargets::Phase::kStop);
    if (interruptStatus != nullptr) {
        interruptStatus->store(128 + signal);
    }
    TheInterruptTargets().Run(InterruptTargets::Phase::kWake);
    errno = saved;
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
    msg::SetLanguage(UserLanguage());
}

std::string UserLocaleName() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return {};
}

}  // namespace velotrix
