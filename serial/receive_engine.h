// The receive side on the UI thread: the receive buffer, the hex listing, the decoded header, the
// silence timer and the closing of a reception.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "image/intel_hex.h"
#include "serial/byte_taker.h"
#include "serial/engine_events.h"

namespace velotrix {

inline constexpr std::size_t kRxStorageSize = 65536;
// A reception ends after this much silence.
inline constexpr std::chrono::milliseconds kSilenceTime{1000};
// A running reception's lines and count reach the window at most this often, so that a line that
// delivers a few bytes at a time costs the window the same as one that delivers them in bursts.
inline constexpr std::chrono::milliseconds kListingInterval{50};

struct RxBuffer {
    std::vector<std::uint8_t> storage = std::vector<std::uint8_t>(kRxStorageSize);
    std::uint32_t writePosition = 0;
    std::uint32_t receivedCount = 0;
    bool hasHeader = false;
    int rxLineCount = 0;  // the bytes of the listing line being built (the last ones stored)
};

// A finished reception as a save takes it: a copy held apart from the storage, so that a
// reception arriving meanwhile cannot change it.
struct SavableReception {
    std::vector<std::uint8_t> bytes;  // empty when there is nothing to save
    bool hasHeader = false;           // it began with a z80 header
    std::string name;                 // the header's name
    bool incomplete = false;          // it lacks bytes (see Incomplete)
    std::optional<HexImage> hex;      // the records read when it is Intel HEX text
};

// "Empfang unvollständig: N von M Bytes": the data bytes that came of those the header promised.
std::string ShortReceptionLine(std::uint32_t arrived, std::uint32_t promised);

// The default taker of the received bytes. Every member runs on the UI thread: the receive thread
// hands its batches over with UiLoop::Post, so a batch can never interleave with FinishReception.
class ReceiveEngine final : public ByteTaker {
  public:
    // Its silence is awaited in slot, whose default taker it is.
    ReceiveEngine(const EventEmitter& events, ReceivedBytesSlot& slot);
    ~ReceiveEngine() override;  // stops the listing's timer, whose task refers to this engine
    ReceiveEngine(const ReceiveEngine&) = delete;
    ReceiveEngine& operator=(const ReceiveEngine&) = delete;

    // Stores and lists the bytes; a reception ends after a second of silence.
    void OnBytes(std::span<const std::uint8_t> bytes) override;
    void OnSilence() override;
    // A lost line or a close ends a running reception, cut short: it is kept, to be saved.
    void OnPortClosed(bool lost) override;
    bool Busy() const override { return Receiving(); }

    // cutShort: the reception ends by a lost line or on request rather than by silence.
    void FinishReception(bool cutShort);
    // A protocol takes over the line: the reception that runs is dropped without becoming a
    // finished one, and its bytes are returned.
    std::vector<std::uint8_t> DropReception();
    // A file that another protocol received becomes the finished reception, without a header;
    // cutShort: the transfer failed, and the file may lack its end.
    void AdoptReception(std::span<const std::uint8_t> file, bool cutShort);
    // The receive part of the display reset: empties the pending listing line, rewinds
    // writePosition and forgets the finished reception's header fields.
    void ResetListing();

    // The finished reception that a save writes.
    const SavableReception& Savable() const { return savable_; }
    // True from the first byte of a reception until it is finished.
    bool Receiving() const { return buffer_.receivedCount > 0; }
    const RxBuffer& Buffer() const { return buffer_; }

  private:
    void StoreByte(std::uint8_t byte);
    void ShowRxHeader();
    // Hands the lines and the count gathered since the last time to the window.
    void EmitListing();
    void ListingIntervalOver();
    void ForgetSavable();
    std::chrono::milliseconds SilenceAllowed() const;
    // The lines that tell what a reception of HEX text holds, and where it is damaged.
    static std::vector<std::string> HexLines(const HexImage& hex);
    std::uint32_t PromisedLength() const;

    const EventEmitter& events_;
    ReceivedBytesSlot& slot_;
    RxBuffer buffer_;
    SavableReception savable_;
    std::string headerName_;
    std::uint32_t droppedCount_ = 0;
    std::vector<std::string> pendingLines_;  // complete lines not yet handed to the window
    bool countPending_ = false;              // a batch came since the count was last shown
    bool listingPaced_ = false;              // the interval since the last listing runs
};

}  // namespace velotrix
