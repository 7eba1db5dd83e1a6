// The table of what an interrupt acts on: lock-free, so that a signal handler may run it.
#include "platform/interrupt_targets.h"

#include <thread>

namespace velotrix {

namespace {

static_assert(std::atomic<int>::is_always_lock_free);
static_assert(std::atomic<std::intptr_t>::is_always_lock_free);
static_assert(std::atomic<InterruptTargets::Action>::is_always_lock_free);

// Constant-initialised: there from the process's first instruction, whatever starts first.
constinit InterruptTargets targets;

}  // namespace

int InterruptTargets::Add(Phase phase, Action action, std::intptr_t argument) {
    for (int index = 0; index < kSlots; ++index) {
        Slot& slot = slots_[index];
        int expected = kFree;
        if (slot.phase.compare_exchange_strong(expected, kChanging)) {
            slot.action.store(action);
            slot.argument.store(argument);
            slot.phase.store(static_cast<int>(phase));
            return index;
        }
    }
    return -1;
}

void InterruptTargets::Remove(int slot) {
    if (slot < 0 || slot >= kSlots) {
        return;
    }
    slots_[slot].phase.store(kChanging);
    // A handler that began before it saw the slot may still be running its action. One that
    // begins from now on counts itself in first and then finds the slot changing.
    while (running_.load() > 0) {
        std::this_thread::yield();
    }
    slots_[slot].phase.store(kFree);
}

void InterruptTargets::Run(Phase phase) {
    running_.fetch_add(1);
    for (Slot& slot : slots_) {
        if (slot.phase.load() == static_cast<int>(phase)) {
            slot.action.load()(slot.argument.load());
        }
    }
    running_.fetch_sub(1);
}

InterruptTargets& TheInterruptTargets() {
    return targets;
}

}  // namespace velotrix
