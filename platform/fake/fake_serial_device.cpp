// The scripted serial device.
#include "platform/fake/fake_serial_device.h"

#include <algorithm>
#include <cerrno>
#include <utility>

namespace velotrix {

// What the code under test owns; the test keeps the fake behind it.
class FakeSerialDeviceHandle final : public SerialDevice {
  public:
    explicit FakeSerialDeviceHandle(std::shared_ptr<FakeSerialDevice> device)
        : device_(std::move(device)) {
        device_->SetOpen(true);
    }
    ~FakeSerialDeviceHandle() override { device_->SetOpen(false); }
    FakeSerialDeviceHandle(const FakeSerialDeviceHandle&) = delete;
    FakeSerialDeviceHandle& operator=(const FakeSerialDeviceHandle&) = delete;

    OsError Configure(const LineSettings& settings) override {
        return device_->Configure(settings);
    }
    AppliedSettings ReadBack() const override { return device_->ReadBack(); }
    OsResult<SerialEvents> WaitEvent() override { return device_->WaitEvent(); }
    void CancelWaits() override { device_->CancelWaits(); }
    std::size_t QueuedInput() override { return device_->QueuedInput(); }
    OsResult<std::size_t> Read(std::uint8_t* buffer, std::size_t maxCount) override {
        return device_->Read(buffer, maxCount);
    }
    OsResult<std::size_t> Write(const std::uint8_t* bytes, std::size_t count) override {
        return device_->Write(bytes, count);
    }
    void Drain() override { device_->Drain(); }
    std::size_t QueuedOutput() override { return device_->QueuedOutput(); }
    void Purge(bool input, bool output) override { device_->Purge(input, output); }
    bool Cts() override { return device_->Cts(); }
    LineErrors TakeLineErrors() override { return device_->TakeLineErrors(); }

  private:
    std::shared_ptr<FakeSerialDevice> device_;
};

void FakeSerialDevice::InjectInput(const std::vector<std::uint8_t>& bytes,
                                   const LineErrors& errors) {
    std::lock_guard lock(mutex_);
    input_.insert(input_.end(), bytes.begin(), bytes.end());
    countedErrors_.framing = countedErrors_.framing || errors.framing;
    countedErrors_.parity = countedErrors_.parity || errors.parity;
    countedErrors_.overrun = countedErrors_.overrun || errors.overrun;
    countedErrors_.brk = countedErrors_.brk || errors.brk;
    lineErrorPending_ = lineErrorPending_ || errors.Any();
    changed_.notify_all();
}

void FakeSerialDevice::SetCts(bool on) {
    std::lock_guard lock(mutex_);
    ctsChangedPending_ = ctsChangedPending_ || cts_ != on;
    cts_ = on;
    changed_.notify_all();
}

void FakeSerialDevice::FailNextWait(int code) {
    std::lock_guard lock(mutex_);
    waitFailure_ = code;
    changed_.notify_all();
}

void FakeSerialDevice::FailWrites(int code) {
    std::lock_guard lock(mutex_);
    writeFailure_ = code;
}

void FakeSerialDevice::HoldWrites(bool hold) {
    std::lock_guard lock(mutex_);
    holdWrites_ = hold;
    changed_.notify_all();
}

void FakeSerialDevice::SetByteTime(std::chrono::microseconds byteTime) {
    std::lock_guard lock(mutex_);
    byteTime_ = byteTime;
}

std::vector<std::uint8_t> FakeSerialDevice::Written() const {
    std::lock_guard lock(mutex_);
    std::vector<std::uint8_t> bytes;
    for (const Sent& sent : sent_) {
        bytes.push_back(sent.byte);
    }
    return bytes;
}

std::vector<FakeSerialDevice::Sent> FakeSerialDevice::SentLog() const {
    std::lock_guard lock(mutex_);
    return sent_;
}

std::size_t FakeSerialDevice::LeftBy(Clock::time_point when) const {
    const auto first = std::partition_point(sent_.begin(), sent_.end(),
                                            [&](const Sent& sent) { return sent.left <= when; });
    return static_cast<std::size_t>(first - sent_.begin());
}

std::size_t FakeSerialDevice::BytesLeft() const {
    std::lock_guard lock(mutex_);
    return LeftBy(Clock::now());
}

std::size_t FakeSerialDevice::WritesAfterCancel() const {
    std::lock_guard lock(mutex_);
    return writesAfterCancel_;
}

bool FakeSerialDevice::IsOpen() const {
    std::lock_guard lock(mutex_);
    return open_;
}

bool FakeSerialDevice::WaitUntilIdle(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return input_.empty() && waiting_ > 0; });
}

