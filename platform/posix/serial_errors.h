// Errors of serial devices on POSIX: the hint for a device the user may not open.
#pragma once

#include <string>

#include "platform/serial_device.h"

namespace velotrix {

// "The user must be a member of the group ..." for the device's group; empty when unknown.
std::string PermissionHint(const std::string& path);

}  // namespace velotrix
