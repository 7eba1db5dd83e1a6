// The XMODEM receiver as a machine of its own: bytes from the line and the clock's ticks go in,
// the answers to send come out, and the file grows block by block. Nothing here waits or touches
// a device, so every path runs the same under a virtual clock.
#pragma once

#include <span>

#include "serial/xmodem.h"

namespace velotrix::xmodem {

struct ReceiverSettings {
    // Ask for CRC-16 first (and fall back to the checksum); false asks for the checksum at once.
    bool crcFirst = true;
    // Take the fill bytes (kPad) off the end of the last block; CP/M keeps them.
    bool trimPadding = false;
};

class Receiver : public Machine {
  public:
    explicit Receiver(ReceiverSettings settings) : settings_(settings) {}

    // Every call appends what must go on the line to out, in order.
    void Start(Time now, Bytes& out);
    void Receive(std::span<const std::uint8_t> bytes, Time now, Bytes& out) override;
    void Tick(Time now, Bytes& out) override;
    void Cancel(Bytes& out) override;
    void LineLost() override;

    End Ending() const override { return end_; }
    Time Deadline() const override;
    const Progress& Status() const override { return progress_; }
    // The file as far as it came; after kDone without the padding when the settings say so.
    std::span<const std::uint8_t> File() const { return file_; }

  private:
    enum class State { kPolling, kAwaitBlock, kInBlock, kEotOnce, kEnded };

    void Poll(Bytes& out);
    void Heard(Time now);
    void TakeBetweenBlocks(std::uint8_t byte, Time now, Bytes& out);
    // A frame is complete; trailing: more bytes came behind it before our answer.
    void FinishBlock(bool trailing, Bytes& out);
    // Counts a block asked for (or sent) again; false when that was one too many and the
    // transfer has ended.
    bool CountRetry(Bytes& out);
    // Asks for the block again: a frame came that was not the block expected, or not whole.
    void RefuseBlock(Bytes& out);
    void Reject(Bytes& out);
    void Finish(End end);
    void FinishWithCancel(End end, Bytes& out);

    ReceiverSettings settings_;
    State state_ = State::kPolling;
    End end_ = End::kRunning;
    Progress progress_;
    Bytes file_;
    std::size_t lastBlockStart_ = 0;  // where the last block's data begins in file_
    Bytes frame_;                     // the body of the block being received
    std::size_t frameSize_ = 0;       // its data size
    int retries_ = 0;                 // of the block expected next
    int polls_ = 0;
    bool canSeen_ = false;       // the last byte between blocks was one CAN
    bool blockRefused_ = false;  // our last answer to a frame was a NAK
    Time started_{};
    Time lastHeard_{};  // the last byte that belonged to the transfer
    Time nextPoll_{};   // the next request at the start, or the next nudge
};

}  // namespace velotrix::xmodem
