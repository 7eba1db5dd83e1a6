// The line settings of a Windows COM port, and the line errors of its driver's error flags.
#pragma once

#include <windows.h>

#include "platform/serial_device.h"

namespace velotrix {

// Raw binary mode plus the given settings, then read back: a rate or format that the driver
// changed is refused (ERROR_INVALID_PARAMETER) and the port keeps what it had.
OsError ApplyLineSettings(HANDLE port, const LineSettings& settings);
AppliedSettings ReadLineSettings(HANDLE port);
// The line errors among ClearCommError's flags.
LineErrors LineErrorsOf(DWORD flags);

}  // namespace velotrix
