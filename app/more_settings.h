// The settings kept beside the seven selections of "Velotrix.ini", each in a key of its own so
// that older files load as they always did: the port by name, a rate outside the list, automatic
// reopening, and the folder of the file dialogs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog_view.h"
#include "serial/port_rows.h"

namespace velotrix {

// "Velotrix.ini" in the executable's directory when that directory is writable or the file is
// already there; otherwise in the user's configuration directory.
std::string DefaultSettingsPath();

// Selects the port remembered by name, when it is in the list (else the selection by index
// stands), and a remembered baud rate outside the list, added to it.
void LoadPortAndRate(DialogView& view, const std::string& settingsPath,
                     const std::vector<PortRow>& ports);
void SavePortAndRate(const DialogView& view, const std::string& settingsPath,
                     const std::vector<PortRow>& ports);

// On unless the file says otherwise.
bool LoadAutoReopen(const std::string& settingsPath);
void SaveAutoReopen(const std::string& settingsPath, bool on);

// The folder (a native path) the file dialogs used last; empty when none is remembered.
std::string LoadDialogFolder(const std::string& settingsPath);
// Remembers the folder of the chosen file.
void SaveDialogFolder(const std::string& settingsPath, const std::string& chosenFile);

// Selects the entry whose text is rate, adding it when the list lacks it.
void SelectBaudRate(DialogView& view, std::string_view rate);

}  // namespace velotrix
