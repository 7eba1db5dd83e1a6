// The XMODEM sender: waits for the receiver's request, sends block by block, ends with EOT.
#include "serial/xmodem_sender.h"

#include <algorithm>

namespace velotrix::xmodem {

void Sender::Start(Time now) {
    started_ = now;
    silenceFrom_ = now;
}

Time Sender::Deadline() const {
    switch (state_) {
        case State::kAwaitRequest:
            return started_ + kStartSilence;
        case State::kAwaitAnswer:
        case State::kAwaitEndAnswer:
            return std::min(nudgeAt_, silenceFrom_ + kTransferSilence);
        case State::kEnded:
            break;
    }
    return Time::max();
}

Time Sender::LineTime(std::size_t bytes) const {
    return std::chrono::ceil<Time>(settings_.byteTime * static_cast<std::int64_t>(bytes));
}

void Sender::Receive(std::span<const std::uint8_t> bytes, Time now, Bytes& out) {
    if (!Running()) {
        return;
    }
    for (const std::uint8_t byte : bytes) {
        if (byte == kCan) {
            if (canSeen_) {
                Finish(End::kCancelledByPeer);
                return;
            }
            canSeen_ = true;
            continue;
        }
        canSeen_ = false;
        const bool firstBlock = progress_.blocks == 0;
        const bool request = byte == kNak || (byte == kCrcPoll && firstBlock);
        bool sent = false;
        if (state_ == State::kAwaitRequest && request) {
            progress_.check = byte == kCrcPoll ? Check::kCrc16 : Check::kChecksum;
            SendAfterAnswer(now, out);
            sent = true;
        } else if (state_ == State::kAwaitAnswer && byte == kAck) {
            ++progress_.blocks;
            progress_.bytes += std::min(blockSize_, file_.size() - offset_);
            offset_ += blockSize_;
            retries_ = 0;
            SendAfterAnswer(now, out);
            sent = true;
        } else if (state_ == State::kAwaitEndAnswer && byte == kAck) {
            Finish(End::kDone);
            return;
        } else if (state_ != State::kAwaitRequest && request) {
            // A receiver that asks for CRC-16 before the first block has come wants it still.
            if (byte == kCrcPoll) {
                progress_.check = Check::kCrc16;
            }
            if (!CountRetry(out)) {
                return;
            }
            SendAfterAnswer(now, out);
            sent = true;
        }
        // The rest of the batch was on its way before the receiver saw what we just sent: a
        // stale answer taken for the next frame's would skip a block.
        if (sent) {
            return;
        }
    }
}

void Sender::SendAfterAnswer(Time now, Bytes& out) {
    SendCurrent(out);
    silenceFrom_ = now + LineTime(frameBytes_);
    nudgeAt_ = silenceFrom_ + kNudgeAfter;
}

void Sender::SendCurrent(Bytes& out) {
    const std::size_t before = out.size();
    if (offset_ >= file_.size()) {
        out.push_back(kEot);
        state_ = State::kAwaitEndAnswer;
    } else {
        const std::size_t left = file_.size() - offset_;
        blockSize_ = settings_.longBlocks && progress_.check == Check::kCrc16 && left >= kLongBlock
                         ? kLongBlock
                         : kShortBlock;
        const std::span<const std::uint8_t> data(file_.data() + offset_,
                                                 std::min(blockSize_, left));
        AppendBlock(out, progress_.blocks + 1, data, blockSize_, progress_.check);
        progress_.blockSize = blockSize_;
        state_ = State::kAwaitAnswer;
    }
    frameBytes_ = out.size() - before;
}

bool Sender::CountRetry(Bytes& out) {
    ++progress_.retries;
    if (++retries_ > kMaxRetries) {
        FinishWithCancel(End::kTooManyRetries, out);
        return false;
    }
    return true;
}

void Sender::Tick(Time now, Bytes& out) {
    switch (state_) {
        case State::kAwaitRequest:
            if (now >= started_ + kStartSilence) {
                FinishWithCancel(End::kNoStart, out);
            }
            break;
        case State::kAwaitAnswer:
        case State::kAwaitEndAnswer:
            if (now >= silenceFrom_ + kTransferSilence) {
                FinishWithCancel(End::kTimeout, out);
            } else if (now >= nudgeAt_) {
                // The answer may have been lost on the line: the frame once more. The time it
                // takes on the line is no silence of the receiver's.
                nudgeAt_ = Time::max();
                if (CountRetry(out)) {
                    SendCurrent(out);
                    silenceFrom_ += LineTime(frameBytes_);
                }
            }
            break;
        case State::kEnded:
            break;
    }
}

void Sender::Cancel(Bytes& out) {
    if (Running()) {
        FinishWithCancel(End::kCancelledByUser, out);
    }
}

void Sender::LineLost() {
    if (Running()) {
        Finish(End::kLineLost);
    }
}

void Sender::FinishWithCancel(End end, Bytes& out) {
    AppendCancel(out);
    Finish(end);
}

void Sender::Finish(End end) {
    state_ = State::kEnded;
    end_ = end;
    if (end == End::kTooManyRetries) {
        progress_.failedBlock = progress_.blocks + 1;
    }
}

}  // namespace velotrix::xmodem
