// The port preferences: the option lists, the built-in defaults and the settings file
// "Velotrix.ini".
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/combo_boxes.h"
#include "platform/dialog_view.h"
#include "platform/serial_device.h"

namespace velotrix {

struct PreferenceKey {
    const char* key;
    int comboId;
};

// The seven keys of the section "Prefs", in the order they are read and written.
const std::array<PreferenceKey, 7>& PreferenceKeys();
inline constexpr std::string_view kPrefsSection = "Prefs";

// The line settings selected in the combo boxes 1002 to 1006; no selection keeps the port's value
// (baud: nothing chosen or typed gives 0). The baud rate is read from the box's text, so that a
// rate typed in or added to the list counts too.
LineSettings LineSettingsFromCombos(const DialogView& combos);

// Adds the option lists to the combo boxes 1002 to 1006 and 1025.
void FillOptionLists(DialogView& view);
// Whether the settings file holds what the user saved. An earlier version wrote files holding only
// what it remembered by itself (the folder, the switch); those do not count.
bool HoldsSavedPreferences(const std::string& settingsPath);
// Selects the stored entries, or the built-in defaults when no settings were saved.
void LoadPreferences(ComboBoxes& combos, const std::string& settingsPath);
// Stores the seven current selections (-1 for none), one write per key, creating the folder when
// it is missing; the OS's error number when the file could not be written, else 0.
int SavePreferences(const ComboBoxes& combos, const std::string& settingsPath);
// For each of the combo boxes 1001 to 1006, selects the first entry that begins with the given
// text, ignoring case, searching from index 1 to the end and then index 0; no match keeps the
// selection.
void ApplyDefaultSettings(ComboBoxes& combos, std::string_view port, std::string_view baud,
                          std::string_view parity, std::string_view dataBits,
                          std::string_view stopBits, std::string_view flow);

}  // namespace velotrix