std::unique_ptr<SerialDevice> FakeSerialDevice::Share(std::shared_ptr<FakeSerialDevice> device) {
    return std::make_unique<FakeSerialDeviceHandle>(std::move(device));
}

OsError FakeSerialDevice::Configure(const LineSettings& settings) {
    std::lock_guard lock(mutex_);
    // Values no line can have are refused as a real driver refuses them.
    if (settings.dataBits.value_or(8) < 7 || settings.dataBits.value_or(8) > 8 ||
        settings.stopBits.value_or(1) < 1 || settings.stopBits.value_or(1) > 2) {
        return OsError{EINVAL, {}};
    }
    applied_.baudRate = settings.baudRate != 0 ? settings.baudRate : applied_.baudRate;
    applied_.parity = settings.parity.value_or(applied_.parity);
    applied_.dataBits = settings.dataBits.value_or(applied_.dataBits);
    applied_.stopBits = settings.stopBits.value_or(applied_.stopBits);
    applied_.ctsFlow = settings.ctsFlow.value_or(applied_.ctsFlow);
    return {};
}

AppliedSettings FakeSerialDevice::ReadBack() const {
    std::lock_guard lock(mutex_);
    return applied_;
}

bool FakeSerialDevice::EventPending() const {
    return cancelled_ || waitFailure_ != 0 || !input_.empty() || ctsChangedPending_ ||
           lineErrorPending_;
}

OsResult<SerialEvents> FakeSerialDevice::WaitEvent() {
    std::unique_lock lock(mutex_);
    ++waiting_;
    changed_.notify_all();
    changed_.wait(lock, [&] { return EventPending(); });
    --waiting_;
    SerialEvents events;
    if (cancelled_) {
        events.cancelled = true;
        return {events, {}};
    }
    if (waitFailure_ != 0) {
        return {events, OsError{std::exchange(waitFailure_, 0), {}}};
    }
    events.received = !input_.empty();
    events.ctsChanged = std::exchange(ctsChangedPending_, false);
    events.lineError = std::exchange(lineErrorPending_, false);
    return {events, {}};
}

void FakeSerialDevice::CancelWaits() {
    std::lock_guard lock(mutex_);
    cancelled_ = true;
    changed_.notify_all();
}

std::size_t FakeSerialDevice::QueuedInput() {
    std::lock_guard lock(mutex_);
    return input_.size();
}

OsResult<std::size_t> FakeSerialDevice::Read(std::uint8_t* buffer, std::size_t maxCount) {
    std::lock_guard lock(mutex_);
    const std::size_t count = std::min(maxCount, input_.size());
    std::copy_n(input_.begin(), count, buffer);
    input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(count));
    return {count, {}};
}

OsResult<std::size_t> FakeSerialDevice::Write(const std::uint8_t* bytes, std::size_t count) {
    std::unique_lock lock(mutex_);
    if (writeFailure_ != 0) {
        return {0, OsError{writeFailure_, {}}};
    }
    changed_.wait(lock, [&] { return !holdWrites_ || cancelled_; });
    if (holdWrites_) {
        return {0, {}};
    }
    writesAfterCancel_ += cancelled_ && count > 0 ? 1 : 0;
    const Clock::time_point now = Clock::now();
    for (std::size_t i = 0; i < count; ++i) {
        const Clock::time_point start = sent_.empty() ? now : std::max(now, sent_.back().left);
        sent_.push_back({bytes[i], now, start + byteTime_});
    }
    changed_.notify_all();
    return {count, {}};
}

void FakeSerialDevice::Drain() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !holdWrites_ || cancelled_; });
    if (!sent_.empty()) {
        changed_.wait_until(lock, sent_.back().left, [&] { return cancelled_; });
    }
}

std::size_t FakeSerialDevice::QueuedOutput() {
    std::lock_guard lock(mutex_);
    return sent_.size() - LeftBy(Clock::now());
}

void FakeSerialDevice::Purge(bool input, bool /*output*/) {
    std::lock_guard lock(mutex_);
    if (input) {
        input_.clear();
    }
}

bool FakeSerialDevice::Cts() {
    std::lock_guard lock(mutex_);
    return cts_;
}

LineErrors FakeSerialDevice::TakeLineErrors() {
    std::lock_guard lock(mutex_);
    return std::exchange(countedErrors_, LineErrors{});
}

void FakeSerialDevice::SetOpen(bool open) {
    std::lock_guard lock(mutex_);
    open_ = open;
    if (open) {
        // A device opened again starts afresh, as a real one does.
        cancelled_ = false;
        writesAfterCancel_ = 0;
    }
    changed_.notify_all();
}

}  // namespace velotrix
