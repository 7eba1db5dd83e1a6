// XMODEM on the open port: while a transfer runs, the received bytes are its own and never become
// a reception; its machine is driven by them and by the loop's timer, and what it answers goes
// out through the one sender.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "serial/engine_events.h"
#include "serial/receive_engine.h"
#include "serial/send_sequences.h"
#include "serial/xmodem_receiver.h"

namespace velotrix {

// After a transfer has ended, bytes keep belonging to it until the line has been this quiet: the
// other side's repeated end or its CANs are no reception.
inline constexpr std::chrono::milliseconds kXmodemAfterglow{1000};
// How long closing the port waits for the CANs to leave.
inline constexpr std::chrono::milliseconds kXmodemCancelFlush{500};

class XmodemTransfer {
  public:
    // prompt is raised while a transfer runs, so that each answer is handed over at once.
    XmodemTransfer(const EventEmitter& events, SendSequences& sends, ReceiveEngine& receptions,
                   std::atomic<bool>& prompt);
    ~XmodemTransfer();  // stops the timer, whose task refers to this object
    XmodemTransfer(const XmodemTransfer&) = delete;
    XmodemTransfer& operator=(const XmodemTransfer&) = delete;

    // UI thread, for every call. The port must be open and the one sender free. requests: bytes
    // the receiver sent before the send began (its polls), answered at once.
    EngineResult Send(std::span<const std::uint8_t> file, bool longBlocks,
                      std::chrono::microseconds byteTime, std::span<const std::uint8_t> requests);
    EngineResult Receive(const xmodem::ReceiverSettings& settings);

    bool Running() const { return machine_ && machine_->Running(); }
    // A transfer runs, or has ended so recently that what arrives is still its own.
    bool TakesBytes() const { return Running() || afterglow_; }
    void Consume(std::span<const std::uint8_t> batch);
    // The user ends the transfer: the other side is told with CAN.
    void Cancel();
    // The port closes (the user's close sends CAN first) or was lost.
    void PortClosing(bool lost);
    // The one sender has ended: a transfer that still runs has lost its way out.
    void SenderEnded();

  private:
    EngineResult Begin(bool sending);
    // Sends what the machine gave, reports its progress, and waits for its next deadline or ends.
    void After(xmodem::Bytes out);
    void End();
    void Arm(std::chrono::milliseconds delay);

    const EventEmitter& events_;
    SendSequences& sends_;
    ReceiveEngine& receptions_;
    std::atomic<bool>& prompt_;
    std::unique_ptr<xmodem::Machine> machine_;
    xmodem::Receiver* receiver_ = nullptr;  // the machine, when it receives
    std::uint64_t total_ = 0;               // the file's bytes, when sending
    xmodem::Progress shown_;                // the progress last reported
    bool afterglow_ = false;
};

// The MessageList line of an XMODEM transfer's end, for every face that lists it, and with it
// the bytes that came of a reception that failed.
std::string XmodemEndLine(const XmodemEndedEvent& event);
std::vector<std::string> XmodemEndLines(const XmodemEndedEvent& event);
// "Block 12 – 1536 Bytes – 0 Wiederholungen": a running transfer's progress.
std::string XmodemProgressText(const xmodem::Progress& progress);

}  // namespace velotrix
