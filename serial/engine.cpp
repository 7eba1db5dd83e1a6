// The engine: the open port with its receive thread, the receive engine, the sender and the
// transmit image, behind calls in the user's terms.
#include "serial/engine.h"

#include <cerrno>
#include <chrono>
#include <optional>
#include <utility>

#include "image/rx_save.h"
#include "serial/receive_engine.h"
#include "serial/send_sequences.h"
#include "serial/serial_port.h"
#include "text/cp1252.h"
#include "ui-resources/ids.h"
#include "ui-resources/messages.h"

namespace velotrix {

namespace {

// How often a lost port's device is looked for.
constexpr std::chrono::milliseconds kReopenPoll{500};

}  // namespace

struct Engine::Impl : std::enable_shared_from_this<Engine::Impl> {
    Impl(UiLoop& l, DeviceAccess d, EngineSubscriber subscriber)
        : loop(l),
          devices(std::move(d)),
          events(l,
                 [this, subscriber = std::move(subscriber)](const EngineEvent& event) {
                     // A write that finds the device gone loses the line like a failed wait.
                     const auto* failed = std::get_if<OsErrorEvent>(&event);
                     if (failed != nullptr && KindOf(failed->error) == OsErrorKind::kDeviceGone) {
                         LoseLine(session, failed->error);
                     } else if (subscriber) {
                         subscriber(event);
                     }
                 }),
          receiver(events),
          sends(events, port, options, tx),
          transmit(tx, sends) {}

    UiLoop& loop;
    DeviceAccess devices;
    EventEmitter events;
    SerialPort port;
    TxImage tx;
    TransferOptions options;
    ReceiveEngine receiver;
    SendSequences sends;
    TransmitImage transmit;
    std::unique_ptr<ReceiveThread> receiveThread;
    ReceivePause lineErrorPause;
    std::string openPath;
    LineSettings openSettings;
    // Counts the opens, so that a report of an earlier open is never taken for this one.
    std::uint64_t session = 0;
    // What was open when the line was lost, while the engine watches for it to come back.
    bool autoReopen = true;
    std::optional<LineSettings> lostSettings;
    PortInfo lostPort;
    std::string openSerialNumber;

    std::string SerialNumberOf(const std::string& path) {
        for (const PortInfo& info : devices.listPorts()) {
            if (info.path == path) {
                return info.serialNumber;
            }
        }
        return {};
    }

    void StopWatching() {
        lostSettings.reset();
        loop.StopTimer(ids::kReopenTimer);
    }

    void Close() {
        StopWatching();
        if (!port.portOpen.load()) {
            return;
        }
        // The sender and the receive thread stop first, so that nothing reaches the line after
        // the close, and no write or wait can reach a closed device.
        port.portOpen.store(false);
        port.device->CancelWaits();
        if (receiveThread) {
            receiveThread->Stop();
            receiveThread->Join();
            receiveThread.reset();
        }
        sends.StopAndJoin();
        port.device->Purge(true, false);
        port.device.reset();
        openPath.clear();
    }

    // The device failed for good: the port is closed once, whoever noticed first, and what has
    // arrived so far becomes a finished reception that can be saved.
    void LoseLine(std::uint64_t failedSession, const OsError& error) {
        if (failedSession != session || !port.portOpen.load()) {
            return;
        }
        const LineSettings settings = openSettings;
        const PortInfo lost{settings.port, settings.port, {}, openSerialNumber};
        Close();
        if (receiver.Receiving()) {
            receiver.FinishReception();
        }
        // The watch begins before the event is shown: its box may stay open for a while.
        if (autoReopen) {
            lostSettings = settings;
            lostPort = lost;
            WatchForReturn();
        }
        events.Emit(LineLostEvent{error});
    }

    // The device may come back under its path, or (a USB adapter in another socket) under another
    // name with the same serial number.
    void WatchForReturn() {
        loop.StartTimer(ids::kReopenTimer, kReopenPoll, [this] {
            if (!lostSettings) {
                return;
            }
            for (const PortInfo& info : devices.listPorts()) {
                const bool same =
                    info.path == lostPort.path ||
                    (!lostPort.serialNumber.empty() && info.serialNumber == lostPort.serialNumber);
                if (!same) {
                    continue;
                }
                LineSettings settings = *lostSettings;
                settings.port = info.path;
                lostSettings.reset();
                if (Open(settings).ok()) {
                    events.Emit(ReopenedEvent{info, settings.ctsFlow, port.device->Cts()});
                    return;
                }
                lostSettings = settings;
            }
            WatchForReturn();
        });
    }

    void StartReceiveThread(const std::shared_ptr<Impl>& self) {
        const std::weak_ptr<Impl> weak = self;
        const std::uint64_t current = ++session;
        ReceiveSinks sinks;
        sinks.bytes = [weak, &l = loop](std::vector<std::uint8_t> batch) {
            l.Post([weak, batch = std::move(batch)] {
                if (const std::shared_ptr<Impl> impl = weak.lock()) {
                    impl->receiver.ConsumeReceivedBytes(batch);
                }
            });
        };
        sinks.cts = [weak, &l = loop, current](bool cts) {
            l.Post([weak, current, cts] {
                const std::shared_ptr<Impl> impl = weak.lock();
                if (impl && impl->session == current && impl->port.portOpen.load()) {
                    impl->events.Emit(CtsEvent{cts});
                }
            });
        };
        sinks.error = [weak, &l = loop, current](const OsError& error, bool ended) {
            l.Post([weak, current, error, ended] {
                const std::shared_ptr<Impl> impl = weak.lock();
                if (!impl) {
                    return;
                }
                if (ended || KindOf(error) == OsErrorKind::kDeviceGone) {
                    impl->LoseLine(current, error);
                } else if (impl->session == current) {
                    impl->events.Emit(OsErrorEvent{error});
                }
            });
        };
        receiveThread = std::make_unique<ReceiveThread>(*port.device, port.portOpen,
                                                        std::move(sinks), lineErrorPause);
        receiveThread->Start();
    }

