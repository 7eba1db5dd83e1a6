// A scripted, thread-safe serial line for tests: the test plays the far end and the driver; the
// code under test gets devices on the line that work on its state.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/serial_device.h"

namespace velotrix {

class FakeSerialDevice {
    // What the program did is read under the line's lock.
    template <typename Reading>
    auto Get(Reading read) const {
        const std::lock_guard lock(mutex_);
        TakeInterrupt();
        return read();
    }

  public:
    using Clock = std::chrono::steady_clock;

    // A byte the program wrote: when it was handed over and when it left the driver.
    struct Sent {
        std::uint8_t byte;
        Clock::time_point written;
        Clock::time_point left;
    };

    // The line and the driver, played by the test. Bytes arrive with the line errors the driver
    // counted while they came (a wait reports lineError, TakeLineErrors() returns them).
    void InjectInput(const std::vector<std::uint8_t>& bytes, const LineErrors& errors = {});
    // A break on the line: the driver counts it and reads it as a NUL byte.
    void InjectBreak() { InjectInput({0}, LineErrors{false, false, false, true}); }
    // A change of the line raises ctsChanged; setting the level it has raises nothing.
    void SetCts(bool on) {
        Change([&] {
            ctsChanged_ = ctsChanged_ || cts_ != on;
            cts_ = on;
        });
    }
    // DSR, DCD and RI (CTS comes from SetCts); a change raises statusChanged.
    void SetStatus(bool dsr, bool dcd, bool ri) {
        Change([&] {
            const ModemStatus status{false, dsr, dcd, ri};
            statusChanged_ = statusChanged_ || status != status_;
            status_ = status;
        });
    }
    // The next wait fails with the errno (once).
    void FailNextWait(int code) {
        Change([&] { waitFailure_ = code; });
    }
    // Every write fails with the errno until FailWrites(0).
    void FailWrites(int code) {
        Change([&] { writeFailure_ = code; });
    }
    // While held, the driver keeps what arrives: no wait reports it, as for a reader that does not
    // run (a stopped or starved process); released, it is read as usual.
    void HoldReads(bool hold) {
        Change([&] { holdReads_ = hold; });
    }
    // While held, writes and Drain() block as under CTS flow control, until released or cancelled.
    void HoldWrites(bool hold) {
        Change([&] { holdWrites_ = hold; });
    }
    // The line's rates come from a UART's clock: its divisor divides this base rate (0: any rate
    // is made as asked), the driver reads back the rate it makes and keeps the rate it had for
    // one above the base rate.
    void DivideClock(std::uint32_t baseRate) {
        Change([&] { baseRate_ = baseRate; });
    }
    // Written bytes leave the driver one per byteTime, like a line at a baud rate; 0: at once.
    void SetByteTime(std::chrono::nanoseconds byteTime) {
        Change([&] { byteTime_ = byteTime; });
    }
    // From now on, the first change the calling thread makes on the line (a purge, a cancel) is
    // noted with its time: the moment a close made by that thread reaches the driver.
    void NoteNextChangeFromThisThread() {
        const std::lock_guard lock(mutex_);
        noting_ = std::this_thread::get_id();
        noted_.reset();
    }
    std::optional<Clock::time_point> NotedChange() const {
        return Get([&] { return noted_; });
    }

    // From now on, as long as the line lives, an interrupt the process catches stops the line's
    // devices within its handler while one is armed (SerialDevice::StopWritesOnInterrupt), as it
    // stops real ones: the line takes no byte more, and what had not begun to leave at that
    // moment is discarded.
    void StopOnInterrupt();
    ~FakeSerialDevice();
    // When an interrupt stopped the line; nothing while none did.
    std::optional<Clock::time_point> InterruptedAt() const {
        const Clock::rep at = interruptedAt_.load();
        return at != 0 ? std::optional(Clock::time_point(Clock::duration(at))) : std::nullopt;
    }

