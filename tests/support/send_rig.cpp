// The send side of the program on the headless view, for the send tests and the benchmark.
#include "support/send_rig.h"

#include <algorithm>

#include "ui-resources/ids.h"

namespace velotrix::test {

void RecordingView::SetPaneText(int pane, std::string_view text) {
    if (pane == ids::kPaneSent) {
        sentPane.emplace_back(text);
    }
    HeadlessView::SetPaneText(pane, text);
}

void RecordingView::SetProgress(std::uint32_t value) {
    progress.push_back(value);
    HeadlessView::SetProgress(value);
}

std::unique_ptr<SerialDevice> OpenPtyDevice(const PtyPair& pty) {
    OsResult<std::unique_ptr<SerialDevice>> opened = OpenSerialDevice(pty.SlavePath());
    if (!opened.ok() || opened.value->Configure(LineSettings{})) {
        return nullptr;
    }
    return std::move(opened.value);
}

SendRig::SendRig(std::unique_ptr<SerialDevice> device, ManualLoop::Clock clock) : loop(clock) {
    for (const char* entry : {"keine", "50 ms", "100 ms", "500 ms", "1000 ms"}) {
        view.ComboAdd(ids::kPauseCombo, entry);
    }
    view.ComboSelect(ids::kPauseCombo, 0);
    port.device = std::move(device);
    port.portOpen = port.device != nullptr;
    screen.SetControlMode(ModeOpen);
    sends.emplace(screen, loop, port, options, tx);
}

void SendRig::Load(std::uint32_t dataLength) {
    std::fill(tx.image.begin(), tx.image.begin() + kHeaderSize, std::uint8_t{' '});
    SetHeaderAadr(tx.Header(), 0x4000);
    SetHeaderEadr(tx.Header(), 0x4000 + dataLength - 1);
    SetHeaderTypeLetter(tx.Header(), 'P');
    std::fill_n(tx.image.begin() + kMarkerOffset, 3, kMarkerByte);
    SetHeaderName(tx.Header(), "PATTERN");
    for (std::uint32_t i = 0; i < dataLength; ++i) {
        tx.image[kHeaderSize + i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    }
    tx.dataLength = dataLength;
    tx.loaded = true;
    sends->RefreshSnapshot();
}

void SendRig::SelectPause(int index) {
    view.ComboSelect(ids::kPauseCombo, index);
    sends->RefreshSnapshot();
}

bool SendRig::PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
    return loop.RunUntil(condition, timeout);
}

bool SendRig::PumpUntilIdle(std::chrono::milliseconds timeout) {
    const bool idle = PumpUntil([&] { return !sends->Busy(); }, timeout);
    loop.RunPending();
    return idle;
}

void SendRig::ClosePort() {
    port.portOpen = false;
    if (port.device) {
        port.device->CancelWaits();
    }
    sends->StopAndJoin();
    port.device.reset();
}

std::vector<std::string> SendRig::Messages() const {
    return view.Lines(ids::kMessageList);
}

bool SendRig::Listed(std::string_view line) const {
    const std::vector<std::string> lines = Messages();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

SendContext SendRig::Context(bool textMode, bool continuous) {
    return SendContext{screen, loop, port, *port.device, options, stop, textMode, continuous};
}

}  // namespace velotrix::test
