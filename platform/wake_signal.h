// A wake-up for a waiting thread that any thread can give, and an interrupt from within its
// handler, where locks and condition variables cannot be used: an eventfd on Linux, an event on
// Windows.
#pragma once

#include <chrono>
#include <cstdint>

namespace velotrix {

class WakeSignal {
  public:
    WakeSignal();
    ~WakeSignal();
    WakeSignal(const WakeSignal&) = delete;
    WakeSignal& operator=(const WakeSignal&) = delete;

    // From any thread. A signal given while nobody waits wakes the next wait.
    void Signal();
    // Waits for a signal given since the last wait that saw one, or until the time; true when
    // woken by a signal. One thread waits at a time.
    bool WaitUntil(std::chrono::steady_clock::time_point until);
    // From now on, as long as it lives, an interrupt that the process catches (CatchInterrupts)
    // signals it too.
    void WakeOnInterrupt();

  private:
    std::intptr_t handle_;  // the eventfd, or the event's HANDLE
    int interruptSlot_ = -1;
};

// How much later than asked a timed wait of this system may end on a busy machine: a wait that
// must not end late (a character delay) ends early by this and watches the clock for the rest.
std::chrono::nanoseconds TimedWaitSlack();

}  // namespace velotrix
