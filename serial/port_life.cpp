// The port's life: opening, closing once, losing the line and opening the same device again.
#include "serial/port_life.h"

#include <chrono>
#include <utility>

#include "platform/files.h"
#include "serial/error_texts.h"
#include "serial/logged_device.h"
#include "serial/port_rows.h"
#include "text/cp1252.h"
#include "ui-resources/ids.h"
#include "ui-resources/messages.h"

namespace velotrix {

namespace {

// How often a lost port's device is looked for.
constexpr std::chrono::milliseconds kReopenPoll{500};

// The driver's refusal, with the line it concerns.
OsError LineRefused(OsError error, ModemLine line) {
    error.hint =
        std::string(line == ModemLine::kDtr ? "DTR" : "RTS") + std::string(msg::kModemLineRefused);
    return error;
}

// Names the program that holds a busy port, where the system tells.
std::string BusyHint(const PortHolder& holder) {
    const std::string text = HolderText(holder);
    return text.empty() ? std::string() : std::string(msg::kPortHeldBy) + text;
}

}  // namespace

PortLife::PortLife(UiLoop& loop, DeviceAccess devices, const EventEmitter& events, SerialPort& port,
                   PortNeighbours neighbours, LineLog& log)
    : loop_(loop),
      devices_(std::move(devices)),
      events_(events),
      port_(port),
      neighbours_(std::move(neighbours)),
      log_(log) {}

PortLife::~PortLife() {
    StopWatching();
    CloseDevice();
}

EngineResult PortLife::Open(const LineSettings& settings) {
    StopWatching();
    return OpenDevice(settings);
}

EngineResult PortLife::OpenDevice(const LineSettings& settings) {
    if (port_.portOpen.load()) {
        return {ErrorKind::kBusy, {}, {}, {}};
    }
    if (settings.port.empty()) {
        return {ErrorKind::kNoPort,
                std::string(msg::kNoPortChosen),
                std::string(msg::kSystemErrorCaption),
                {}};
    }
    // The kernel writes its messages to its console and may run a login on it.
    const PortInfo listed = Listed(settings.port);
    if (listed.access == PortAccess::kConsole) {
        return {ErrorKind::kBadArgument,
                Utf8ToCp1252(settings.port) + std::string(msg::kIsConsole),
                std::string(msg::kSystemErrorCaption),
                {}};
    }
    OsResult<std::unique_ptr<SerialDevice>> opened = devices_.openDevice(settings.port);
    if (!opened.ok() && KindOf(opened.error) == OsErrorKind::kNotSerial) {
        return {ErrorKind::kBadArgument,
                Utf8ToCp1252(settings.port) + std::string(msg::kNotSerial),
                std::string(msg::kSystemErrorCaption),
                {}};
    }
    if (!opened.ok()) {
        if (KindOf(opened.error) == OsErrorKind::kBusy) {
            opened.error.hint = BusyHint(devices_.findHolder(settings.port));
        }
        return OsErrorResult(opened.error);
    }
    // A port that refuses the chosen settings would receive at the wrong speed or not raw, and
    // so change bytes unnoticed: it is closed again and stays closed, with the driver's reason.
    if (OsError error = opened.value->Configure(settings)) {
        if (TopicOf(error.code) == OsErrorTopic::kSettingRefused) {
            error.hint = RefusedSettings(settings, opened.value->ReadBack());
        }
        EngineResult refused = OsErrorResult(error);
        refused.kind = ErrorKind::kSettingsRefused;
        return refused;
    }
    port_.device = std::make_unique<LoggedDevice>(std::move(opened.value), log_);
    openPath_ = settings.port;
    openSettings_ = settings;
    openSerialNumber_ = listed.serialNumber;
    port_.portOpen.store(true);
    NoteOpenPort(msg::kLogOpened);
    // Only what arrived before is dropped: the output queue holds nothing of ours, and on a
    // pseudo-terminal clearing it would throw away what an earlier program sent and the far end
    // has not read yet.
    port_.device->Purge(true, false);
    // The open raised both lines; a board that resets on DTR needs it dropped at once. A driver
    // without modem lines (a pseudo-terminal) says so, and the port stays open.
    for (const ModemLine line : {ModemLine::kDtr, ModemLine::kRts}) {
        if (!ModemLineOn(line)) {
            if (const OsError error = port_.device->SetModemLine(line, false)) {
                events_.Post(OsErrorEvent{LineRefused(error, line)});
            }
        }
    }
    StartReceiveThread();
    EmitModemLines();
    events_.Emit(ModemStatusEvent{port_.device->ReadModemStatus()});
    // Drivers round rates they cannot make, and may take a setting without the rest of the
    // frame: the user learns what is really on the line.
    const AppliedSettings applied = port_.device->ReadBack();
    if (settings.baudRate != 0 && applied.baudRate != 0 && applied.baudRate != settings.baudRate) {
        events_.Post(BaudChangedEvent{settings.baudRate, applied.baudRate});
    }
    if (std::string frame = FrameNotTaken(settings, applied); !frame.empty()) {
        events_.Post(FrameNotTakenEvent{std::move(frame)});
    }
    return {};
}

void PortLife::StartReceiveThread() {
    const std::weak_ptr<int> token = lifeToken_;
    const std::uint64_t current = ++session_;
    // The reports reach this object on the UI thread, and only while it lives.
    const auto onUi = [this, token](auto task) {
        loop_.Post([this, token, task = std::move(task)]() mutable {
            if (!token.expired()) {
                task(*this);
            }
        });
    };
    ReceiveSinks sinks;
    sinks.bytes = [onUi, inbox = inbox_](std::vector<std::uint8_t> batch) {
        bool first = false;
        {
            const std::lock_guard lock(inbox->mutex);
            first = inbox->bytes.empty();
            inbox->bytes.insert(inbox->bytes.end(), batch.begin(), batch.end());
        }
        if (first) {
            onUi([](PortLife& life) { life.TakeReceived(); });
        }
    };
    sinks.cts = [onUi, current](bool cts) {
        onUi([current, cts](PortLife& life) {
            if (life.session_ == current && life.port_.portOpen.load()) {
                life.events_.Emit(CtsEvent{cts});
            }
        });
    };
    sinks.status = [onUi, current](const ModemStatus& status) {
        onUi([current, status](PortLife& life) {
            if (life.session_ == current && life.port_.portOpen.load()) {
                life.events_.Emit(ModemStatusEvent{status});
            }
        });
    };
    sinks.lineErrors = [onUi, current](const LineErrors& errors) {
        onUi([current, errors](PortLife& life) {
            if (life.session_ == current && life.neighbours_.lineErrors) {
                life.neighbours_.lineErrors(errors);
            }
        });
    };
    sinks.error = [onUi, current](const OsError& error, bool ended) {
        onUi([current, error, ended](PortLife& life) {
            if (ended || KindOf(error) == OsErrorKind::kDeviceGone) {
                life.LoseLine(current, error);
            } else if (life.session_ == current) {
                life.events_.Emit(OsErrorEvent{error});
            }
        });
    };
    receiveThread_ = std::make_unique<ReceiveThread>(
        *port_.device, port_.portOpen, std::move(sinks), lineErrorPause_, &port_.promptReceive);
    receiveThread_->Start();
}

void PortLife::TakeReceived() {
    std::vector<std::uint8_t> taken;
    {
        const std::lock_guard lock(inbox_->mutex);
        taken.swap(inbox_->bytes);
    }
    if (!taken.empty()) {
        neighbours_.received(taken);
    }
}

// In this order: a byte leaves the driver's queue only while the receive thread reads, and is in
// the inbox before the reading ends; asked the other way round, a byte could be in neither place.
bool PortLife::InputWaiting() const {
    if (port_.portOpen.load() && port_.device != nullptr && port_.device->QueuedInput() > 0) {
        return true;
    }
    if (receiveThread_ != nullptr && receiveThread_->Reading()) {
        return true;
    }
    const std::lock_guard lock(inbox_->mutex);
    return !inbox_->bytes.empty();
}

void PortLife::Close() {
    // The line is stopped before anything else; the watch for a lost port can wait.
    const bool wasOpen = port_.portOpen.load();
    CloseDevice();
    // The bytes that came before the close belong to what was received before it.
    TakeReceived();
    StopWatching();
    if (wasOpen) {
        EmitModemLines();
    }
}

EngineResult PortLife::SetModemLine(ModemLine line, bool on) {
    bool& wanted = line == ModemLine::kDtr ? dtr_ : rts_;
    if (port_.portOpen.load()) {
        // A refused change leaves the line, and so the choice, as it was.
        if (const OsError error = port_.device->SetModemLine(line, on)) {
            return OsErrorResult(LineRefused(error, line));
        }
    }
    wanted = on;
    if (port_.portOpen.load()) {
        EmitModemLines();
    }
    return {};
}

void PortLife::EmitModemLines() const {
    // The lines as the driver holds them, where it tells; else as they were asked for.
    const bool open = port_.portOpen.load();
    const DrivenLines held =
        (open ? port_.device->ReadDrivenLines() : std::nullopt).value_or(DrivenLines{dtr_, rts_});
    events_.Emit(ModemLinesEvent{open, held.dtr, held.rts});
}

void PortLife::CloseDevice() {
    // Asked first: once woken, a sender may end at any moment. A send that ended by itself has
    // drained, and its queue is left alone (on a pseudo-terminal it holds what the far end has
    // not read yet).
    const bool sending = port_.portOpen.load() && neighbours_.sending();
    // The send stops on the wire before anything else is done, since at 115200 baud the next byte
    // starts within 87 us: in one step the device takes no byte more and throws away what waits
    // in its queue (the device counts them: they never left). The queue is discarded once more
    // when the sender has been joined.
    if (sending) {
        port_.device->StopWrites();
    }
    if (!port_.portOpen.exchange(false)) {
        return;
    }
    port_.device->CancelWaits();
    neighbours_.stopSender();
    if (sending) {
        port_.DiscardOutput();
    }
    // The receive thread stops last, so that no wait can reach a closed device.
    if (receiveThread_) {
        receiveThread_->Stop();
        receiveThread_->Join();
        receiveThread_.reset();
    }
    port_.device->Purge(true, false);
    port_.device.reset();
    openPath_.clear();
    log_.Note(std::string(msg::kLogClosed), true);
}

void PortLife::NoteOpenPort(std::string_view how) const {
    if (port_.portOpen.load() && log_.Active()) {
        log_.Note(std::string(msg::kLogPort) + Utf8ToCp1252(openPath_) + std::string(how));
        log_.Note(SettingsLogLine(port_.device->ReadBack()));
    }
}

void PortLife::LoseLine(const OsError& error) {
    LoseLine(session_, error);
}

// What has arrived so far becomes a finished reception that can be saved.
void PortLife::LoseLine(std::uint64_t failedSession, const OsError& error) {
    if (failedSession != session_ || !port_.portOpen.load()) {
        return;
    }
    const LineSettings settings = openSettings_;
    const PortInfo lost{settings.port, settings.port, {}, openSerialNumber_};
    log_.Note(std::string(msg::kLineLost) + UserErrorText(error));
    Close();
    neighbours_.lost();
    // The watch begins before the event is shown: its box may stay open for a while.
    if (autoReopen_) {
        lostSettings_ = settings;
        lostPort_ = lost;
        WatchForReturn();
    }
    events_.Emit(LineLostEvent{error});
}

// Only the device that was lost is opened again: the same adapter by its serial number (a USB
// adapter in another socket gets another name), or the same link name, which names a device on
// purpose. A plain device name may be given to another device meanwhile (a pseudo-terminal's
// number to the next terminal), so it alone is not enough.
bool PortLife::IsSameDevice(const PortInfo& lost, const PortInfo& found) const {
    if (!lost.serialNumber.empty()) {
        return found.serialNumber == lost.serialNumber;
    }
    return found.path == lost.path && devices_.isLink(lost.path);
}

void PortLife::WatchForReturn() {
    loop_.StartTimer(ids::kReopenTimer, kReopenPoll, [this] {
        if (!lostSettings_) {
            return;
        }
        for (const PortInfo& info : devices_.listPorts()) {
            if (!IsSameDevice(lostPort_, info)) {
                continue;
            }
            LineSettings settings = *lostSettings_;
            settings.port = info.path;
            lostSettings_.reset();
            if (OpenDevice(settings).ok()) {
                events_.Emit(ReopenedEvent{info, settings.ctsFlow, port_.device->Cts()});
                return;
            }
            lostSettings_ = settings;
        }
        WatchForReturn();
    });
}

void PortLife::StopWatching() {
    lostSettings_.reset();
    loop_.StopTimer(ids::kReopenTimer);
}

void PortLife::SetAutoReopen(bool on) {
    autoReopen_ = on;
    if (!on) {
        StopWatching();
    }
}

PortInfo PortLife::Listed(const std::string& path) const {
    for (PortInfo& info : devices_.listPorts()) {
        if (info.path == path) {
            return std::move(info);
        }
    }
    return {};
}

}  // namespace velotrix
