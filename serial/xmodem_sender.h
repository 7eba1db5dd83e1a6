// The XMODEM sender as a machine of its own: the receiver's answers and the clock's ticks go in,
// the blocks to send come out. Nothing here waits or touches a device, so every path runs the
// same under a virtual clock.
#pragma once

#include <chrono>
#include <span>

#include "serial/xmodem.h"

namespace velotrix::xmodem {

struct SenderSettings {
    // Blocks of 1024 bytes when the receiver asks for CRC-16 and that much is left; a receiver
    // that asks for the checksum is an old one and gets blocks of 128, as do the file's last
    // bytes, so that it ends padded to a CP/M record as every XMODEM file does.
    bool longBlocks = false;
    // The time one byte takes on the line: the wait for an answer starts when a block has left.
    std::chrono::microseconds byteTime{0};
};

class Sender : public Machine {
  public:
    Sender(std::span<const std::uint8_t> file, SenderSettings settings)
        : file_(file.begin(), file.end()), settings_(settings) {}

    // Every call appends what must go on the line to out, in order. Start sends nothing: the
    // receiver asks first.
    void Start(Time now);
    void Receive(std::span<const std::uint8_t> bytes, Time now, Bytes& out) override;
    void Tick(Time now, Bytes& out) override;
    void Cancel(Bytes& out) override;
    void LineLost() override;

    End Ending() const override { return end_; }
    Time Deadline() const override;
    const Progress& Status() const override { return progress_; }
    std::size_t FileSize() const { return file_.size(); }

  private:
    enum class State { kAwaitRequest, kAwaitAnswer, kAwaitEndAnswer, kEnded };

    // Puts the block at offset_ (or, behind the file, the end) on the line.
    void SendCurrent(Bytes& out);
    // After an answer: the frame goes out and the wait for the next answer starts behind it.
    void SendAfterAnswer(Time now, Bytes& out);
    bool CountRetry(Bytes& out);
    void Finish(End end);
    void FinishWithCancel(End end, Bytes& out);
    Time LineTime(std::size_t bytes) const;

    Bytes file_;
    SenderSettings settings_;
    State state_ = State::kAwaitRequest;
    End end_ = End::kRunning;
    Progress progress_;
    std::size_t offset_ = 0;      // of the block on its way
    std::size_t blockSize_ = 0;   // its size
    std::size_t frameBytes_ = 0;  // its frame's length on the line
    int retries_ = 0;
    bool canSeen_ = false;
    Time started_{};
    // The silence is counted from here: the time the last frame left, moved on by the time our
    // own repeat takes on the line.
    Time silenceFrom_{};
    Time nudgeAt_ = Time::max();
};

}  // namespace velotrix::xmodem
