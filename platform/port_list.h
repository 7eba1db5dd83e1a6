// What the port lists of every platform share: natural order and the extra entries the user names.
#pragma once

#include <string_view>
#include <vector>

#include "platform/serial_device.h"

namespace velotrix {

// Digit runs compare by their value, so that COM2 comes before COM10 and ttyUSB9 before ttyUSB10.
bool NaturalLess(std::string_view a, std::string_view b);

// Appends the paths of a list separated by separator, in their order, each once and only when the
// list does not hold it yet; an entry is named by the part behind its last directory separator.
// The port lists put them first: the user named them on purpose.
void AppendExtraPorts(std::vector<PortInfo>& ports, std::string_view list, char separator);

}  // namespace velotrix
