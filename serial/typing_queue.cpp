// Typed keys written in the order typed, by one sender at a time.
#include "serial/typing_queue.h"

#include <cstdint>
#include <span>
#include <utility>

namespace velotrix {

bool TypingQueue::Join(const std::string& bytes) {
    std::lock_guard lock(mutex_);
    if (open_) {
        queue_ += bytes;
    }
    return open_;
}

void TypingQueue::Begin(std::string bytes) {
    std::lock_guard lock(mutex_);
    queue_ = std::move(bytes);
    open_ = true;
}

bool TypingQueue::Open() const {
    std::lock_guard lock(mutex_);
    return open_;
}

bool TypingQueue::Close(bool result) {
    std::lock_guard lock(mutex_);
    open_ = false;
    queue_.clear();
    return result;
}

bool TypingQueue::WriteAll(const SendContext& context) {
    SendContext typed = context;
    typed.quiet = true;
    typed.controlsHeld = true;
    for (;;) {
        std::string next;
        {
            std::lock_guard lock(mutex_);
            if (queue_.empty() || !context.KeepGoing()) {
                open_ = false;
                queue_.clear();
                return context.KeepGoing();
            }
            next.swap(queue_);
        }
        const std::span<const std::uint8_t> bytes(
            reinterpret_cast<const std::uint8_t*>(next.data()), next.size());
        if (WriteBlock(typed, bytes) != BlockResult::kWritten) {
            return Close(false);
        }
    }
}

}  // namespace velotrix
