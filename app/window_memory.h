// What the program remembers of its window by itself, apart from the user's "Velotrix.ini": the
// main window's size and place, in the state file beside the settings.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "app/state_file.h"

#include "platform/dialog_view.h"
#include "serial/engine.h"
#include "serial/port_rows.h"

namespace velotrix {

// The state file's keys of a window's place and size: x, y, width, height.
using PlacementKeys = std::array<std::string_view, 4>;
inline constexpr PlacementKeys kMainWindowKeys = {
    state_key::kWindowX, state_key::kWindowY, state_key::kWindowWidth, state_key::kWindowHeight};
inline constexpr PlacementKeys kTerminalKeys = {state_key::kTerminalX, state_key::kTerminalY,
                                                state_key::kTerminalWidth,
                                                state_key::kTerminalHeight};

class WindowMemory {
  public:
    // The state file beside the settings file; no settings file, no memory.
    explicit WindowMemory(const std::string& settingsPath, PlacementKeys keys = kMainWindowKeys)
        : state_(settingsPath), keys_(keys) {}

    std::optional<layout::Rect> Placement() const;
    // Puts the main window where it was left, when its place is remembered.
    void RestorePlacement(DialogView& view) const;
    void RememberPlacement(const layout::Rect& placement);

  private:
    StateFile state_;
    PlacementKeys keys_;
};

// The finished reception for the window "Ansicht": its addresses count from the header's load
// address for a z80 reception, from 0 otherwise.
HexDump ReceptionDump(const Engine& engine);

}  // namespace velotrix
