// The settings beside the seven selections of "Velotrix.ini": the port by name and a rate outside
// the list (kept with the saved selections), automatic reopening and the folder of the file
// dialogs, all in the state file, so that older settings files load as they always did.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/screen.h"
#include "app/state_file.h"
#include "platform/dialog_view.h"
#include "serial/port_rows.h"

namespace velotrix {

// "Velotrix.ini" in the executable's directory when that directory is writable or the file is
// already there; otherwise in the program's folder of the user's configuration directory.
std::string DefaultSettingsPath();

// "Sichern aktuelle Einstellung": the seven selections into the settings file, the port by name
// and a typed rate into the state file; a failure is shown with the OS's text.
void SaveAllPreferences(Screen& screen, const std::string& settingsPath, StateFile& state,
                        const std::vector<PortRow>& ports);
// The saved selections, or the defaults, then the port by name and a typed rate.
void LoadAllPreferences(DialogView& view, const std::string& settingsPath, const StateFile& state,
                        const std::vector<PortRow>& ports);

// On unless the user switched it off.
bool LoadAutoReopen(const StateFile& state);
void SaveAutoReopen(StateFile& state, bool on);

// The open and the save dialogs open in the folders (native paths) they used last.
void LoadDialogFolders(DialogView& view, const StateFile& state);
// The open dialogs open where the user last found a file, the save dialogs where they last left
// one (where they last found one, until they saved one): remembers the folder of the chosen file
// for the dialogs of its use.
void RememberDialogFolder(DialogView& view, StateFile& state, const std::string& chosenFile,
                          FileDialogUse use);

// Selects the entry whose text is rate, adding it when the list lacks it.
void SelectBaudRate(DialogView& view, std::string_view rate);

}  // namespace velotrix
