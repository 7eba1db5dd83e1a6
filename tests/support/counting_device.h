// A serial device that counts the bytes written through it before and after closing began, so
// that a test can see whether anything reached the line after the port was closed.
#pragma once

#include <atomic>
#include <memory>

#include "platform/serial_device.h"

namespace velotrix::test {

class CountingDevice : public SerialDevice {
  public:
    CountingDevice(std::unique_ptr<SerialDevice> device, std::atomic<std::size_t> (&written)[2])
        : device_(std::move(device)), written_(written) {}
    OsError Configure(const LineSettings& s) override { return device_->Configure(s); }
    AppliedSettings ReadBack() const override { return device_->ReadBack(); }
    OsResult<SerialEvents> WaitEvent() override { return device_->WaitEvent(); }
    void CancelWaits() override {
        cancelled_ = true;
        device_->CancelWaits();
    }
    std::size_t QueuedInput() override { return device_->QueuedInput(); }
    OsResult<std::size_t> Read(std::uint8_t* b, std::size_t n) override {
        return device_->Read(b, n);
    }
    OsResult<std::size_t> Write(const std::uint8_t* bytes, std::size_t count) override {
        const bool late = cancelled_;
        const OsResult<std::size_t> result = device_->Write(bytes, count);
        written_[late ? 1 : 0] += result.value;
        return result;
    }
    void Drain() override { device_->Drain(); }
    std::size_t QueuedOutput() override { return device_->QueuedOutput(); }
    void Purge(bool input, bool output) override { device_->Purge(input, output); }
    bool Cts() override { return device_->Cts(); }
    LineErrors TakeLineErrors() override { return device_->TakeLineErrors(); }

  private:
    std::unique_ptr<SerialDevice> device_;
    std::atomic<std::size_t> (&written_)[2];
    std::atomic<bool> cancelled_{false};
};

}  // namespace velotrix::test