    // The far end sends back what the program writes, passed through farEnd (which may change or
    // drop bytes); an empty function ends the loop.
    void LoopBack(std::function<void(std::vector<std::uint8_t>& bytes)> farEnd) {
        Change([&] { loopBack_ = std::move(farEnd); });
    }

    // What the program did with the line.
    std::vector<Sent> SentLog() const {
        return Get([&] { return sent_; });
    }
    std::vector<std::uint8_t> Written() const;
    // Bytes that have left the driver by now.
    std::size_t BytesLeft() const {
        return Get([&] { return LeftBy(Clock::now()); });
    }
    // Bytes that leave the driver after the time (those still queued then, less what a purge
    // dropped).
    std::size_t BytesLeavingAfter(Clock::time_point when) const {
        return Get([&] { return sent_.size() - LeftBy(when); });
    }
    // For each break the program sent, the count of bytes it had written before it.
    std::vector<std::size_t> BreaksAt() const {
        return Get([&] { return breaksAt_; });
    }
    // DTR and RTS as the program left them: "DTR RTS" with a dash for a dropped line.
    std::string ModemLines() const {
        return Get([&] { return std::string(dtr_ ? "DTR" : "-") + (rts_ ? " RTS" : " -"); });
    }
    AppliedSettings Applied() const {
        return Get([&] { return applied_; });
    }
    // True while a device on the line exists.
    bool IsOpen() const {
        return Get([&] { return open_; });
    }
    // Blocks until everything injected has been read and the reader waits again, or the time is up.
    bool WaitUntilIdle(std::chrono::milliseconds timeout) const;

    // A device on the line for code that owns its device and destroys it when closing.
    static std::unique_ptr<SerialDevice> Share(std::shared_ptr<FakeSerialDevice> line);

  private:
    friend class FakeDevice;
    template <typename Changing>
    void Change(Changing change) {
        const std::lock_guard lock(mutex_);
        TakeInterrupt();
        if (noting_ == std::this_thread::get_id()) {
            noted_ = Clock::now();
            noting_ = {};
        }
        change();
        changed_.notify_all();
    }
    std::size_t LeftBy(Clock::time_point when) const;
    // Drops the bytes that had not begun to leave at the time; returns their number.
    std::size_t DropQueuedOutput(Clock::time_point when) const;
    // What an interrupt did, applied under the lock before every look at the line (its handler
    // may take no lock).
    void TakeInterrupt() const;
    static void NoteInterrupt(std::intptr_t line);

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::deque<std::uint8_t> input_;
    mutable std::vector<Sent> sent_;
    LineErrors countedErrors_;  // since the last TakeLineErrors()
    bool lineErrorPending_ = false;
    bool cts_ = false;
    bool ctsChanged_ = false;
    ModemStatus status_;  // DSR, DCD and RI
    bool statusChanged_ = false;
    std::vector<std::size_t> breaksAt_;
    int waitFailure_ = 0;
    int writeFailure_ = 0;
    bool holdWrites_ = false;
    bool holdReads_ = false;
    bool cancelled_ = false;
    bool writesStopped_ = false;
    bool open_ = false;
    bool dtr_ = false;
    bool rts_ = false;
    std::function<void(std::vector<std::uint8_t>&)> loopBack_;
    int waiting_ = 0;
    std::chrono::nanoseconds byteTime_{0};
    std::uint32_t baseRate_ = 0;
    std::thread::id noting_;
    int interruptSlot_ = -1;
    std::atomic<bool> interruptArmed_{false};
    std::atomic<Clock::rep> interruptedAt_{0};  // 0: none
    mutable bool interrupted_ = false;
    mutable std::size_t stoppedOutput_ = 0;  // dropped by a stop or an interrupt, not yet taken
    std::optional<Clock::time_point> noted_;
    AppliedSettings applied_{9600, Parity::kNone, 8, 1, false};
};

}  // namespace velotrix
