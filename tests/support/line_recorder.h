// The far end of a pseudo-terminal line, read by a thread of its own as fast as bytes arrive, with
// the time each batch came in.
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
    struct Batch {
        Clock::time_point arrived;
        std::size_t offset;  // of its first byte in Bytes()
        std::size_t count;
    };

    // Starts reading the master of pty at once; the pair must outlive the recorder.
    explicit LineRecorder(PtyPair& pty);
    ~LineRecorder();
    LineRecorder(const LineRecorder&) = delete;
    LineRecorder& operator=(const LineRecorder&) = delete;

    std::vector<std::uint8_t> Bytes() const;
    std::vector<Batch> Batches() const;
    std::size_t Count() const;
    // True once at least count bytes have arrived within the timeout.
    bool WaitForCount(std::size_t count, std::chrono::milliseconds timeout) const;
    // Waits until nothing has arrived for quiet (or timeout passed), then returns every byte.
    std::vector<std::uint8_t> BytesAfterQuiet(
        std::chrono::milliseconds quiet = std::chrono::milliseconds(150),
        std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

  private:
    void ReadLoop();

    PtyPair& pty_;
    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::vector<std::uint8_t> bytes_;
    std::vector<Batch> batches_;
    Clock::time_point lastArrival_ = Clock::now();
    std::atomic<bool> stop_{false};
    std::thread reader_;
};

}  // namespace velotrix::test
