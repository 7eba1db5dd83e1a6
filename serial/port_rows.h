// The rows of the port list: every serial device there is, what the system tells of it, and why
// it cannot be opened now.
#pragma once

#include <string>
#include <vector>

#include "platform/serial_device.h"
#include "serial/engine_types.h"

namespace velotrix {

// Who holds a busy port, as far as the system told (code page 1252): "minicom, PID 1234"; empty
// when it told nothing.
std::string HolderText(const PortHolder& holder);

// The state of a port as the system tells it without opening it ("belegt (minicom, PID 1234)").
PortRow RowFor(const PortInfo& port);
// The state of a port that opened with this result (no error: free); a busy one names the holder
// the port's information carries.
PortRow RowFor(const PortInfo& port, const OsError& openError);

// One line of the list (code page 1252): the name, the adapter's description and serial number,
// and the reason, e.g. "ttyUSB0 – FTDI FT232R USB UART (A50285BI): belegt".
std::string PortRowText(const PortRow& row);

}  // namespace velotrix
