// The wake-up on Linux: an eventfd, which a signal handler may write to.
#include "platform/wake_signal.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "platform/interrupt_targets.h"

namespace velotrix {

namespace {

void Give(std::intptr_t handle) {
    // write() is safe in a signal handler; errno is the handler's to keep.
    const int saved = errno;
    const std::uint64_t one = 1;
    while (::write(static_cast<int>(handle), &one, sizeof one) < 0 && errno == EINTR) {
    }
    errno = saved;
}

}  // namespace

WakeSignal::WakeSignal() : handle_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (handle_ < 0) {
        std::abort();  // out of file descriptors: no loop could wait
    }
}

WakeSignal::~WakeSignal() {
    TheInterruptTargets().Remove(interruptSlot_);
    ::close(static_cast<int>(handle_));
}

void WakeSignal::Signal() {
    Give(handle_);
}

bool WakeSignal::WaitUntil(std::chrono::steady_clock::time_point until) {
    for (;;) {
        const auto left = std::max(until - std::chrono::steady_clock::now(),
                                   std::chrono::steady_clock::duration::zero());
        const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        const timespec timeout{static_cast<time_t>(nanoseconds / 1'000'000'000),
                               static_cast<long>(nanoseconds % 1'000'000'000)};
        pollfd wake{static_cast<int>(handle_), POLLIN, 0};
        const int ready = ppoll(&wake, 1, &timeout, nullptr);
        if (ready < 0 && errno == EINTR) {
            continue;  // a signal whose handler gave no wake-up
        }
        if (ready <= 0) {
            return false;
        }
        std::uint64_t count = 0;
        while (::read(static_cast<int>(handle_), &count, sizeof count) < 0 && errno == EINTR) {
        }
        return true;
    }
}

void WakeSignal::WakeOnInterrupt() {
    if (interruptSlot_ < 0) {
        interruptSlot_ = TheInterruptTargets().Add(InterruptTargets::Phase::kWake, Give, handle_);
    }
}

// The kernel's timers end a wait within microseconds of its time.
std::chrono::nanoseconds TimedWaitSlack() {
    return std::chrono::nanoseconds(0);
}

}  // namespace velotrix
