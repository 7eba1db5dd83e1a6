// The XMODEM receiver: requests, blocks checked and acknowledged, the end confirmed twice.
#include "serial/xmodem_receiver.h"

#include <algorithm>

namespace velotrix::xmodem {

void Receiver::Start(Time now, Bytes& out) {
    started_ = now;
    lastHeard_ = now;
    Poll(out);
    nextPoll_ = now + kPollInterval;
}

void Receiver::Poll(Bytes& out) {
    const bool crc = settings_.crcFirst && polls_ < kCrcPolls;
    progress_.check = crc ? Check::kCrc16 : Check::kChecksum;
    out.push_back(crc ? kCrcPoll : kNak);
    ++polls_;
}

Time Receiver::Deadline() const {
    switch (state_) {
        case State::kPolling:
            return std::min(nextPoll_, started_ + kStartSilence);
        case State::kInBlock:
            return lastHeard_ + kByteGap;
        case State::kAwaitBlock:
        case State::kEotOnce:
            return std::min(nextPoll_, lastHeard_ + kTransferSilence);
        case State::kEnded:
            break;
    }
    return Time::max();
}

// Only bytes that belong to the transfer count against the silence: noise on an open line must
// not keep a dead transfer waiting for ever.
void Receiver::Heard(Time now) {
    lastHeard_ = now;
    if (state_ != State::kPolling) {
        nextPoll_ = now + kNudgeAfter;
    }
}

void Receiver::Receive(std::span<const std::uint8_t> bytes, Time now, Bytes& out) {
    for (std::size_t i = 0; i < bytes.size() && Running(); ++i) {
        if (state_ != State::kInBlock) {
            TakeBetweenBlocks(bytes[i], now, out);
            continue;
        }
        frame_.push_back(bytes[i]);
        Heard(now);
        if (frame_.size() == BodySize(frameSize_, progress_.check)) {
            // A sender sends nothing behind a block before our answer: bytes that came with it
            // mean that the frame was not what it seems (a byte doubled on the line). They and
            // the block are dropped, and the block asked for again.
            const bool trailing = i + 1 < bytes.size();
            FinishBlock(trailing, out);
            if (trailing) {
                return;
            }
        }
    }
}

void Receiver::TakeBetweenBlocks(std::uint8_t byte, Time now, Bytes& out) {
    if (byte == kCan) {
        Heard(now);
        if (canSeen_) {
            Finish(End::kCancelledByPeer);
        }
        canSeen_ = true;
        return;
    }
    canSeen_ = false;
    if (byte == kSoh || byte == kStx) {
        frameSize_ = byte == kStx ? kLongBlock : kShortBlock;
        frame_.clear();
        state_ = State::kInBlock;
        Heard(now);
    } else if (byte == kEot) {
        // A byte changed on the line can look like the end: only a second EOT, after our NAK,
        // ends the file. And a sender ends only after we took the last block: an end that
        // follows our NAK of a block means that the NAK reached the sender as an ACK, and the
        // block is missing.
        Heard(now);
        if (blockRefused_) {
            Reject(out);
        } else if (state_ == State::kEotOnce) {
            out.push_back(kAck);
            Finish(End::kDone);
        } else {
            out.push_back(kNak);
            state_ = State::kEotOnce;
        }
    } else if (state_ == State::kEotOnce) {
        state_ = State::kAwaitBlock;
    }
}

void Receiver::FinishBlock(bool trailing, Bytes& out) {
    state_ = State::kAwaitBlock;
    const bool intact = !trailing && BlockIntact(frame_, frameSize_, progress_.check);
    const auto expected = static_cast<std::uint8_t>(progress_.blocks + 1);
    if (intact && frame_[0] == expected) {
        lastBlockStart_ = file_.size();
        file_.insert(file_.end(), frame_.begin() + 2,
                     frame_.begin() + 2 + static_cast<std::ptrdiff_t>(frameSize_));
        ++progress_.blocks;
        progress_.bytes += frameSize_;
        progress_.blockSize = frameSize_;
        retries_ = 0;
        blockRefused_ = false;
        out.push_back(kAck);
    } else if (intact && progress_.blocks > 0 &&
               frame_[0] == static_cast<std::uint8_t>(expected - 1)) {
        // The sender missed our answer and sent the last block again: it is ours already.
        if (CountRetry(out)) {
            out.push_back(kAck);
        }
    } else {
        RefuseBlock(out);
    }
}

bool Receiver::CountRetry(Bytes& out) {
    ++progress_.retries;
    if (++retries_ > kMaxRetries) {
        FinishWithCancel(End::kTooManyRetries, out);
        return false;
    }
    return true;
}

void Receiver::RefuseBlock(Bytes& out) {
    blockRefused_ = true;
    Reject(out);
}

void Receiver::Reject(Bytes& out) {
    state_ = State::kAwaitBlock;
    frame_.clear();
    if (CountRetry(out)) {
        out.push_back(kNak);
    }
}

void Receiver::Tick(Time now, Bytes& out) {
    switch (state_) {
        case State::kPolling:
            if (now >= started_ + kStartSilence) {
                FinishWithCancel(End::kNoStart, out);
            } else if (now >= nextPoll_) {
                Poll(out);
                nextPoll_ = now + kPollInterval;
            }
            break;
        case State::kInBlock:
            if (now >= lastHeard_ + kByteGap) {
                RefuseBlock(out);
            }
            break;
        case State::kAwaitBlock:
        case State::kEotOnce:
            if (now >= lastHeard_ + kTransferSilence) {
                FinishWithCancel(End::kTimeout, out);
            } else if (now >= nextPoll_) {
                // Our last answer may have been lost: ask again, once before the end.
                nextPoll_ = lastHeard_ + kTransferSilence;
                Reject(out);
            }
            break;
        case State::kEnded:
            break;
    }
}

void Receiver::Cancel(Bytes& out) {
    if (Running()) {
        FinishWithCancel(End::kCancelledByUser, out);
    }
}

void Receiver::LineLost() {
    if (Running()) {
        Finish(End::kLineLost);
    }
}

void Receiver::FinishWithCancel(End end, Bytes& out) {
    AppendCancel(out);
    Finish(end);
}

void Receiver::Finish(End end) {
    state_ = State::kEnded;
    end_ = end;
    if (end == End::kTooManyRetries) {
        progress_.failedBlock = progress_.blocks + 1;
    }
    if (end == End::kDone && settings_.trimPadding) {
        const auto last = std::find_if(file_.rbegin(), file_.rend() - lastBlockStart_,
                                       [](std::uint8_t byte) { return byte != kPad; });
        file_.erase(last.base(), file_.end());
    }
}

}  // namespace velotrix::xmodem
