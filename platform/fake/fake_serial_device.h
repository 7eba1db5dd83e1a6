// A scripted, thread-safe serial device for tests: the test plays the line and the driver.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/serial_device.h"

namespace velotrix {

class FakeSerialDevice : public SerialDevice {
  public:
    using Clock = std::chrono::steady_clock;

    // A byte the program wrote: when it was handed over and when it left the driver.
    struct Sent {
        std::uint8_t byte;
        Clock::time_point written;
        Clock::time_point left;
    };

    // The line and the driver, played by the test.
    // Bytes arrive, with the line errors the driver counted while they came: a wait reports
    // lineError, TakeLineErrors() returns them.
    void InjectInput(const std::vector<std::uint8_t>& bytes, const LineErrors& errors = {});
    // A change of the line raises ctsChanged; setting the level it has raises nothing.
    void SetCts(bool on);
    // The next wait fails with the errno (once).
    void FailNextWait(int code);
    // Every write fails with the errno until FailWrites(0).
    void FailWrites(int code);
    // While held, writes and Drain() block as under CTS flow control, until released or cancelled.
    void HoldWrites(bool hold);
    // Written bytes leave the driver one per byteTime, like a line at a baud rate; 0: at once.
    void SetByteTime(std::chrono::microseconds byteTime);

    // What the program did with the device.
    std::vector<std::uint8_t> Written() const;
    std::vector<Sent> SentLog() const;
    // Bytes that have left the driver by now.
    std::size_t BytesLeft() const;
    // Writes of at least one byte after CancelWaits(), the first step of closing the port.
    std::size_t WritesAfterCancel() const;
    // True while a handle made by Share() exists.
    bool IsOpen() const;
    // Blocks until everything injected has been read and the reader waits again, or the time is up.
    bool WaitUntilIdle(std::chrono::milliseconds timeout) const;

    // A device for code that owns its device (and destroys it when closing); every call goes to
    // the shared fake, which the test keeps.
    static std::unique_ptr<SerialDevice> Share(std::shared_ptr<FakeSerialDevice> device);

    OsError Configure(const LineSettings& settings) override;
    AppliedSettings ReadBack() const override;
    OsResult<SerialEvents> WaitEvent() override;
    void CancelWaits() override;
    std::size_t QueuedInput() override;
    OsResult<std::size_t> Read(std::uint8_t* buffer, std::size_t maxCount) override;
    OsResult<std::size_t> Write(const std::uint8_t* bytes, std::size_t count) override;
    void Drain() override;
    std::size_t QueuedOutput() override;
    void Purge(bool input, bool output) override;
    bool Cts() override;
    LineErrors TakeLineErrors() override;

  private:
    friend class FakeSerialDeviceHandle;
    void SetOpen(bool open);
    bool EventPending() const;
    std::size_t LeftBy(Clock::time_point when) const;

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::deque<std::uint8_t> input_;
    std::vector<Sent> sent_;
    LineErrors countedErrors_;  // since the last TakeLineErrors()
    bool lineErrorPending_ = false;
    bool cts_ = false;
    bool ctsChangedPending_ = false;
    int waitFailure_ = 0;
    int writeFailure_ = 0;
    bool holdWrites_ = false;
    bool cancelled_ = false;
    bool open_ = false;
    int waiting_ = 0;
    std::chrono::microseconds byteTime_{0};
    std::size_t writesAfterCancel_ = 0;
    AppliedSettings applied_{9600, Parity::kNone, 8, 1, false};
};

}  // namespace velotrix
