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

#include "serial/byte_taker.h"
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

// Takes the received bytes while a transfer runs and a moment after; its waits are the slot's
// silence, renewed at each step.
class XmodemTransfer final : public ByteTaker {
  public:
    // prompt is raised while a transfer runs, so that each answer is handed over at once; a
    // received file becomes the finished reception of receptions.
    XmodemTransfer(const EventEmitter& events, ReceivedBytesSlot& slot, SendSequences& sends,
                   ReceiveEngine& receptions, std::atomic<bool>& prompt);
    ~XmodemTransfer() override;  // leaves the slot
    XmodemTransfer(const XmodemTransfer&) = delete;
    XmodemTransfer& operator=(const XmodemTransfer&) = delete;

    // UI thread, for every call. Refused unless the port is open, the one sender free and the slot
    // the reception's with no reception running; but a reception that holds only a receiver's
    // requests (its polls) is the start of a send, and they are answered at once.
    EngineResult Send(std::span<const std::uint8_t> file, bool longBlocks,
                      std::chrono::microseconds byteTime);
    EngineResult Receive(const xmodem::ReceiverSettings& settings);

    bool Running() const { return machine_ && machine_->Running(); }
    // The user ends the transfer: the other side is told with CAN.
    void Cancel();
    // The one sender has ended: a transfer that still runs has lost its way out.
    void SenderEnded();

    void OnBytes(std::span<const std::uint8_t> batch) override;
    // The machine's next deadline has come, or the line has been quiet since the end.
    void OnSilence() override;
    // Closing the port cancels a running transfer first, and gives its CANs time to leave.
    void OnPortClosing() override;
    void OnPortClosed(bool lost) override;
    bool KeepsLineToItself() const override { return Running(); }
    bool Busy() const override { return Running(); }

  private:
    // Takes the slot and the sender; a send takes over the requests received so far.
    EngineResult Begin(bool sending, std::vector<std::uint8_t>& requests);
    // Sends what the machine gave, reports its progress, and waits for its next deadline or ends.
    void After(xmodem::Bytes out);
    void End();

    const EventEmitter& events_;
    ReceivedBytesSlot& slot_;
    SendSequences& sends_;
    ReceiveEngine& receptions_;
    std::atomic<bool>& prompt_;
    std::unique_ptr<xmodem::Machine> machine_;
    xmodem::Receiver* receiver_ = nullptr;  // the machine, when it receives
    std::uint64_t total_ = 0;               // the file's bytes, when sending
    xmodem::Progress shown_;                // the progress last reported
};

// The MessageList line of an XMODEM transfer's end, for every face that lists it, and with it
// the bytes that came of a reception that failed.
std::string XmodemEndLine(const XmodemEndedEvent& event);
std::vector<std::string> XmodemEndLines(const XmodemEndedEvent& event);
// "Block 12 – 1536 Bytes – 0 Wiederholungen": a running transfer's progress.
std::string XmodemProgressText(const xmodem::Progress& progress);

}  // namespace velotrix
