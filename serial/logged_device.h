// The open port as the engine uses it: the device itself, with what passes through it told to the
// line log (bytes written and read, DTR and RTS set, line errors, failed reads and writes).
#pragma once

#include <memory>

#include "platform/serial_device.h"
#include "serial/line_log.h"

namespace velotrix {

// Every call goes to the device; a new call of SerialDevice must be passed on here too.
class LoggedDevice : public SerialDevice {
  public:
    LoggedDevice(std::unique_ptr<SerialDevice> device, LineLog& log)
        : device_(std::move(device)), log_(log) {}

    OsError Configure(const LineSettings& settings) override {
        return device_->Configure(settings);
    }
    AppliedSettings ReadBack() const override { return device_->ReadBack(); }
    OsResult<SerialEvents> WaitEvent() override { return device_->WaitEvent(); }
    void CancelWaits() override { device_->CancelWaits(); }
    std::size_t QueuedInput() override { return device_->QueuedInput(); }
    OsResult<std::size_t> Read(std::uint8_t* buffer, std::size_t maxCount) override;
    OsResult<std::size_t> Write(const std::uint8_t* bytes, std::size_t count) override;
    void StopWrites() override { device_->StopWrites(); }
    void StopWritesOnInterrupt(bool armed) override { device_->StopWritesOnInterrupt(armed); }
    std::size_t TakeStoppedOutput() override { return device_->TakeStoppedOutput(); }
    void Drain() override { device_->Drain(); }
    std::size_t QueuedOutput() override { return device_->QueuedOutput(); }
    void Purge(bool input, bool output) override { device_->Purge(input, output); }
    bool Cts() override { return device_->Cts(); }
    ModemStatus ReadModemStatus() override { return device_->ReadModemStatus(); }
    OsError SendBreak(std::chrono::milliseconds duration) override;
    OsError SetModemLine(ModemLine line, bool on) override;
    std::optional<DrivenLines> ReadDrivenLines() override { return device_->ReadDrivenLines(); }
    LineErrors TakeLineErrors() override;

  private:
    void NoteError(const OsError& error);

    std::unique_ptr<SerialDevice> device_;
    LineLog& log_;
};

// The log's line of the line settings the driver has applied, "Einstellungen: 9600 Baud, ...".
std::string SettingsLogLine(const AppliedSettings& applied);

}  // namespace velotrix
