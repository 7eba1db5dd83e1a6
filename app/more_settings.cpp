// The settings beside the seven selections.
#include "app/more_settings.h"

#include "app/preferences.h"
#include "platform/files.h"
#include "platform/ini_file.h"
#include "serial/line_options.h"
#include "text/text_helpers.h"
#include "ui-resources/ids.h"

namespace velotrix {

namespace {

constexpr std::string_view kSettingsFileName = "Velotrix.ini";
constexpr std::string_view kPortNameKey = "PORTNAME";
constexpr std::string_view kBaudRateKey = "BAUDRATE";
constexpr std::string_view kAutoReopenKey = "AUTOREOPEN";
constexpr std::string_view kFolderKey = "ORDNER";

// Settings are a convenience: without a settings file nothing is read or written.
bool Usable(const std::string& settingsPath) {
    return !settingsPath.empty();
}

}  // namespace

std::string DefaultSettingsPath() {
    const std::string directory = ProgramDirectory();
    std::string path = directory + std::string(kSettingsFileName);
    if (FileExists(path) || DirectoryWritable(directory)) {
        return path;
    }
    return UserConfigDirectory() + "velotrix/" + std::string(kSettingsFileName);
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

void LoadPortAndRate(DialogView& view, const std::string& settingsPath,
                     const std::vector<PortRow>& ports) {
    if (!Usable(settingsPath) || FileExists(settingsPath) == 0) {
        return;
    }
    const std::string name = IniReadString(settingsPath, kPrefsSection, kPortNameKey);
    for (std::size_t i = 0; !name.empty() && i < ports.size(); ++i) {
        if (ports[i].port.name == name) {
            view.ComboSelect(ids::kPortCombo, static_cast<int>(i));
        }
    }
    const int rate = IniReadInt(settingsPath, kPrefsSection, kBaudRateKey, 0);
    if (rate > 0) {
        SelectBaudRate(view, IntToDecimal(rate));
    }
}

void SavePortAndRate(const DialogView& view, const std::string& settingsPath,
                     const std::vector<PortRow>& ports) {
    if (!Usable(settingsPath)) {
        return;
    }
    const int port = view.ComboSelection(ids::kPortCombo);
    const bool named = port >= 0 && static_cast<std::size_t>(port) < ports.size();
    IniWriteString(settingsPath, kPrefsSection, kPortNameKey,
                   named ? ports[static_cast<std::size_t>(port)].port.name : std::string());
    // A rate of the list is kept by its index like the other selections; only one typed in
    // needs its number.
    const std::string baud = view.GetText(ids::kBaudCombo);
    const bool listed = baud.empty() || EntryIndex(BaudEntries(), baud) >= 0;
    IniWriteString(settingsPath, kPrefsSection, kBaudRateKey, listed ? "0" : baud);
}

bool LoadAutoReopen(const std::string& settingsPath) {
    return !Usable(settingsPath) || IniReadInt(settingsPath, kPrefsSection, kAutoReopenKey, 1) != 0;
}

void SaveAutoReopen(const std::string& settingsPath, bool on) {
    if (Usable(settingsPath)) {
        IniWriteString(settingsPath, kPrefsSection, kAutoReopenKey, on ? "1" : "0");
    }
}

std::string LoadDialogFolder(const std::string& settingsPath) {
    return Usable(settingsPath) ? IniReadString(settingsPath, kPrefsSection, kFolderKey)
                                : std::string();
}

void SaveDialogFolder(const std::string& settingsPath, const std::string& chosenFile) {
    std::string folder;
    if (!Usable(settingsPath) || FolderOfPath(chosenFile, folder) != 0) {
        return;
    }
    IniWriteString(settingsPath, kPrefsSection, kFolderKey, folder);
}

}  // namespace velotrix
