// The texts a person reads for an operating-system error, for the window and the command line
// alike.
#pragma once

#include <string>

#include "platform/serial_device.h"

namespace velotrix {

// A German text for the errors a serial user meets (no access, busy, gone, I/O error, a refused
// setting, no such file, disk full, read-only, a file too large, a name too long, a folder, a
// function the device lacks), the OS's own text for the rest; then the error's hint (behind ": "
// for the settings a driver refused, on a line of its own otherwise). A function the device lacks
// is said by the hint alone, which names it.
std::string UserErrorText(const OsError& error);

// The parts of the character frame the driver holds otherwise than chosen, e.g. "7 Datenbits,
// Parität gerade"; empty when it took them all.
std::string FrameNotTaken(const LineSettings& asked, const AppliedSettings& applied);

// The settings the driver did not take, as a person chose them, e.g. "7 Datenbits, Parität
// gerade"; every chosen setting when the driver's state tells nothing.
std::string RefusedSettings(const LineSettings& asked, const AppliedSettings& applied);

}  // namespace velotrix
