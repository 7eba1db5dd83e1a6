// An event loop that runs only when its owner pumps it: a virtual clock for deterministic tests, a
// real clock for the command-line program.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

#include "platform/ui_loop.h"
#include "platform/wake_signal.h"

namespace velotrix {

// The thread that pumps the loop is its UI thread. Post and Quit may be called from any thread;
// everything else belongs to the UI thread.
class ManualLoop : public UiLoop {
  public:
    enum class Clock {
        kVirtual,  // time moves only by Advance
        kReal,     // std::chrono::steady_clock
    };

    explicit ManualLoop(Clock clock = Clock::kVirtual);

    void Post(std::function<void()> task) override;
    void StartTimer(int id, std::chrono::milliseconds delay, std::function<void()> fire) override;
    void StopTimer(int id) override;

    // Runs the tasks queued when it is called, and those that they post, in order; returns how
    // many ran. What other threads post meanwhile waits for the next call, so a thread that keeps
    // posting cannot keep it from returning.
    std::size_t RunPending();
    // Pumps until predicate holds or realTimeout has passed, sleeping while nothing is to do. On
    // the real clock due timers fire meanwhile; the virtual clock stands still. The predicate is
    // looked at after each task and at least every lookEvery, for one that another thread makes
    // true without posting. Returns the predicate.
    bool RunUntil(const std::function<bool()>& predicate, std::chrono::milliseconds realTimeout,
                  std::chrono::milliseconds lookEvery = std::chrono::milliseconds(10));

    // From now on an interrupt the process catches (CatchInterrupts) wakes the loop's wait at once.
    void WakeOnInterrupt() { wake_.WakeOnInterrupt(); }

    // Virtual clock only: moves time forward by delta, firing the timers that fall due in the order
    // of their deadlines and running the tasks posted before and between them.
    void Advance(std::chrono::milliseconds delta);
    // Time since the loop was made: virtual, or measured on the real clock.
    std::chrono::milliseconds Now() const override;

  private:
    using Duration = std::chrono::steady_clock::duration;
    struct Timer {
        Duration due;
        std::uint64_t order;  // start order breaks ties between equal deadlines
        std::function<void()> fire;
    };

    Duration Elapsed() const;
    // Removes and fires the earliest timer due by limit; false when none is.
    bool FireNextDue(Duration limit);
    // Runs the pending tasks and, on the real clock, the timers that are due.
    void RunDue();
    // Sleeps until a task arrives, a real-clock timer falls due, until has come, or the wake-up
    // was given for another reason (an interrupt).
    void WaitForWork(std::chrono::steady_clock::time_point until);

    const Clock clock_;
    const std::chrono::steady_clock::time_point start_;
    mutable std::mutex mutex_;
    WakeSignal wake_;
    std::deque<std::function<void()>> tasks_;
    // Counts of tasks posted and taken since the start; a drain runs up to drainEnd_, which
    // grows with each task posted from the draining thread itself.
    std::uint64_t posted_ = 0;
    std::uint64_t taken_ = 0;
    std::uint64_t drainEnd_ = 0;
    std::thread::id drainingThread_;
    std::map<int, Timer> timers_;
    std::uint64_t nextOrder_ = 0;
    Duration virtualNow_{};
};

}  // namespace velotrix
