// The engine: the open port with its receive thread, the receive engine, the sender and the
// transmit image, behind calls in the user's terms. The calls about the reception, the terminal and
// the line log are in engine_line.cpp.
#include <algorithm>
#include <utility>

#include "serial/byte_taker.h"
#include "serial/engine_impl.h"
#include "serial/error_texts.h"
#include "serial/port_rows.h"
#include "serial/text_file.h"
#include "text/cp1252.h"
#include "text/text_helpers.h"
#include "ui-resources/messages.h"

namespace velotrix {

std::string BaudChangedLine(const BaudChangedEvent& event) {
    return std::string(msg::kBaudChangedPrefix) + std::to_string(event.applied) +
           std::string(msg::kBaudChangedMiddle) + std::to_string(event.asked);
}

std::string SendAbortedLine(const SendAbortedEvent& event) {
    const std::string counts = CountToDecimal(event.sent) + std::string(msg::kSendAbortedOf) +
                               CountToDecimal(event.total) + std::string(msg::kSendAbortedBytes);
    if (event.pass == 0) {
        return std::string(msg::kSendAborted) + counts;
    }
    return std::string(msg::kContinuousAbortedIn) + CountToDecimal(event.pass) +
           std::string(msg::kContinuousAbortedPass) + counts;
}

std::string FrameNotTakenLine(const FrameNotTakenEvent& event) {
    return std::string(msg::kFrameNotTaken) + event.settings;
}

std::string ReopenedLine(const ReopenedEvent& event) {
    return std::string(msg::kReopenedPrefix) + Utf8ToCp1252(event.port.name) +
           std::string(msg::kReopenedSuffix);
}

Engine::Engine(UiLoop& loop, DeviceAccess devices, EngineSubscriber subscriber)
    : impl_(std::make_unique<Impl>(loop, std::move(devices), std::move(subscriber))) {}

Engine::~Engine() = default;

EngineResult Engine::Open(const LineSettings& settings) {
    return impl_->life.Open(settings);
}

void Engine::Close() {
    const bool wasOpen = IsOpen();
    // A transfer's CANs go out first; then the line: a send's queue is discarded before anything
    // else is done.
    if (wasOpen) {
        impl_->bytes.PortClosing();
    }
    impl_->life.Close();
    impl_->terminal.CancelPrompt();
    if (wasOpen) {
        impl_->bytes.PortClosed(false);
    }
}

bool Engine::IsOpen() const {
    return impl_->port.portOpen.load();
}

bool Engine::Cts() {
    return impl_->port.device && impl_->port.device->Cts();
}

const std::string& Engine::OpenPath() const {
    return impl_->life.OpenPath();
}

std::vector<PortRow> Engine::ListPorts() {
    return Rows(false);
}

std::vector<PortRow> Engine::ProbePorts() {
    return Rows(true);
}

std::vector<PortRow> Engine::Rows(bool probe) {
    Impl& s = *impl_;
    std::vector<PortRow> rows;
    for (const PortInfo& info : s.life.Devices().listPorts()) {
        // Our own open port is not probed: that would open it a second time.
        if (s.port.portOpen.load() && info.path == s.life.OpenPath()) {
            rows.push_back({info, PortState::kBusy, std::string(msg::kPortOpenHere)});
        } else if (probe && info.access != PortAccess::kConsole) {
            const OsError error = s.life.Devices().openDevice(info.path).error;
            PortInfo tried = info;
            if (KindOf(error) == OsErrorKind::kBusy && tried.holderPid == 0) {
                const PortHolder holder = s.life.Devices().findHolder(info.path);
                tried.holder = holder.program;
                tried.holderPid = holder.pid;
            }
            rows.push_back(RowFor(tried, error));
        } else {
            rows.push_back(RowFor(info));
        }
    }
    return rows;
}

LoadOutcome Engine::LoadFile(const std::string& path) {
    return impl_->transmit.Load(path);
}

LoadOutcome Engine::ReloadFile() {
    return impl_->transmit.Reload();
}

void Engine::Unload() {
    impl_->transmit.Unload();
}

std::uint16_t Engine::SetLoadAddress(std::uint32_t aadr) {
    return impl_->transmit.SetLoadAddress(aadr);
}

void Engine::SetStartAddress(std::uint32_t sadr) {
    impl_->transmit.SetStartAddress(sadr);
}

void Engine::SetName(const std::string& name) {
    impl_->transmit.SetName(name);
}

void Engine::SetTypeLetter(char letter) {
    impl_->transmit.SetTypeLetter(letter);
}

void Engine::SetPause(int pauseIndex) {
    impl_->transmit.SetPause(pauseIndex);
}

const TxImage& Engine::Image() const {
    return impl_->tx;
}

void Engine::SetContinuousSend(bool on) {
    impl_->options.continuousSend = on;
}

void Engine::SetBinMode(bool on) {
    impl_->options.binMode = on;
}

void Engine::SetShowProgress(bool on) {
    impl_->options.showProgress = on;
}

void Engine::SetCharDelay(int ms) {
    impl_->options.charDelayMs = ms;
}

void Engine::SetLineDelay(int ms) {
    impl_->options.lineDelayMs = ms;
}

void Engine::SetLineEnd(LineEnd end) {
    impl_->options.lineEnd = end;
}

void Engine::SetHexRecords(int recordBytes) {
    impl_->options.hexRecordBytes = std::clamp(recordBytes, 0, 255);
}

SendSwitches Engine::Switches() const {
    const TransferOptions& options = impl_->options;
    return {options.continuousSend.load(), options.binMode.load(),     options.showProgress.load(),
            options.charDelayMs.load(),    options.lineDelayMs.load(), options.lineEnd.load(),
            options.hexRecordBytes.load()};
}

EngineResult Engine::SendFile() {
    return impl_->bytes.KeepsLine() ? BusyResult() : impl_->sends.SendFile();
}

EngineResult Engine::SendText(const std::string& text) {
    return impl_->bytes.KeepsLine() ? BusyResult() : impl_->sends.SendText(text);
}

EngineResult Engine::SendXmodem(bool longBlocks) {
    Impl& s = *impl_;
    // A self-test that only listens out for its late echo gives the line up.
    s.selfTest.EndLateEcho();
    if (!s.tx.loaded) {
        return {ErrorKind::kNothingToSend,
                std::string(msg::kNothingToSend),
                std::string(msg::kErrorCaption),
                {}};
    }
    if (!IsOpen()) {
        return {ErrorKind::kNotOpen, {}, {}, {}};
    }
    const bool withHeader = s.transmit.LoadedZ80() && !s.options.binMode.load();
    const AppliedSettings applied = s.port.device->ReadBack();
    const std::chrono::microseconds byteTime(std::int64_t{1000000} * BitsPerByte(applied) /
                                             std::max<std::uint32_t>(applied.baudRate, 1));
    return s.xmodem.Send(withHeader ? s.tx.HeaderAndData() : s.tx.Data(), longBlocks, byteTime);
}

EngineResult Engine::ReceiveXmodem(bool trimPadding) {
    impl_->selfTest.EndLateEcho();
    return impl_->xmodem.Receive({.crcFirst = true, .trimPadding = trimPadding});
}

void Engine::CancelXmodem() {
    impl_->xmodem.Cancel();
}

bool Engine::XmodemRunning() const {
    return impl_->xmodem.Running();
}

EngineResult Engine::SetModemLine(ModemLine line, bool on) {
    return impl_->life.SetModemLine(line, on);
}

bool Engine::ModemLineOn(ModemLine line) const {
    return impl_->life.ModemLineOn(line);
}

EngineResult Engine::StartSelfTest() {
    Impl& s = *impl_;
    s.selfTest.EndLateEcho();
    if (!s.bytes.DefaultHolds()) {
        return BusyResult();
    }
    if (s.receiver.Receiving()) {
        return {
            ErrorKind::kBusy, std::string(msg::kSelfTestBusy), std::string(msg::kInfoCaption), {}};
    }
    if (!IsOpen()) {
        return {ErrorKind::kNotOpen, {}, {}, {}};
    }
    const AppliedSettings applied = s.port.device->ReadBack();
    std::vector<std::uint8_t> pattern = SelfTestPattern(applied);
    // What waits from before would be taken for the first bytes back.
    s.port.device->Purge(true, false);
    if (EngineResult sent = s.sends.SendPattern(pattern); !sent.ok()) {
        return sent;
    }
    s.selfTest.Start(std::move(pattern), applied);
    return {};
}

bool Engine::SelfTesting() const {
    return impl_->selfTest.Active();
}

EngineResult Engine::SendTextFile(const std::string& path, LineEnd end, bool joinLines) {
    if (impl_->sends.Busy() || impl_->bytes.KeepsLine()) {
        return BusyResult();
    }
    TextFile file;
    if (EngineResult read = ReadTextFile(path, end, file); !read.ok()) {
        return read;
    }
    if (end == LineEnd::kNone && file.lines > 1 && !joinLines) {
        return {ErrorKind::kLinesWouldJoin,
                LinesWouldJoinText(file.lines),
                std::string(msg::kWindowTitle),
                {}};
    }
    if (file.bytes.empty()) {
        return {ErrorKind::kNothingToSend,
                std::string(msg::kNothingToSend),
                std::string(msg::kErrorCaption),
                {}};
    }
    return impl_->sends.SendTextFile(std::move(file.bytes), file.lines);
}

bool Engine::Sending() const {
    return impl_->sends.Busy();
}

EngineResult Engine::WatchLoadedFile(RewriteHandler handler) {
    return impl_->watch.SetHandler(std::move(handler));
}

void Engine::SetFileWatchStarter(FileWatchStarter starter) {
    impl_->watch.SetStarter(std::move(starter));
}

}  // namespace velotrix
