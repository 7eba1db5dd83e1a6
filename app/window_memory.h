// What the program remembers of its window by itself, apart from the user's "Velotrix.ini": the
// main window's size and place, in the state file beside the settings.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "app/state_file.h"

#include "platform/dialog_view.h"
#include "serial/engine.h"
#include "serial/port_rows.h"

namespace velotrix {

class WindowMemory {
  public:
    // The state file beside the settings file; no settings file, no memory.
    explicit WindowMemory(const std::string& settingsPath) : state_(settingsPath) {}

    std::optional<layout::Rect> Placement() const;
    // Puts the main window where it was left, when its place is remembered.
    void RestorePlacement(DialogView& view) const;
    void RememberPlacement(const layout::Rect& placement);

  private:
    StateFile state_;
};

// The finished reception for the window "Ansicht": its addresses count from the header's load
// address for a z80 reception, from 0 otherwise.
HexDump ReceptionDump(const Engine& engine);

}  // namespace velotrix
