// Port control: opening and closing the port with the dialog's line settings, the receive thread,
// the port probe and the CTS indicator.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/screen.h"
#include "platform/serial_device.h"
#include "platform/ui_loop.h"
#include "serial/receive_engine.h"
#include "serial/receive_thread.h"
#include "serial/serial_port.h"

namespace velotrix {

using ListPortsFunction = std::function<std::vector<PortInfo>()>;
using OpenDeviceFunction =
    std::function<OsResult<std::unique_ptr<SerialDevice>>(const std::string& path)>;

// The line settings selected in the combo boxes 1002 to 1006; no selection keeps the port's value
// (baud: no selection gives 0).
LineSettings LineSettingsFromCombos(const ComboBoxes& combos);

class PortControl {
  public:
    PortControl(Screen& screen, UiLoop& loop, SerialPort& port, ReceiveEngine& receiver,
                ListPortsFunction listPorts, OpenDeviceFunction openDevice);
    ~PortControl();  // closes the port
    PortControl(const PortControl&) = delete;
    PortControl& operator=(const PortControl&) = delete;

    // Called by ClosePort after portOpen is cleared and the device's waits are cancelled, before
    // the device is closed: stops and joins any sender.
    void SetStopSender(std::function<void()> stopSender);
    // Replaces the receive thread's pause after a line error (tests observe it instead of
    // sleeping); takes effect at the next OpenPort.
    void SetLineErrorPause(ReceivePause pause);

    // All on the UI thread.
    void TogglePort();
    void OpenPort();
    void ClosePort();
    void EnumeratePorts(bool showResult);
    void UpdateCtsIndicator();

    bool IsOpen() const { return port_.portOpen.load(); }
    // The ports in combo 1001, in its order.
    const std::vector<PortInfo>& Ports() const { return ports_; }

  private:
    struct Impl;
    Screen& screen_;
    UiLoop& loop_;
    SerialPort& port_;
    ReceiveEngine& receiver_;
    ListPortsFunction listPorts_;
    OpenDeviceFunction openDevice_;
    std::function<void()> stopSender_;
    std::vector<PortInfo> ports_;
    // Shared with the tasks that the receive thread posts, which check that it still exists.
    std::shared_ptr<Impl> impl_;
};

}  // namespace velotrix
