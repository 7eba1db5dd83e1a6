// The scripted serial line and the devices on it.
#include "platform/fake/fake_serial_device.h"

#include <algorithm>
#include <cerrno>
#include <utility>

#include "platform/interrupt_targets.h"

namespace velotrix {

// What the code under test owns: every call works on the line, which the test keeps.
class FakeDevice final : public SerialDevice {
  public:
    explicit FakeDevice(std::shared_ptr<FakeSerialDevice> line) : line_(std::move(line)) {
        // A device opened again starts afresh, as a real one does.
        line_->Change([&] {
            l().open_ = true;
            l().cancelled_ = false;
            l().writesStopped_ = false;
            l().dtr_ = true;
            l().rts_ = true;
        });
    }
    ~FakeDevice() override {
        line_->Change([&] { line_->open_ = false; });
    }
    FakeDevice(const FakeDevice&) = delete;
    FakeDevice& operator=(const FakeDevice&) = delete;

    OsError Configure(const LineSettings& s) override {
        // Values no line can have are refused as a real driver refuses them.
        if (s.dataBits.value_or(8) < 7 || s.dataBits.value_or(8) > 8 ||
            s.stopBits.value_or(1) < 1 || s.stopBits.value_or(1) > 2) {
            return OsError{EINVAL, {}};
        }
        AppliedSettings& a = l().applied_;
        // A UART's driver keeps the rate it had for one faster than its clock makes.
        const std::uint32_t base = line_->Get([&] { return l().baseRate_; });
        const bool makes = s.baudRate != 0 && (base == 0 || s.baudRate <= base);
        line_->Change([&] {
            a = {makes ? DividedRate(base, s.baudRate) : a.baudRate, s.parity.value_or(a.parity),
                 s.dataBits.value_or(a.dataBits), s.stopBits.value_or(a.stopBits),
                 s.ctsFlow.value_or(a.ctsFlow)};
        });
        return {};
    }
    AppliedSettings ReadBack() const override { return line_->Applied(); }

    OsResult<SerialEvents> WaitEvent() override {
        FakeSerialDevice& f = l();
        std::unique_lock lock(f.mutex_);
        ++f.waiting_;
        f.changed_.notify_all();
        const auto readable = [&] { return !f.input_.empty() && !f.holdReads_; };
        f.changed_.wait(lock, [&] {
            return f.cancelled_ || f.waitFailure_ != 0 || readable() || f.ctsChanged_ ||
                   f.statusChanged_ || f.lineErrorPending_;
        });
        --f.waiting_;
        SerialEvents events;
        events.cancelled = f.cancelled_;
        if (!f.cancelled_ && f.waitFailure_ != 0) {
            return {events, OsError{std::exchange(f.waitFailure_, 0), {}}};
        }
        events.received = !f.cancelled_ && readable();
        events.ctsChanged = !f.cancelled_ && std::exchange(f.ctsChanged_, false);
        events.statusChanged = !f.cancelled_ && std::exchange(f.statusChanged_, false);
        events.lineError = !f.cancelled_ && std::exchange(f.lineErrorPending_, false);
        return {events, {}};
    }
    void CancelWaits() override {
        line_->Change([&] { l().cancelled_ = true; });
    }
    std::size_t QueuedInput() override {
        return line_->Get([&] { return l().input_.size(); });
    }
    OsResult<std::size_t> Read(std::uint8_t* buffer, std::size_t maxCount) override {
        return line_->Get([&] {
            std::deque<std::uint8_t>& input = l().input_;
            const std::size_t count = std::min(maxCount, input.size());
            std::copy_n(input.begin(), count, buffer);
            input.erase(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(count));
            return OsResult<std::size_t>{count, {}};
        });
    }
    OsResult<std::size_t> Write(const std::uint8_t* bytes, std::size_t count) override {
        FakeSerialDevice& f = l();
        std::unique_lock lock(f.mutex_);
        if (f.writeFailure_ != 0) {
            return {0, OsError{f.writeFailure_, {}}};
        }
        f.changed_.wait(lock, [&] {
            f.TakeInterrupt();
            return !f.holdWrites_ || f.cancelled_ || f.interrupted_ || f.writesStopped_;
        });
        if (f.cancelled_ || f.interrupted_ || f.writesStopped_) {
            return {0, {}};
        }
        const FakeSerialDevice::Clock::time_point now = FakeSerialDevice::Clock::now();
        for (std::size_t i = 0; i < count; ++i) {
            const auto start = f.sent_.empty() ? now : std::max(now, f.sent_.back().left);
            f.sent_.push_back({bytes[i], now, start + f.byteTime_});
        }
        // A write wakes a reader only when a bridged plug sends its bytes back, as on a real line.
        if (f.loopBack_) {
            std::vector<std::uint8_t> back(bytes, bytes + count);
            f.loopBack_(back);
            f.input_.insert(f.input_.end(), back.begin(), back.end());
            f.changed_.notify_all();
        }
        return {count, {}};
    }
    void StopWritesOnInterrupt(bool armed) override { l().interruptArmed_.store(armed); }
    std::size_t TakeStoppedOutput() override {
        return line_->Get([&] { return std::exchange(l().stoppedOutput_, 0); });
    }
    void StopWrites() override {
        line_->Change([&] {
            l().writesStopped_ = true;
            l().stoppedOutput_ += l().DropQueuedOutput(FakeSerialDevice::Clock::now());
        });
    }
    void Drain() override {
        FakeSerialDevice& f = l();
        std::unique_lock lock(f.mutex_);
        f.changed_.wait(lock, [&] { return !f.holdWrites_ || f.cancelled_; });
        f.TakeInterrupt();
        if (!f.sent_.empty()) {
            f.changed_.wait_until(lock, f.sent_.back().left, [&] { return f.cancelled_; });
        }
    }
    std::size_t QueuedOutput() override {
        return line_->Get(
            [&] { return l().sent_.size() - l().LeftBy(FakeSerialDevice::Clock::now()); });
    }
    void Purge(bool input, bool output) override {
        line_->Change([&] {
            input ? l().input_.clear() : void();
            if (output) {
                l().DropQueuedOutput(FakeSerialDevice::Clock::now());
            }
        });
    }
    bool Cts() override {
        return line_->Get([&] { return l().cts_; });
    }
    ModemStatus ReadModemStatus() override {
        return line_->Get([&] {
            ModemStatus status = l().status_;
            status.cts = l().cts_;
            return status;
        });
    }
    OsError SendBreak(std::chrono::milliseconds) override {
        Drain();
        line_->Change([&] { l().breaksAt_.push_back(l().sent_.size()); });
        return {};
    }
    OsError SetModemLine(ModemLine line, bool on) override {
        line_->Change([&] { (line == ModemLine::kDtr ? l().dtr_ : l().rts_) = on; });
        return {};
    }
    std::optional<DrivenLines> ReadDrivenLines() override {
        return line_->Get([&] { return DrivenLines{l().dtr_, l().rts_}; });
    }
    LineErrors TakeLineErrors() override {
        return line_->Get([&] { return std::exchange(l().countedErrors_, LineErrors{}); });
    }

