// The port list on POSIX with its places passed in, so that tests can build a device tree of
// their own.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/serial_device.h"

namespace velotrix {

// The serial devices in deviceDirectory in natural order (ttyS only with a real UART behind it, as
// sysTtyDirectory tells), then the paths of the colon-separated list extraPaths.
std::vector<PortInfo> ListSerialDevicesIn(const std::string& deviceDirectory,
                                          const std::string& sysTtyDirectory,
                                          std::string_view extraPaths);

}  // namespace velotrix
