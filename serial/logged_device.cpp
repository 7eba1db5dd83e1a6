// The open port with its traffic told to the line log.
#include "serial/logged_device.h"

#include <algorithm>

#include "serial/error_texts.h"
#include "ui-resources/messages.h"

namespace velotrix {

OsResult<std::size_t> LoggedDevice::Read(std::uint8_t* buffer, std::size_t maxCount) {
    const OsResult<std::size_t> read = device_->Read(buffer, maxCount);
    log_.Bytes(LogKind::kRx, buffer, read.value);
    NoteError(read.error);
    return read;
}

OsResult<std::size_t> LoggedDevice::Write(const std::uint8_t* bytes, std::size_t count) {
    const OsResult<std::size_t> written = device_->Write(bytes, count);
    // Only what the driver took: a write cut short by a close sent the rest nowhere.
    log_.Bytes(LogKind::kTx, bytes, std::min(written.value, count));
    NoteError(written.error);
    return written;
}

OsError LoggedDevice::SetModemLine(ModemLine line, bool on) {
    const OsError error = device_->SetModemLine(line, on);
    if (!error && log_.Active()) {
        log_.Note(std::string(msg::kLogSettings) + (line == ModemLine::kDtr ? "DTR" : "RTS") +
                  std::string(on ? msg::kLogLineOn : msg::kLogLineOff));
    }
    NoteError(error);
    return error;
}

OsError LoggedDevice::SendBreak(std::chrono::milliseconds duration) {
    const OsError error = device_->SendBreak(duration);
    if (!error && log_.Active()) {
        log_.Note(std::string(msg::kLogBreakSent) + std::to_string(duration.count()) +
                  std::string(msg::kLogMs));
    }
    NoteError(error);
    return error;
}

LineErrors LoggedDevice::TakeLineErrors() {
    const LineErrors errors = device_->TakeLineErrors();
    if (errors.Any() && log_.Active()) {
        std::string line(msg::kLogLineErrors);
        line += errors.framing ? msg::kLogFraming : "";
        line += errors.parity ? msg::kLogParity : "";
        line += errors.overrun ? msg::kLogOverrun : "";
        line += errors.brk ? msg::kLogBreak : "";
        log_.Note(std::move(line));
    }
    return errors;
}

void LoggedDevice::NoteError(const OsError& error) {
    if (error && log_.Active()) {
        log_.Note(std::string(msg::kLogError) + UserErrorText(error));
    }
}

std::string SettingsLogLine(const AppliedSettings& applied) {
    const LineSettings asked{
        {}, applied.baudRate, applied.parity, applied.dataBits, applied.stopBits, applied.ctsFlow};
    // Nothing differs from what was asked, so every setting is named.
    return std::string(msg::kLogSettings) + RefusedSettings(asked, applied);
}

}  // namespace velotrix