  private:
    FakeSerialDevice& l() const { return *line_; }
    std::shared_ptr<FakeSerialDevice> line_;
};

void FakeSerialDevice::InjectInput(const std::vector<std::uint8_t>& bytes,
                                   const LineErrors& errors) {
    Change([&] {
        input_.insert(input_.end(), bytes.begin(), bytes.end());
        countedErrors_ = {
            countedErrors_.framing || errors.framing, countedErrors_.parity || errors.parity,
            countedErrors_.overrun || errors.overrun, countedErrors_.brk || errors.brk};
        lineErrorPending_ = lineErrorPending_ || errors.Any();
    });
}

std::vector<std::uint8_t> FakeSerialDevice::Written() const {
    return Get([&] {
        std::vector<std::uint8_t> bytes(sent_.size());
        std::ranges::transform(sent_, bytes.begin(), &Sent::byte);
        return bytes;
    });
}

std::size_t FakeSerialDevice::DropQueuedOutput(Clock::time_point when) const {
    // The byte on the wire finishes; those behind it never start.
    std::size_t dropped = 0;
    for (; !sent_.empty() && sent_.back().left - byteTime_ > when; ++dropped) {
        sent_.pop_back();
    }
    return dropped;
}

FakeSerialDevice::~FakeSerialDevice() {
    TheInterruptTargets().Remove(interruptSlot_);
}

void FakeSerialDevice::StopOnInterrupt() {
    interruptSlot_ = TheInterruptTargets().Add(InterruptTargets::Phase::kStop, NoteInterrupt,
                                               reinterpret_cast<std::intptr_t>(this));
}

void FakeSerialDevice::NoteInterrupt(std::intptr_t line) {
    // Reading the clock and atomic loads and stores are all a signal handler may do here.
    auto* self = reinterpret_cast<FakeSerialDevice*>(line);
    if (self->interruptArmed_.load()) {
        self->interruptedAt_.store(Clock::now().time_since_epoch().count());
    }
}

void FakeSerialDevice::TakeInterrupt() const {
    const Clock::rep at = interruptedAt_.load();
    if (at != 0 && !interrupted_) {
        interrupted_ = true;
        stoppedOutput_ += DropQueuedOutput(Clock::time_point(Clock::duration(at)));
    }
}

std::size_t FakeSerialDevice::LeftBy(Clock::time_point when) const {
    return static_cast<std::size_t>(
        std::partition_point(sent_.begin(), sent_.end(),
                             [&](const Sent& sent) { return sent.left <= when; }) -
        sent_.begin());
}

bool FakeSerialDevice::WaitUntilIdle(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return input_.empty() && waiting_ > 0; });
}

std::unique_ptr<SerialDevice> FakeSerialDevice::Share(std::shared_ptr<FakeSerialDevice> line) {
    return std::make_unique<FakeDevice>(std::move(line));
}

}  // namespace velotrix
