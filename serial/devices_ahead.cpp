// The port list begun ahead of the window that shows it.
#include <future>
#include <memory>

#include "serial/engine_types.h"

namespace velotrix {

DeviceAccess DevicesListedAhead() {
    auto early = std::make_shared<std::future<std::vector<PortInfo>>>(
        std::async(std::launch::async, ListSerialDevices));
    DeviceAccess devices;
    // Asked on the UI thread only; the early list is taken once, and a list never taken is
    // waited for when the engine goes.
    devices.listPorts = [early] { return early->valid() ? early->get() : ListSerialDevices(); };
    return devices;
}

}  // namespace velotrix
