// The scripted serial device and its registry of devices by path.
#include "platform/fake/fake_serial_device.h"

#include <algorithm>
#include <cerrno>
#include <utility>

#include "text/text_helpers.h"

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
    void Purge(bool input, bool output) override { device_->Purge(input, output); }
    bool Cts() override { return device_->Cts(); }
    LineErrors TakeLineErrors() override { return device_->TakeLineErrors(); }

  private:
    std::shared_ptr<FakeSerialDevice> device_;
};

void FakeSerialDevice::InjectInput(const std::vector<std::uint8_t>& bytes) {
    std::lock_guard lock(mutex_);
    input_.insert(input_.end(), bytes.begin(), bytes.end());
    changed_.notify_all();
}

void FakeSerialDevice::InjectInput(std::string_view bytes) {
    InjectInput(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

void FakeSerialDevice::InjectLineErrors(const LineErrors& errors) {
    std::lock_guard lock(mutex_);
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

void FakeSerialDevice::FailNextRead(int code) {
    std::lock_guard lock(mutex_);
    readFailure_ = code;
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

std::vector<std::uint8_t> FakeSerialDevice::Written() const {
    std::lock_guard lock(mutex_);
    return written_;
}

int FakeSerialDevice::PurgeCount(Queue queue) const {
    std::lock_guard lock(mutex_);
    return queue == Queue::kInput ? inputPurges_ : outputPurges_;
}

std::optional<LineSettings> FakeSerialDevice::LastSettings() const {
    std::lock_guard lock(mutex_);
    return lastSettings_;
}

int FakeSerialDevice::ConfigureCount() const {
    std::lock_guard lock(mutex_);
    return configureCount_;
}

int FakeSerialDevice::WaitCount() const {
    std::lock_guard lock(mutex_);
    return waitCount_;
}

bool FakeSerialDevice::Cancelled() const {
    std::lock_guard lock(mutex_);
    return cancelled_;
}

bool FakeSerialDevice::IsOpen() const {
    std::lock_guard lock(mutex_);
    return open_;
}

bool FakeSerialDevice::WaitUntilWritten(std::size_t count,
                                        std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return written_.size() >= count; });
}

bool FakeSerialDevice::WaitUntilWaiting(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [&] { return waiting_ > 0; });
}

std::unique_ptr<SerialDevice> FakeSerialDevice::Share(std::shared_ptr<FakeSerialDevice> device) {
    return std::make_unique<FakeSerialDeviceHandle>(std::move(device));
}

OsError FakeSerialDevice::Configure(const LineSettings& settings) {
    std::lock_guard lock(mutex_);
    ++configureCount_;
    lastSettings_ = settings;
    if (settings.baudRate != 0) {
        applied_.baudRate = settings.baudRate;
    }
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
    ++waitCount_;
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
    if (readFailure_ != 0) {
        return {0, OsError{std::exchange(readFailure_, 0), {}}};
    }
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
    written_.insert(written_.end(), bytes, bytes + count);
    changed_.notify_all();
    return {count, {}};
}

void FakeSerialDevice::Drain() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return !holdWrites_ || cancelled_; });
}

void FakeSerialDevice::Purge(bool input, bool output) {
    std::lock_guard lock(mutex_);
    if (input) {
        ++inputPurges_;
        input_.clear();
    }
    if (output) {
        ++outputPurges_;
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
    changed_.notify_all();
}

FakeSerialDevice::Registry::Registry() : state_(std::make_shared<State>()) {}

std::shared_ptr<FakeSerialDevice> FakeSerialDevice::Registry::Add(const std::string& path) {
    std::string name;
    if (FileNameOfPath(path, name) != 0) {
        name = path;
    }
    auto device = std::make_shared<FakeSerialDevice>();
    std::lock_guard lock(state_->mutex);
    state_->entries.push_back({{name, path}, device, {}});
    return device;
}

void FakeSerialDevice::Registry::FailOpen(const std::string& path, const OsError& error) {
    std::lock_guard lock(state_->mutex);
    for (Entry& entry : state_->entries) {
        if (entry.port.path == path) {
            entry.openFailure = error;
        }
    }
}

OsResult<std::unique_ptr<SerialDevice>> FakeSerialDevice::Registry::OpenIn(
    State& state, const std::string& path) {
    std::lock_guard lock(state.mutex);
    for (const Entry& entry : state.entries) {
        if (entry.port.path != path) {
            continue;
        }
        if (entry.openFailure) {
            return {nullptr, entry.openFailure};
        }
        if (entry.device->IsOpen()) {
            return {nullptr, OsError{EBUSY, {}}};
        }
        return {Share(entry.device), {}};
    }
    return {nullptr, OsError{ENOENT, {}}};
}

std::vector<PortInfo> FakeSerialDevice::Registry::ListIn(State& state) {
    std::lock_guard lock(state.mutex);
    std::vector<PortInfo> ports;
    for (const Entry& entry : state.entries) {
        ports.push_back(entry.port);
    }
    return ports;
}

OsResult<std::unique_ptr<SerialDevice>> FakeSerialDevice::Registry::Open(
    const std::string& path) const {
    return OpenIn(*state_, path);
}

std::vector<PortInfo> FakeSerialDevice::Registry::List() const {
    return ListIn(*state_);
}

std::function<std::vector<PortInfo>()> FakeSerialDevice::Registry::Lister() const {
    return [state = state_] { return ListIn(*state); };
}

std::function<OsResult<std::unique_ptr<SerialDevice>>(const std::string& path)>
FakeSerialDevice::Registry::Opener() const {
    return [state = state_](const std::string& path) { return OpenIn(*state, path); };
}

}  // namespace velotrix
