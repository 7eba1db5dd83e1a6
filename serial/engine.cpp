// The engine: the open port with its receive thread, the receive engine, the sender and the
// transmit image, behind calls in the user's terms.
#include "serial/engine.h"

#include <algorithm>
#include <utility>

#include "serial/byte_taker.h"
#include "serial/error_texts.h"
#include "serial/line_log.h"
#include "serial/loaded_file_watch.h"
#include "serial/port_life.h"
#include "serial/port_rows.h"
#include "serial/receive_engine.h"
#include "serial/reception_files.h"
#include "serial/self_tester.h"
#include "serial/send_sequences.h"
#include "serial/serial_port.h"
#include "serial/terminal_link.h"
#include "serial/text_file.h"
#include "serial/transfer_options.h"
#include "serial/transmit_image.h"
#include "serial/xmodem_transfer.h"
#include "text/cp1252.h"
#include "text/text_helpers.h"
#include "ui-resources/messages.h"

namespace velotrix {

struct Engine::Impl {
    Impl(UiLoop& loop, DeviceAccess devices, EngineSubscriber subscriber)
        : events(loop,
                 [this, subscriber = std::move(subscriber)](const EngineEvent& event) {
                     // A reception asked for in the terminal hands the line back at its end.
                     if (std::holds_alternative<ReceptionFinishedEvent>(event)) {
                         terminal.ReceptionEnded();
                     }
                     // A write that finds the device gone loses the line like a failed wait.
                     const auto* failed = std::get_if<OsErrorEvent>(&event);
                     if (failed != nullptr && KindOf(failed->error) == OsErrorKind::kDeviceGone) {
                         life.LoseLine(failed->error);
                     } else if (subscriber) {
                         subscriber(event);
                     }
                     // After the face has shown the end, a rewrite that waited may send.
                     if (std::holds_alternative<SendEndedEvent>(event)) {
                         xmodem.SenderEnded();
                         watch.SendEnded();
                     }
                 }),
          bytes(loop, receiver),
          receiver(events, bytes),
          sends(events, port, options, tx),
          transmit(tx, sends),
          selfTest(events, bytes),
          life(loop, std::move(devices), events, port,
               {[this](std::span<const std::uint8_t> batch) { bytes.TakeBytes(batch); },
                [this] { return sends.Busy(); }, [this] { sends.StopAndJoin(); },
                [this] {
                    terminal.CancelPrompt();
                    bytes.PortClosed(true);
                },
                [this](const LineErrors& errors) { bytes.TakeLineErrors(errors); }},
               log) {
        transmit.SetLoadObserver(
            [this](const std::string& path, bool loaded) { watch.Follow(path, loaded); });
        bytes.SetInputWaiting([this] { return life.InputWaiting(); });
    }

    EventEmitter events;
    SerialPort port;
    TxImage tx;
    TransferOptions options;
    // Who takes the received bytes: the reception unless the self-test (or another taker) runs.
    // Before the takers, which leave it when they go.
    ReceivedBytesSlot bytes;
    ReceiveEngine receiver;
    SendSequences sends;
    TransmitImage transmit;
    LoadedFileWatch watch{events.Loop(), transmit, sends, options, port};
    SelfTester selfTest;
    XmodemTransfer xmodem{events, bytes, sends, receiver, port.promptReceive};
    // The slot's default taker while the terminal is open.
    TerminalLink terminal{events, bytes, receiver};
    // Before the port's life, so that the port's close is still written.
    LineLog log;
    // Last, so that it closes the port (joining every worker) before the rest goes.
    PortLife life;
};

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

std::span<const std::uint8_t> Engine::Reception() const {
    return impl_->receiver.Savable().bytes;
}

bool Engine::ReceptionHasHeader() const {
    return impl_->receiver.Savable().hasHeader;
}

const std::string& Engine::ReceptionName() const {
    return impl_->receiver.Savable().name;
}

const SavableReception& Engine::FinishedReception() const {
    return impl_->receiver.Savable();
}

bool Engine::Receiving() const {
    return impl_->receiver.Receiving();
}

void Engine::FinishReception() {
    if (impl_->receiver.Receiving()) {
        impl_->receiver.FinishReception(true);
    }
}

SavedReception Engine::SaveReception(const SaveTarget& target) {
    return SaveReceptionTo(impl_->receiver.Savable(), target);
}

ReceivedBytesSlot& Engine::ReceivedBytes() {
    return impl_->bytes;
}

void Engine::ResetReception() {
    impl_->receiver.ResetListing();
}

void Engine::SetTerminal(bool open) {
    Impl& s = *impl_;
    s.terminal.SetOpen(open);
    s.options.keepInput = open;
}

bool Engine::TerminalOpen() const {
    return impl_->terminal.Open();
}

EngineResult Engine::AskReception(bool asked) {
    Impl& s = *impl_;
    // A reception that runs ends now, cut short; its end hands the line back.
    if (!asked && s.terminal.ReceptionAsked() && s.receiver.Receiving()) {
        s.receiver.FinishReception(true);
    }
    return s.terminal.AskReception(asked);
}

bool Engine::ReceptionAsked() const {
    return impl_->terminal.ReceptionAsked();
}

EngineResult Engine::Type(std::string bytes) {
    Impl& s = *impl_;
    if (s.bytes.KeepsLine()) {
        return BusyResult();
    }
    s.terminal.Typed();
    return s.sends.Type(std::move(bytes));
}

EngineResult Engine::SendBreak() {
    return impl_->bytes.KeepsLine() ? BusyResult() : impl_->sends.SendBreak(kBreakDuration);
}

EngineResult Engine::SendAfterPrompt(const std::string& prompt, std::chrono::milliseconds timeout,
                                     std::function<EngineResult()> send) {
    if (!IsOpen()) {
        return {ErrorKind::kNotOpen, {}, {}, {}};
    }
    return impl_->terminal.AwaitPrompt(prompt, timeout, std::move(send));
}

void Engine::CancelPrompt() {
    impl_->terminal.CancelPrompt();
}

bool Engine::AwaitingPrompt() const {
    return impl_->terminal.AwaitingPrompt();
}

void Engine::SetAutoReopen(bool on) {
    impl_->life.SetAutoReopen(on);
}

EngineResult Engine::StartLog(const std::string& path) {
    Impl& s = *impl_;
    StopLog();
    // A write that fails later stops the log; the user learns why.
    const OsError error = s.log.Start(path, [&events = s.events](const OsError& failed) {
        events.PostLines({std::string(msg::kLogFailed) + UserErrorText(failed)}, true);
    });
    if (error) {
        return {ErrorKind::kFileError,
                std::string(msg::kLogCannotOpen) + Utf8ToCp1252(path) + "\r" + UserErrorText(error),
                std::string(msg::kErrorCaption),
                {}};
    }
    s.log.Note(std::string(msg::kLogStarted));
    s.life.NoteOpenPort(msg::kLogIsOpen);
    return {};
}

void Engine::StopLog() {
    impl_->log.End();
}

bool Engine::Logging() const {
    return impl_->log.Active();
}

OsError Engine::LogFailure() const {
    return impl_->log.Failure();
}

void Engine::SetLogClock(LogClock clock) {
    impl_->log.SetClock(std::move(clock));
}

void Engine::SetLineErrorPause(ReceivePause pause) {
    impl_->life.SetLineErrorPause(std::move(pause));
}

}  // namespace velotrix
