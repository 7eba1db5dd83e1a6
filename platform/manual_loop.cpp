// The owner-pumped event loop behind the headless view: posted tasks and one-shot timers.
#include "platform/manual_loop.h"

#include <algorithm>
#include <utility>

namespace velotrix {

ManualLoop::ManualLoop(Clock clock) : clock_(clock), start_(std::chrono::steady_clock::now()) {}

void ManualLoop::Post(std::function<void()> task) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        tasks_.push_back(std::move(task));
        ++posted_;
        if (drainingThread_ == std::this_thread::get_id()) {
            drainEnd_ = posted_;
        }
    }
    wake_.Signal();
}

void ManualLoop::StartTimer(int id, std::chrono::milliseconds delay, std::function<void()> fire) {
    std::lock_guard<std::mutex> lock(mutex_);
    const Duration due = Elapsed() + std::max(delay, std::chrono::milliseconds::zero());
    timers_[id] = Timer{due, nextOrder_++, std::move(fire)};
}

void ManualLoop::StopTimer(int id) {
    std::lock_guard<std::mutex> lock(mutex_);
    timers_.erase(id);
}

ManualLoop::Duration ManualLoop::Elapsed() const {
    if (clock_ == Clock::kVirtual) {
        return virtualNow_;
    }
    return std::chrono::steady_clock::now() - start_;
}

std::chrono::milliseconds ManualLoop::Now() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return std::chrono::duration_cast<std::chrono::milliseconds>(Elapsed());
}

std::size_t ManualLoop::RunPending() {
    std::thread::id outer;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        outer = std::exchange(drainingThread_, std::this_thread::get_id());
        drainEnd_ = posted_;
    }
    std::size_t count = 0;
    for (;;) {
        std::function<void()> task;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (tasks_.empty() || taken_ == drainEnd_) {
                drainingThread_ = outer;
                return count;
            }
            task = std::move(tasks_.front());
            tasks_.pop_front();
            ++taken_;
        }
        // Run without the lock: the task may post, start timers or quit.
        task();
        ++count;
    }
}

bool ManualLoop::FireNextDue(Duration limit) {
    std::function<void()> fire;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        auto next = timers_.end();
        for (auto it = timers_.begin(); it != timers_.end(); ++it) {
            const Timer& t = it->second;
            if (t.due <= limit && (next == timers_.end() || t.due < next->second.due ||
                                   (t.due == next->second.due && t.order < next->second.order))) {
                next = it;
            }
        }
        if (next == timers_.end()) {
            return false;
        }
        // The virtual clock stands at the deadline while its timer fires.
        if (clock_ == Clock::kVirtual) {
            virtualNow_ = std::max(virtualNow_, next->second.due);
        }
        fire = std::move(next->second.fire);
        timers_.erase(next);
    }
    fire();
    return true;
}

void ManualLoop::RunDue() {
    RunPending();
    if (clock_ == Clock::kReal) {
        // Only the timers due now: one that restarts itself at once waits for the next round.
        const Duration now = Elapsed();
        std::size_t due = 0;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            due = static_cast<std::size_t>(
                std::count_if(timers_.begin(), timers_.end(),
                              [&](const auto& t) { return t.second.due <= now; }));
        }
        while (due-- > 0 && FireNextDue(now)) {
            RunPending();
        }
    }
}

void ManualLoop::Advance(std::chrono::milliseconds delta) {
    Duration target;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        target = virtualNow_ + std::max(delta, std::chrono::milliseconds::zero());
    }
    do {
        RunPending();
    } while (clock_ == Clock::kVirtual && FireNextDue(target));
    std::lock_guard<std::mutex> lock(mutex_);
    if (clock_ == Clock::kVirtual) {
        virtualNow_ = std::max(virtualNow_, target);
    }
}

void ManualLoop::WaitForWork(std::chrono::steady_clock::time_point until) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!tasks_.empty()) {
            return;
        }
        if (clock_ == Clock::kReal) {
            for (const auto& entry : timers_) {
                until = std::min(until, start_ + entry.second.due);
            }
        }
    }
    // A task posted since the look above has given the wake-up already.
    wake_.WaitUntil(until);
}

bool ManualLoop::RunUntil(const std::function<bool()>& predicate,
                          std::chrono::milliseconds realTimeout,
                          std::chrono::milliseconds lookEvery) {
    const auto deadline = std::chrono::steady_clock::now() + realTimeout;
    for (;;) {
        RunDue();
        if (predicate()) {
            return true;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            return false;
        }
        WaitForWork(std::min(deadline, now + lookEvery));
    }
}

}  // namespace velotrix
