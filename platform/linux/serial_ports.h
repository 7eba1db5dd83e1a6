// The port list on Linux with its places passed in, so that tests can build a device tree of
// their own.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/serial_device.h"

namespace velotrix {

// The paths of the colon-separated list extraPaths, then the serial devices in deviceDirectory in
// natural order (ttyS only with a real UART behind it, as sysTtyDirectory tells), each with the
// description of its USB adapter where sysTtyDirectory leads to one.
std::vector<PortInfo> ListSerialDevicesIn(const std::string& deviceDirectory,
                                          const std::string& sysTtyDirectory,
                                          std::string_view extraPaths);

}  // namespace velotrix
