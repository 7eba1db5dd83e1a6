// Errors of serial devices on Linux: drivers that lack an ioctl, and the hint for a device the user
// may not open.
#pragma once

#include <string>

#include "platform/serial_device.h"

namespace velotrix {

// Drivers without an ioctl answer ENOTTY or EINVAL; anything else means the device is gone.
bool NotSupported(int code);

// "The user must be a member of the group ..." for the device's group; empty when unknown.
std::string PermissionHint(const std::string& path);

}  // namespace velotrix
