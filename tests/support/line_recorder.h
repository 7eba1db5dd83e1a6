// The far end of a pseudo-terminal line, read by a thread of its own as fast as bytes arrive, with
// the time each byte came in.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "support/pty_pair.h"

namespace velotrix::test {

class LineRecorder {
  public:
    using Clock = std::chrono::steady_clock;

    // Starts reading the master of pty at once; the pair must outlive the recorder.
    explicit LineRecorder(PtyPair& pty);
    ~LineRecorder();
    LineRecorder(const LineRecorder&) = delete;
    LineRecorder& operator=(const LineRecorder&) = delete;

    // When the read that brought the byte at this index returned (the epoch if it never came).
    Clock::time_point ArrivalOf(std::size_t index) const;
    // True once at least count bytes have arrived within the timeout.
    bool WaitForCount(std::size_t count, std::chrono::milliseconds timeout) const;
    // Waits until nothing has arrived for quiet (or timeout passed), then returns every byte.
    std::vector<std::uint8_t> BytesAfterQuiet(
        std::chrono::milliseconds quiet = std::chrono::milliseconds(150),
        std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

  private:
    PtyPair& pty_;
    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::vector<std::uint8_t> bytes_;
    std::vector<Clock::time_point> arrivals_;  // one per byte
    Clock::time_point lastArrival_ = Clock::now();
    std::atomic<bool> stop_{false};
    std::thread reader_;
};

}  // namespace velotrix::test
