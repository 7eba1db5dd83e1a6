// The adapter self-test: with TX and RX bridged at the plug, every byte value goes out at the
// chosen settings and must come back unchanged; what comes back is compared as it arrives.
#pragma once

#include <chrono>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/serial_device.h"
#include "serial/engine_events.h"

namespace velotrix {

// Nothing came back by then: the plug is not bridged (or the adapter does not send).
inline constexpr std::chrono::milliseconds kSelfTestNoAnswer{2000};

// The bytes of the test: 0 to 255, repeated so that the line is busy for about a second at the
// rate (at least once, at most 16 times).
std::vector<std::uint8_t> SelfTestPattern(const AppliedSettings& applied);

class SelfTest {
  public:
    explicit SelfTest(const EventEmitter& events) : events_(events) {}
    ~SelfTest();
    SelfTest(const SelfTest&) = delete;
    SelfTest& operator=(const SelfTest&) = delete;

    // UI thread, for every call. Begins to wait for the pattern sent at the applied settings.
    void Start(std::vector<std::uint8_t> pattern, const AppliedSettings& applied);
    bool Active() const { return active_; }
    // Bytes that came back.
    void Consume(std::span<const std::uint8_t> batch);
    void CountErrors(const LineErrors& errors);
    // Ends without a report (the port closes).
    void Cancel();

  private:
    void Compare(std::uint8_t byte);
    void Finish();
    void Arm(std::chrono::milliseconds silence);
    std::uint8_t Expected(std::size_t index) const;

    const EventEmitter& events_;
    bool active_ = false;
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
};

// The result as lines of text (code page 1252), for the window's box and the command line.
std::vector<std::string> SelfTestLines(const SelfTestReport& report);

}  // namespace velotrix
