// The UI thread's event loop as the core sees it: work posted from any thread, and timers.
#pragma once

#include <chrono>
#include <functional>

namespace velotrix {

class UiLoop {
  public:
    virtual ~UiLoop() = default;

    // Runs task on the UI thread, after what is already queued. Safe from any thread.
    virtual void Post(std::function<void()> task) = 0;

    // UI thread only. Starts (or restarts) the one-shot timer with this id; fire runs on the UI
    // thread when delay has passed without a StopTimer or a restart of the same id.
    virtual void StartTimer(int id, std::chrono::milliseconds delay,
                            std::function<void()> fire) = 0;
    virtual void StopTimer(int id) = 0;

    // The loop's clock: time since it was made, on the clock its timers run by.
    virtual std::chrono::milliseconds Now() const = 0;
};

}  // namespace velotrix
