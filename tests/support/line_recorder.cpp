// The far end of a pseudo-terminal line, read on its own thread.
#include "support/line_recorder.h"

#include <algorithm>

namespace velotrix::test {

LineRecorder::LineRecorder(PtyPair& pty)
    : pty_(pty), reader_([this] {
          while (!stop_.load()) {
              const std::vector<std::uint8_t> batch = pty_.ReadSome(std::chrono::milliseconds(20));
              std::lock_guard lock(mutex_);
              lastArrival_ = batch.empty() ? lastArrival_ : Clock::now();
              bytes_.insert(bytes_.end(), batch.begin(), batch.end());
              arrivals_.resize(bytes_.size(), lastArrival_);
              arrived_.notify_all();
          }
      }) {}

LineRecorder::~LineRecorder() {
    stop_ = true;
    reader_.join();
}

LineRecorder::Clock::time_point LineRecorder::ArrivalOf(std::size_t index) const {
    std::lock_guard lock(mutex_);
    return index < arrivals_.size() ? arrivals_[index] : Clock::time_point{};
}

bool LineRecorder::WaitForCount(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, timeout, [&] { return bytes_.size() >= count; });
}

std::vector<std::uint8_t> LineRecorder::BytesAfterQuiet(std::chrono::milliseconds quiet,
                                                        std::chrono::milliseconds timeout) const {
    const Clock::time_point deadline = Clock::now() + timeout;
    std::unique_lock lock(mutex_);
    while (Clock::now() < deadline && Clock::now() - lastArrival_ < quiet) {
        arrived_.wait_until(lock, std::min(lastArrival_ + quiet, deadline));
    }
    return bytes_;
}

}  // namespace velotrix::test
