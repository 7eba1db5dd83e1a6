// The open serial port shared by the UI thread, the receive thread and the sender thread.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstddef>
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
    // Bytes of the running send that waited in the driver and were thrown away (a close, a send
    // cut short): they never left, and the send's end says so.
    std::atomic<std::size_t> discarded{0};

    // Throws away what waits in the driver to go out, and counts what went: the byte on the
    // wire stays queued until it has left.
    void DiscardOutput() {
        const std::size_t before = device->QueuedOutput();
        device->Purge(false, true);
        discarded += before - std::min(before, device->QueuedOutput());
    }
};

}  // namespace velotrix
