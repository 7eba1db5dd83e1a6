// The wake-up on Windows: an auto-reset event, which the console's interrupt handler (a thread of
// the system's) sets.
#include "platform/wake_signal.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>

#include "platform/interrupt_targets.h"

namespace velotrix {

namespace {

void Give(std::intptr_t handle) {
    SetEvent(reinterpret_cast<HANDLE>(handle));
}

}  // namespace

WakeSignal::WakeSignal()
    : handle_(reinterpret_cast<std::intptr_t>(CreateEventW(nullptr, FALSE, FALSE, nullptr))) {
    if (handle_ == 0) {
        std::abort();  // out of handles: no loop could wait
    }
}

WakeSignal::~WakeSignal() {
    TheInterruptTargets().Remove(interruptSlot_);
    CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

void WakeSignal::Signal() {
    Give(handle_);
}

bool WakeSignal::WaitUntil(std::chrono::steady_clock::time_point until) {
    const auto left = std::max(until - std::chrono::steady_clock::now(),
                               std::chrono::steady_clock::duration::zero());
    // Rounded up: a wait that ends early would only be repeated.
    const auto milliseconds = std::chrono::ceil<std::chrono::milliseconds>(left).count();
    const DWORD timeout = static_cast<DWORD>(std::min<long long>(milliseconds, INFINITE - 1));
    return WaitForSingleObject(reinterpret_cast<HANDLE>(handle_), timeout) == WAIT_OBJECT_0;
}

void WakeSignal::WakeOnInterrupt() {
    if (interruptSlot_ < 0) {
        interruptSlot_ = TheInterruptTargets().Add(InterruptTargets::Phase::kWake, Give, handle_);
    }
}

// Even with 1 ms timers (while a port is open) a wait ends a millisecond or two late, and more
// on a busy machine or under Wine.
std::chrono::nanoseconds TimedWaitSlack() {
    return std::chrono::milliseconds(3);
}

}  // namespace velotrix
