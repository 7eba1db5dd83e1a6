// What an interrupt (Ctrl+C, the system asking the program to end) acts on at once, from within
// its handler: the serial devices whose output it discards, then the waits it wakes.
#pragma once

#include <atomic>
#include <cstdint>

namespace velotrix {

// A handler may take no lock and allocate nothing, so the targets sit in a fixed table of
// lock-free slots. Each target is an action with its argument; the action must be safe in a
// signal handler (a system call on a handle, an atomic store).
class InterruptTargets {
  public:
    using Action = void (*)(std::intptr_t argument);
    enum class Phase : int {
        kStop = 1,  // first: nothing more may reach the line
        kWake = 2,  // then: the waits that must notice
    };
    static constexpr int kSlots = 32;

    // The slot taken, or -1 when every slot is taken (the target then does without).
    int Add(Phase phase, Action action, std::intptr_t argument);
    // Frees the slot; returns once no handler can still be using the target, so that its handle
    // may be closed right after.
    void Remove(int slot);
    // From the handler: runs the actions of the phase.
    void Run(Phase phase);

  private:
    static constexpr int kFree = 0;
    static constexpr int kChanging = -1;
    struct Slot {
        std::atomic<int> phase{kFree};
        std::atomic<Action> action{nullptr};
        std::atomic<std::intptr_t> argument{0};
    };
    Slot slots_[kSlots];
    std::atomic<int> running_{0};  // handlers inside Run now
};

// The one table of the process, which the platform's interrupt handler runs.
InterruptTargets& TheInterruptTargets();

}  // namespace velotrix
