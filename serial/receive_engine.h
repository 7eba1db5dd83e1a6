// The receive side on the UI thread: the receive buffer, the hex listing, the RX fields, the
// silence timer and the closing of a reception.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "app/screen.h"
#include "platform/ui_loop.h"

namespace velotrix {

inline constexpr std::size_t kRxStorageSize = 65536;

struct RxBuffer {
    std::vector<std::uint8_t> storage = std::vector<std::uint8_t>(kRxStorageSize);
    std::uint32_t writePosition = 0;
    std::uint32_t receivedCount = 0;
    std::uint32_t savableLength = 0;
    bool hasHeader = false;
    std::string rxLine;  // the listing line being built: "XX " per byte
    int rxLineCount = 0;
};

// Every member runs on the UI thread: the receive thread hands its batches over with UiLoop::Post,
// so a batch can never interleave with FinishReception.
class ReceiveEngine {
  public:
    ReceiveEngine(Screen& screen, UiLoop& loop);
    ~ReceiveEngine();  // stops the silence timer, whose task refers to this engine
    ReceiveEngine(const ReceiveEngine&) = delete;
    ReceiveEngine& operator=(const ReceiveEngine&) = delete;

    void ConsumeReceivedBytes(std::span<const std::uint8_t> bytes);
    void ShowRxHeader();
    void ClearRxFields();
    void FinishReception();
    // The receive part of ResetDisplayState: empties the pending listing line, rewinds
    // writePosition and clears the RX fields (the MessageList is cleared by the caller).
    void ResetListing();

    // The finished reception that "Sichern" writes: empty when there is nothing to save. It is a
    // copy held apart from the storage, so a reception arriving meanwhile cannot change it.
    std::span<const std::uint8_t> SavableBytes() const;
    // Whether that finished reception began with a z80 header.
    bool SavableHasHeader() const;
    // Bytes of the current reception that found the storage full and were dropped.
    std::uint32_t DroppedCount() const { return droppedCount_; }
    const RxBuffer& Buffer() const { return buffer_; }

  private:
    void StoreByte(std::uint8_t byte);

    Screen& screen_;
    UiLoop& loop_;
    RxBuffer buffer_;
    std::vector<std::uint8_t> savable_;
    bool savableHasHeader_ = false;
    std::uint32_t droppedCount_ = 0;
};

}  // namespace velotrix
