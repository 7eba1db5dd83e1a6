// Port control: the COM button, the line settings, the port probe and the CTS indicator.
#include "serial/port_control.h"

#include <array>
#include <cerrno>
#include <optional>
#include <utility>

#include "ui-resources/ids.h"
#include "text/text_helpers.h"

namespace velotrix {

namespace {

constexpr char kOpenCaption[] =
    "COM \xF6"
    "ffnen";
constexpr char kProbeCaption[] =
    "Verf\xFC"
    "gbar";
constexpr char kCloseCaption[] =
    "COM schlie\xDF"
    "en";

// The option lists' entries in their order; an index outside the list keeps the port's value.
constexpr std::array kParityChoices = {Parity::kEven, Parity::kOdd, Parity::kNone};
constexpr std::array kDataBitsChoices = {7, 8};
constexpr std::array kStopBitsChoices = {1, 2};
constexpr std::array kCtsFlowChoices = {false, true};

template <typename T, std::size_t N>
std::optional<T> Choice(const ComboBoxes& combos, int id, const std::array<T, N>& choices) {
    const int index = combos.ComboSelection(id);
    if (index < 0 || static_cast<std::size_t>(index) >= N) {
        return std::nullopt;
    }
    return choices[static_cast<std::size_t>(index)];
}

void ShowCts(DialogView& view, bool cts) {
    view.SetCheck(ids::kCtsIndicator, cts);
    view.Repaint();
}

}  // namespace

LineSettings LineSettingsFromCombos(const ComboBoxes& combos) {
    LineSettings settings;
    const std::string baud =
        combos.ComboItem(ids::kBaudCombo, combos.ComboSelection(ids::kBaudCombo));
    settings.baudRate = static_cast<std::uint32_t>(DecimalToInt(baud));
    settings.parity = Choice(combos, ids::kParityCombo, kParityChoices);
    settings.dataBits = Choice(combos, ids::kDataBitsCombo, kDataBitsChoices);
    settings.stopBits = Choice(combos, ids::kStopBitsCombo, kStopBitsChoices);
    settings.ctsFlow = Choice(combos, ids::kFlowCombo, kCtsFlowChoices);
    return settings;
}

struct PortControl::Impl {
    explicit Impl(PortControl& control) : owner(control) {}

