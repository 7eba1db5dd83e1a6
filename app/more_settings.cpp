// The settings beside the seven selections.
#include "app/more_settings.h"

#include "app/preferences.h"
#include "platform/files.h"
#include "serial/line_options.h"
#include "text/cp1252.h"
#include "text/text_helpers.h"
#include "ui-resources/ids.h"
#include "ui-resources/messages.h"

namespace velotrix {

namespace {

constexpr std::string_view kSettingsFileName = "Velotrix.ini";

// With saved settings: selects the port remembered by name, when it is in the list (else the
// selection by index stands), and a remembered baud rate outside the list, added to it.
void LoadPortAndRate(DialogView& view, const std::string& settingsPath, const StateFile& state,
                     const std::vector<PortRow>& ports) {
    // They complete what the user saved; without saved settings they would change the defaults.
    if (!HoldsSavedPreferences(settingsPath)) {
        return;
    }
    const std::string name = state.ReadString(state_key::kPortName);
    for (std::size_t i = 0; !name.empty() && i < ports.size(); ++i) {
        if (ports[i].port.name == name) {
            view.ComboSelect(ids::kPortCombo, static_cast<int>(i));
        }
    }
    const int rate = DecimalToInt(state.ReadString(state_key::kBaudRate));
    if (rate > 0) {
        SelectBaudRate(view, IntToDecimal(rate));
    }
}

void SavePortAndRate(const DialogView& view, StateFile& state, const std::vector<PortRow>& ports) {
    const int port = view.ComboSelection(ids::kPortCombo);
    const bool named = port >= 0 && static_cast<std::size_t>(port) < ports.size();
    // A rate of the list is kept by its index like the other selections; only one typed in
    // needs its number.
    const std::string baud = view.GetText(ids::kBaudCombo);
    const bool listed = baud.empty() || EntryIndex(BaudEntries(), baud) >= 0;
    state.Write(state_key::kPortName,
                named ? ports[static_cast<std::size_t>(port)].port.name : std::string());
    state.Write(state_key::kBaudRate, listed ? "0" : baud);
}

}  // namespace

std::string DefaultSettingsPath() {
    const std::string directory = ProgramDirectory();
    std::string path = directory + std::string(kSettingsFileName);
    if (FileExists(path) || DirectoryWritable(directory)) {
        return path;
    }
    return UserConfigDirectory() + std::string(kSettingsFileName);
}

void SelectBaudRate(DialogView& view, std::string_view rate) {
    for (int i = 0; i < view.ComboCount(ids::kBaudCombo); ++i) {
        if (view.ComboItem(ids::kBaudCombo, i) == rate) {
            view.ComboSelect(ids::kBaudCombo, i);
            return;
        }
    }
    view.ComboAdd(ids::kBaudCombo, rate);
    view.ComboSelect(ids::kBaudCombo, view.ComboCount(ids::kBaudCombo) - 1);
}

void SaveAllPreferences(Screen& screen, const std::string& settingsPath, StateFile& state,
                        const std::vector<PortRow>& ports) {
    const int error = SavePreferences(screen.View(), settingsPath);
    SavePortAndRate(screen.View(), state, ports);
    if (error != 0) {
        screen.ShowSystemError(OsError{error, {}}, std::string(msg::kSettingsNotSaved) +
                                                       Utf8ToCp1252(settingsPath) + "\r");
    }
}

void LoadAllPreferences(DialogView& view, const std::string& settingsPath, const StateFile& state,
                        const std::vector<PortRow>& ports) {
    LoadPreferences(view, settingsPath);
    LoadPortAndRate(view, settingsPath, state, ports);
}

bool LoadAutoReopen(const StateFile& state) {
    const std::string value = state.ReadString(state_key::kAutoReopen);
    return value.empty() || DecimalToInt(value) != 0;
}

void SaveAutoReopen(StateFile& state, bool on) {
    state.Write(state_key::kAutoReopen, on ? "1" : "0");
}

void LoadDialogFolders(DialogView& view, const StateFile& state) {
    const std::string opened = state.ReadString(state_key::kFolder);
    view.SetDialogFolder(FileDialogUse::kOpen, opened);
    // Before saving had a folder of its own, the one folder served both.
    view.SetDialogFolder(FileDialogUse::kSave, state.Read(state_key::kSaveFolder).value_or(opened));
}

void RememberDialogFolder(DialogView& view, StateFile& state, const std::string& chosenFile,
                          FileDialogUse use) {
    std::string folder;
    if (FolderOfPath(chosenFile, folder) == 0) {
        state.Write(use == FileDialogUse::kOpen ? state_key::kFolder : state_key::kSaveFolder,
                    folder);
        view.SetDialogFolder(use, folder);
        // Until something is saved, the save dialogs open where the last file was found.
        if (use == FileDialogUse::kOpen && !state.Read(state_key::kSaveFolder)) {
            view.SetDialogFolder(FileDialogUse::kSave, folder);
        }
    }
}

}  // namespace velotrix