    EngineResult Open(const LineSettings& settings) {
        Impl& s = *this;
        if (s.port.portOpen.load()) {
            return {ErrorKind::kBusy, {}, {}, {}};
        }
        if (settings.port.empty()) {
            return OsErrorResult(OsError{ENODEV, {}});
        }
        OsResult<std::unique_ptr<SerialDevice>> opened = s.devices.openDevice(settings.port);
        if (!opened.ok() && KindOf(opened.error) == OsErrorKind::kNotSerial) {
            return {ErrorKind::kBadArgument,
                    Utf8ToCp1252(settings.port) + std::string(msg::kNotSerial),
                    std::string(msg::kSystemErrorCaption),
                    {}};
        }
        if (!opened.ok()) {
            return OsErrorResult(opened.error);
        }
        // A port that refuses the chosen settings would receive at the wrong speed or not raw, and
        // so change bytes unnoticed: it is closed again and stays closed, with the driver's reason.
        if (const OsError error = opened.value->Configure(settings)) {
            return OsErrorResult(error);
        }
        s.port.device = std::move(opened.value);
        s.openPath = settings.port;
        s.openSettings = settings;
        s.openSerialNumber = SerialNumberOf(settings.port);
        s.port.portOpen.store(true);
        s.port.device->Purge(true, true);
        s.StartReceiveThread(shared_from_this());
        // Drivers round rates they cannot make; the user learns the rate really on the line.
        const std::uint32_t applied = s.port.device->ReadBack().baudRate;
        if (settings.baudRate != 0 && applied != 0 && applied != settings.baudRate) {
            s.events.Post(BaudChangedEvent{settings.baudRate, applied});
        }
        return {};
    }
};

std::string BaudChangedLine(const BaudChangedEvent& event) {
    return std::string(msg::kBaudChangedPrefix) + std::to_string(event.applied) +
           std::string(msg::kBaudChangedMiddle) + std::to_string(event.asked);
}

std::string ReopenedLine(const ReopenedEvent& event) {
    return std::string(msg::kReopenedPrefix) + Utf8ToCp1252(event.port.name) +
           std::string(msg::kReopenedSuffix);
}

EngineResult OsErrorResult(const OsError& error) {
    return {KindOf(error) == OsErrorKind::kDeviceGone ? ErrorKind::kPortLost : ErrorKind::kOsError,
            {},
            {},
            error};
}

Engine::Engine(UiLoop& loop, DeviceAccess devices, EngineSubscriber subscriber)
    : impl_(std::make_shared<Impl>(loop, std::move(devices), std::move(subscriber))) {}

Engine::~Engine() {
    impl_->Close();
}

EngineResult Engine::Open(const LineSettings& settings) {
    impl_->StopWatching();
    return impl_->Open(settings);
}

void Engine::Close() {
    impl_->Close();
}

bool Engine::IsOpen() const {
    return impl_->port.portOpen.load();
}

bool Engine::Cts() {
    return impl_->port.device && impl_->port.device->Cts();
}

const std::string& Engine::OpenPath() const {
    return impl_->openPath;
}

std::vector<PortRow> Engine::ListPorts(PortCheck check) {
    Impl& s = *impl_;
    std::vector<PortRow> rows;
    for (const PortInfo& info : s.devices.listPorts()) {
        // Our own open port is not probed: that would open it a second time.
        if (s.port.portOpen.load() && info.path == s.openPath) {
            rows.push_back({info, PortState::kBusy, std::string(msg::kPortOpenHere)});
            continue;
        }
        rows.push_back(check == PortCheck::kProbe
                           ? RowFor(info, s.devices.openDevice(info.path).error)
                           : PortRow{info, PortState::kFree, {}});
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
    return impl_->sends.SendFile();
}

EngineResult Engine::SendText(const std::string& text) {
    return impl_->sends.SendText(text);
}

bool Engine::Sending() const {
    return impl_->sends.Busy();
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

EngineResult Engine::SaveReception(const std::string& path) {
    const std::span<const std::uint8_t> bytes = Reception();
    if (bytes.empty()) {
        return {ErrorKind::kNothingToSave,
                std::string(msg::kNothingToSave),
                std::string(msg::kErrorCaption),
                {}};
    }
    const SaveResult saved = SaveRxBuffer(path, bytes);
    return {saved.status == SaveStatus::kWritten ? ErrorKind::kNone : ErrorKind::kFileError,
            saved.message,
            saved.caption,
            {}};
}

void Engine::ResetReception() {
    impl_->receiver.ResetListing();
}

void Engine::SetAutoReopen(bool on) {
    impl_->autoReopen = on;
    if (!on) {
        impl_->StopWatching();
    }
}

void Engine::SetLineErrorPause(ReceivePause pause) {
    impl_->lineErrorPause = std::move(pause);
}

}  // namespace velotrix
