// The far end of a pseudo-terminal line, read on its own thread.
#include "support/line_recorder.h"

namespace velotrix::test {

LineRecorder::LineRecorder(PtyPair& pty) : pty_(pty), reader_([this] { ReadLoop(); }) {}

LineRecorder::~LineRecorder() {
    stop_ = true;
    reader_.join();
}

void LineRecorder::ReadLoop() {
    while (!stop_.load()) {
        const std::vector<std::uint8_t> batch = pty_.ReadSome(std::chrono::milliseconds(20));
        if (batch.empty()) {
            continue;
        }
        const Clock::time_point now = Clock::now();
        {
            std::lock_guard lock(mutex_);
            batches_.push_back({now, bytes_.size(), batch.size()});
            bytes_.insert(bytes_.end(), batch.begin(), batch.end());
            lastArrival_ = now;
        }
        arrived_.notify_all();
    }
}

std::vector<std::uint8_t> LineRecorder::Bytes() const {
    std::lock_guard lock(mutex_);
    return bytes_;
}

std::vector<LineRecorder::Batch> LineRecorder::Batches() const {
    std::lock_guard lock(mutex_);
    return batches_;
}

std::size_t LineRecorder::Count() const {
    std::lock_guard lock(mutex_);
    return bytes_.size();
}

bool LineRecorder::WaitForCount(std::size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return arrived_.wait_for(lock, timeout, [&] { return bytes_.size() >= count; });
}

std::vector<std::uint8_t> LineRecorder::BytesAfterQuiet(std::chrono::milliseconds quiet,
                                                        std::chrono::milliseconds timeout) const {
    const Clock::time_point deadline = Clock::now() + timeout;
    std::unique_lock lock(mutex_);
    for (;;) {
        const Clock::time_point now = Clock::now();
        if (now >= deadline || now - lastArrival_ >= quiet) {
            return bytes_;
        }
        arrived_.wait_until(lock, std::min(lastArrival_ + quiet, deadline));
    }
}

}  // namespace velotrix::test
