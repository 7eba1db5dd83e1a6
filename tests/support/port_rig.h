// Port control and receive engine wired as the main dialog wires them, on the headless view.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/screen.h"
#include "platform/headless/headless_view.h"
#include "platform/manual_loop.h"
#include "serial/port_control.h"
#include "serial/receive_engine.h"
#include "serial/serial_port.h"

namespace velotrix::test {

class PortRig {
  public:
    // Probes the ports silently, as the start of the program does; selects 9600 baud, no parity,
    // 8 data bits, 1 stop bit and no flow control.
    PortRig(ListPortsFunction listPorts, OpenDeviceFunction openDevice);

    // Selects the entry of an option combo box by its text; false when it has none.
    bool Choose(int comboId, std::string_view entry);
    // Pumps the loop until the condition holds or the (real) timeout has passed.
    bool PumpUntil(const std::function<bool()>& condition,
                   std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Pumps until the current reception holds count bytes.
    bool PumpUntilReceived(std::uint32_t count,
                           std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // The COM button: TogglePort, then what ResetDisplayState does to the receive side.
    void PressComButton();
    std::vector<std::string> Listing() const;

    HeadlessView view;
    Screen screen{view};
    ManualLoop loop;
    SerialPort port;
    ReceiveEngine engine{screen, loop};
    PortControl control;
};

// CPU time used so far by all threads of the process.
std::chrono::nanoseconds ProcessCpuTime();

}  // namespace velotrix::test
