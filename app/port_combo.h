// The port box: filled from the port rows, read back as the port to open.
#pragma once

#include <string>
#include <vector>

#include "platform/dialog_view.h"
#include "serial/port_rows.h"

namespace velotrix {

// Fills the port box with the rows' texts and selects the row whose path is keep, else the first
// that can be opened now, else none; returns the texts, one a line, for the box of "Ports testen".
std::string FillPortCombo(DialogView& view, const std::vector<PortRow>& ports,
                          const std::string& keep);

// The selected row; nullptr when none is selected.
const PortRow* SelectedPortRow(const DialogView& view, const std::vector<PortRow>& ports);

// The device to open: the selected port, or what the person typed into the port box: a listed
// port's name or a device path of its own (a pty, /dev/ttyUSB0), which is also its name.
PortInfo PortToOpen(const DialogView& view, const std::vector<PortRow>& ports);

}  // namespace velotrix
