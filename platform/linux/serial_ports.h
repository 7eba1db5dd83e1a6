// The port list on Linux with its places passed in, so that tests can build a device tree of
// their own.
#pragma once

#include <span>
#include <string_view>
#include <vector>

#include "platform/linux/port_holders.h"
#include "platform/serial_device.h"

namespace velotrix {

// The names of the kinds of serial devices listed, each followed by a number (ttyUSB0).
std::span<const std::string_view> SerialDevicePrefixes();

// The paths of the colon-separated list extraPaths, then the serial devices in places.devices in
// natural order (ttyS only with a UART type in sysfs), each with the description of its USB
// adapter, its link under places.byId and what the system tells of its use, for identity; the
// process ownPid does not count as a holder. No device is opened.
std::vector<PortInfo> ListSerialDevicesIn(const PortPlaces& places, std::string_view extraPaths,
                                          const Identity& identity, int ownPid);

}  // namespace velotrix
