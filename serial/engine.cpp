// The engine: the open port with its receive thread, the receive engine, the sender and the
// transmit image, behind calls in the user's terms.
#include "serial/engine.h"

#include <utility>

#include "image/rx_save.h"
#include "serial/error_texts.h"
#include "serial/receive_engine.h"
#include "serial/self_test.h"
#include "serial/send_sequences.h"
#include "serial/serial_port.h"
#include "serial/text_file.h"
#include "text/cp1252.h"
#include "ui-resources/messages.h"

namespace velotrix {

struct Engine::Impl {
    Impl(UiLoop& loop, DeviceAccess devices, EngineSubscriber subscriber)
        : events(loop,
                 [this, subscriber = std::move(subscriber)](const EngineEvent& event) {
                     // A write that finds the device gone loses the line like a failed wait.
                     const auto* failed = std::get_if<OsErrorEvent>(&event);
                     if (failed != nullptr && KindOf(failed->error) == OsErrorKind::kDeviceGone) {
                         life.LoseLine(failed->error);
                     } else if (subscriber) {
                         subscriber(event);
                     }
                     // After the face has shown the end, a rewrite that waited may send.
                     if (std::holds_alternative<SendEndedEvent>(event)) {
                         watch.SendEnded();
                     }
                 }),
          receiver(events),
          sends(events, port, options, tx),
          transmit(tx, sends),
          selfTest(events),
          life(loop, std::move(devices), events, port,
               {[this](std::span<const std::uint8_t> batch) {
                    // The self-test's pattern is never a reception.
                    if (selfTest.Active()) {
                        selfTest.Consume(batch);
                    } else {
                        receiver.ConsumeReceivedBytes(batch);
                    }
                },
                [this] { return sends.Busy(); }, [this] { sends.StopAndJoin(); },
                [this] {
                    selfTest.Cancel();
                    if (receiver.Receiving()) {
                        receiver.FinishReception(true);
                    }
                },
                [this](const LineErrors& errors) { selfTest.CountErrors(errors); }},
               log) {
        transmit.SetLoadObserver(
            [this](const std::string& path, bool loaded) { watch.Follow(path, loaded); });
    }

    EventEmitter events;
    SerialPort port;
    TxImage tx;
    TransferOptions options;
    ReceiveEngine receiver;
    SendSequences sends;
    TransmitImage transmit;
    LoadedFileWatch watch{events.Loop(), transmit, sends, options, port};
    SelfTest selfTest;
    // Before the port's life, so that the port's close is still written.
    LineLog log;
    // Last, so that it closes the port (joining every worker) before the rest goes.
    PortLife life;
};

std::string BaudChangedLine(const BaudChangedEvent& event) {
    return std::string(msg::kBaudChangedPrefix) + std::to_string(event.applied) +
           std::string(msg::kBaudChangedMiddle) + std::to_string(event.asked);
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
    // The line first: a send's queue is discarded before anything else is done.
    impl_->life.Close();
    impl_->selfTest.Cancel();
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

TransferOptions& Engine::Options() {
    return impl_->options;
}

EngineResult Engine::SendFile() {
    return impl_->selfTest.Active() ? BusyResult() : impl_->sends.SendFile();
}

EngineResult Engine::SendText(const std::string& text) {
    return impl_->selfTest.Active() ? BusyResult() : impl_->sends.SendText(text);
}

EngineResult Engine::SetModemLine(ModemLine line, bool on) {
    return impl_->life.SetModemLine(line, on);
}

bool Engine::ModemLineOn(ModemLine line) const {
    return impl_->life.ModemLineOn(line);
}

EngineResult Engine::StartSelfTest() {
    Impl& s = *impl_;
    if (s.selfTest.Active()) {
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

EngineResult Engine::SendTextFile(const std::string& path) {
    if (impl_->sends.Busy()) {
        return BusyResult();
    }
    TextFile file;
    if (EngineResult read = ReadTextFile(path, impl_->options.lineEnd.load(), file); !read.ok()) {
        return read;
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
    return impl_->receiver.SavableBytes();
}

bool Engine::ReceptionHasHeader() const {
    return impl_->receiver.SavableHasHeader();
}

const std::string& Engine::ReceptionName() const {
    return impl_->receiver.SavableName();
}

bool Engine::Receiving() const {
    return impl_->receiver.Receiving();
}

void Engine::FinishReception() {
    if (impl_->receiver.Receiving()) {
        impl_->receiver.FinishReception(true);
    }
}

namespace {

EngineResult NothingToSave() {
    return {ErrorKind::kNothingToSave,
            std::string(msg::kNothingToSave),
            std::string(msg::kErrorCaption),
            {}};
}

EngineResult SaveOutcome(const SaveResult& saved) {
    std::string text = saved.message;
    if (saved.osError != 0) {
        text += "\r" + UserErrorText(OsError{saved.osError, {}});
    }
    return {saved.status == SaveStatus::kWritten ? ErrorKind::kNone : ErrorKind::kFileError,
            std::move(text),
            saved.caption,
            {}};
}

}  // namespace

EngineResult Engine::SaveReception(const std::string& path) {
    const std::span<const std::uint8_t> bytes = Reception();
    return bytes.empty() ? NothingToSave() : SaveOutcome(SaveRxBuffer(path, bytes));
}

EngineResult Engine::SaveReceptionAsNew(const std::string& path, std::string& written) {
    written.clear();
    const std::span<const std::uint8_t> bytes = Reception();
    if (bytes.empty()) {
        return NothingToSave();
    }
    const SaveResult saved = SaveRxBufferAsNew(path, bytes);
    written = saved.path;
    return SaveOutcome(saved);
}

void Engine::ResetReception() {
    impl_->receiver.ResetListing();
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