    PortControl& owner;
    std::unique_ptr<ReceiveThread> receiveThread;
    ReceivePause lineErrorPause;
    std::string openPath;
    // Counts the opens, so that a CTS state read from an earlier open is never shown.
    std::uint64_t session = 0;
};

PortControl::PortControl(Screen& screen, UiLoop& loop, SerialPort& port, ReceiveEngine& receiver,
                         ListPortsFunction listPorts, OpenDeviceFunction openDevice)
    : screen_(screen),
      loop_(loop),
      port_(port),
      receiver_(receiver),
      listPorts_(std::move(listPorts)),
      openDevice_(std::move(openDevice)),
      impl_(std::make_shared<Impl>(*this)) {}

PortControl::~PortControl() {
    ClosePort();
}

void PortControl::SetStopSender(std::function<void()> stopSender) {
    stopSender_ = std::move(stopSender);
}

void PortControl::SetLineErrorPause(ReceivePause pause) {
    impl_->lineErrorPause = std::move(pause);
}

void PortControl::TogglePort() {
    if (port_.portOpen.load()) {
        screen_.SetControlMode(ModeClosed);
        screen_.View().SetText(ids::kComButton, kOpenCaption);
        ClosePort();
        return;
    }
    OpenPort();
}

void PortControl::OpenPort() {
    DialogView& view = screen_.View();
    screen_.ClearMessages();
    const int index = view.ComboSelection(ids::kPortCombo);
    if (index < 0 || static_cast<std::size_t>(index) >= ports_.size()) {
        screen_.ShowSystemError(ENODEV);
        return;
    }
    const PortInfo port = ports_[static_cast<std::size_t>(index)];
    OsResult<std::unique_ptr<SerialDevice>> opened = openDevice_(port.path);
    if (!opened.ok()) {
        screen_.ShowSystemError(opened.error.code, opened.error.hint);
        return;
    }
    // A port that refuses the chosen settings would receive at the wrong speed or not raw, and so
    // change bytes unnoticed: it is closed again and stays Closed, with the driver's reason shown.
    const LineSettings settings = LineSettingsFromCombos(view);
    if (const OsError error = opened.value->Configure(settings)) {
        screen_.ShowSystemError(error.code, error.hint);
        return;
    }

    screen_.SetControlMode(ModeOpen);
    view.SetText(ids::kComButton, kCloseCaption);
    port_.device = std::move(opened.value);
    impl_->openPath = port.path;
    port_.portOpen.store(true);
    port_.device->Purge(true, true);
    if (settings.ctsFlow) {
        view.Show(ids::kCtsIndicator, *settings.ctsFlow);
    }
    // Read before the receive thread starts, which then reports every change.
    UpdateCtsIndicator();

    const std::weak_ptr<Impl> weak = impl_;
    const std::uint64_t session = ++impl_->session;
    UiLoop& loop = loop_;
    ReceiveSinks sinks;
    sinks.bytes = [weak, &loop](std::vector<std::uint8_t> batch) {
        loop.Post([weak, batch = std::move(batch)] {
            if (const std::shared_ptr<Impl> impl = weak.lock()) {
                impl->owner.receiver_.ConsumeReceivedBytes(batch);
            }
        });
    };
    sinks.cts = [weak, &loop, session](bool cts) {
        loop.Post([weak, session, cts] {
            const std::shared_ptr<Impl> impl = weak.lock();
            if (impl && impl->session == session && impl->owner.IsOpen()) {
                ShowCts(impl->owner.screen_.View(), cts);
            }
        });
    };
    sinks.error = [weak, &loop](const OsError& error) {
        loop.Post([weak, error] {
            if (const std::shared_ptr<Impl> impl = weak.lock()) {
                impl->owner.screen_.ShowSystemError(error.code, error.hint);
            }
        });
    };
    impl_->receiveThread = std::make_unique<ReceiveThread>(*port_.device, port_.portOpen,
                                                           std::move(sinks), impl_->lineErrorPause);
    impl_->receiveThread->Start();
    view.EnableMenuItem(ids::kMenuSendText, true);
}

void PortControl::ClosePort() {
    if (!port_.portOpen.load()) {
        return;
    }
    port_.portOpen.store(false);
    port_.device->CancelWaits();
    if (impl_->receiveThread) {
        impl_->receiveThread->Stop();
        impl_->receiveThread->Join();
        impl_->receiveThread.reset();
    }
    if (stopSender_) {
        stopSender_();
    }
    port_.device->Purge(true, false);
    port_.device.reset();
    impl_->openPath.clear();
    DialogView& view = screen_.View();
    view.Show(ids::kCtsIndicator, false);
    view.EnableMenuItem(ids::kMenuSendText, false);
}

void PortControl::EnumeratePorts(bool showResult) {
    DialogView& view = screen_.View();
    view.ComboClear(ids::kPortCombo);
    ports_.clear();
    std::string result;
    for (const PortInfo& info : listPorts_()) {
        // Our own open port is busy for everybody else, so it is not offered; probing it would
        // open it a second time.
        if (port_.portOpen.load() && info.path == impl_->openPath) {
            continue;
        }
        if (!openDevice_(info.path).ok()) {
            continue;
        }
        ports_.push_back(info);
        view.ComboAdd(ids::kPortCombo, info.name);
        view.ComboSelect(ids::kPortCombo, 0);
        AppendTexts(result, {info.name, "\r\n"});
    }
    if (!showResult) {
        return;
    }
    TrimText(result);
    if (result.empty()) {
        result = "Keine (freien) COM-Ports";
    }
    view.MessageBox(result, kProbeCaption, MessageIcon::kNone);
}

void PortControl::UpdateCtsIndicator() {
    if (port_.device) {
        ShowCts(screen_.View(), port_.device->Cts());
    }
}

}  // namespace velotrix
