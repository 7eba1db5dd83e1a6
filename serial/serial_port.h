// The open serial port shared by the UI thread, the receive thread and the sender thread.
#pragma once

#include <atomic>
#include <memory>

#include "platform/serial_device.h"

namespace velotrix {

struct SerialPort {
    // Set and reset on the UI thread only, and only while no worker runs: the receive thread and
    // the sender are joined before the device is closed.
    std::unique_ptr<SerialDevice> device;
    // The one stop signal of every loop of the serial link.
    std::atomic<bool> portOpen{false};
    // A protocol waits for each answer: what arrives is handed over at once, not gathered.
    std::atomic<bool> promptReceive{false};
};

}  // namespace velotrix
