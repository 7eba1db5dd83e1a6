// The adapter self-test: with TX and RX bridged at the plug, every byte value goes out at the
// chosen settings and must come back unchanged; what comes back is compared as it arrives.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/serial_device.h"
#include "serial/byte_taker.h"
#include "serial/engine_events.h"

namespace velotrix {

// Nothing came back by then: the plug is not bridged (or the adapter does not send).
inline constexpr std::chrono::milliseconds kSelfTestNoAnswer{2000};

// The bytes of the test: 0 to 255, repeated so that the line is busy for about a second at the
// rate (at least once, at most 16 times).
std::vector<std::uint8_t> SelfTestPattern(const AppliedSettings& applied);

// The test takes the received bytes while it runs: what comes back is compared instead of being
// received, and the faces' sends are refused. After its report it listens out for a while for the
// rest of its pattern coming back late (a slow line, an echo after the test gave up): those bytes
// are the test's and are dropped, and the MessageList says how many; the first byte that does not
// continue the pattern, and all after it, go to the reception.
class SelfTester final : public ByteTaker {
  public:
    SelfTester(const EventEmitter& events, ReceivedBytesSlot& slot)
        : events_(events), slot_(slot) {}
    ~SelfTester() override;
    SelfTester(const SelfTester&) = delete;
    SelfTester& operator=(const SelfTester&) = delete;

    // UI thread, for every call. Takes the received bytes and begins to wait for the pattern sent
    // at the applied settings; false when another taker holds them.
    bool Start(std::vector<std::uint8_t> pattern, const AppliedSettings& applied);
    // Testing; not while it only listens out for the late rest of its pattern.
    bool Active() const { return slot_.Holds(*this) && !lingering_; }
    // Ends without a report.
    void Cancel();
    // Stops listening out for the pattern's late rest (another taker wants the bytes).
    void EndLateEcho();

    // Bytes that came back; line errors among them; the silence that ends the test.
    void OnBytes(std::span<const std::uint8_t> batch) override;
    void OnLineErrors(const LineErrors& errors) override;
    void OnSilence() override;
    void OnPortClosed(bool) override { Cancel(); }
    bool KeepsLineToItself() const override { return !lingering_; }

  private:
    void Compare(std::uint8_t byte);
    void Finish();
    // Whether a byte that came after the report continues the pattern.
    bool LateEcho(std::uint8_t byte);
    std::uint8_t Expected(std::size_t index) const;

    const EventEmitter& events_;
    ReceivedBytesSlot& slot_;
    std::vector<std::uint8_t> pattern_;
    std::uint8_t mask_ = 0xFF;  // what the data bits carry
    int bitsPerByte_ = 10;      // start, data, parity and stop bits
    std::size_t next_ = 0;      // the pattern's byte expected next
    // A byte that the pattern holds this many bytes on, waiting for the next to confirm the loss.
    std::size_t pendingSkip_ = 0;
    SelfTestReport report_;
    std::uint32_t received_ = 0;
    // The rate is measured between the first batch's arrival and the last one's.
    std::chrono::milliseconds firstAt_{};
    std::chrono::milliseconds lastAt_{};
    std::uint32_t afterFirst_ = 0;
    // After the report: listening out for the pattern's late rest, the pattern's byte it expects
    // next, and how many such bytes were dropped.
    bool lingering_ = false;
    std::size_t lateNext_ = 0;
    std::uint32_t lateDropped_ = 0;
};

// The result as lines of text (code page 1252), for the window's box and the command line.
std::vector<std::string> SelfTestLines(const SelfTestReport& report);

}  // namespace velotrix
