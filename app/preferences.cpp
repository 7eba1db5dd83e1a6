// The port preferences: option lists, built-in defaults, and the section "Prefs" of "Velotrix.ini".
#include "app/preferences.h"

#include <algorithm>

#include "app/state_file.h"

#include "platform/files.h"
#include "platform/ini_file.h"
#include "serial/line_options.h"
#include "text/text_helpers.h"
#include "ui-resources/ids.h"

namespace velotrix {

namespace {

void SelectFirstWithPrefix(ComboBoxes& combos, int id, std::string_view prefix) {
    const int count = combos.ComboCount(id);
    // The search begins behind entry 0 and wraps around, as the Windows combo box's does.
    for (int k = 0; k < count; ++k) {
        const int index = (k + 1) % count;
        if (StartsWithIgnoringCase(combos.ComboItem(id, index), prefix)) {
            combos.ComboSelect(id, index);
            return;
        }
    }
}

template <typename Entry>
void FillCombo(DialogView& view, int id, std::span<const Entry> entries) {
    for (const Entry& entry : entries) {
        view.ComboAdd(id, ShownLabel(entry));
    }
}

}  // namespace

LineSettings LineSettingsFromCombos(const DialogView& combos) {
    LineSettings settings;
    settings.baudRate = static_cast<std::uint32_t>(DecimalToInt(combos.GetText(ids::kBaudCombo)));
    settings.parity = EntryValue(ParityEntries(), combos.ComboSelection(ids::kParityCombo));
    settings.dataBits = EntryValue(DataBitsEntries(), combos.ComboSelection(ids::kDataBitsCombo));
    settings.stopBits = EntryValue(StopBitsEntries(), combos.ComboSelection(ids::kStopBitsCombo));
    settings.ctsFlow = EntryValue(FlowEntries(), combos.ComboSelection(ids::kFlowCombo));
    return settings;
}

void FillOptionLists(DialogView& view) {
    FillCombo(view, ids::kBaudCombo, BaudEntries());
    FillCombo(view, ids::kParityCombo, ParityEntries());
    FillCombo(view, ids::kDataBitsCombo, DataBitsEntries());
    FillCombo(view, ids::kStopBitsCombo, StopBitsEntries());
    FillCombo(view, ids::kFlowCombo, FlowEntries());
    FillCombo(view, ids::kPauseCombo, PauseEntries());
}

const std::array<PreferenceKey, 7>& PreferenceKeys() {
    static const std::array<PreferenceKey, 7> keys = {{
        {"COM", ids::kPortCombo},
        {"BAUD", ids::kBaudCombo},
        {"PAR", ids::kParityCombo},
        {"DATEN", ids::kDataBitsCombo},
        {"STOPP", ids::kStopBitsCombo},
        {"FLOW", ids::kFlowCombo},
        {"PAUSE", ids::kPauseCombo},
    }};
    return keys;
}

bool HoldsSavedPreferences(const std::string& settingsPath) {
    if (FileExists(settingsPath) == 0) {
        return false;
    }
    const auto holds = [&settingsPath](std::string_view key) {
        return IniReadValue(settingsPath, kPrefsSection, key).has_value();
    };
    for (const PreferenceKey& entry : PreferenceKeys()) {
        if (holds(entry.key)) {
            return true;
        }
    }
    // A file with the section line alone counts as saved, as it always did.
    const auto legacy = LegacyStateKeys();
    return std::none_of(legacy.begin(), legacy.end(), holds);
}

void LoadPreferences(ComboBoxes& combos, const std::string& settingsPath) {
    if (!HoldsSavedPreferences(settingsPath)) {
        ApplyDefaultSettings(combos, kDefaultLine.port, kDefaultLine.baud, kDefaultLine.parity,
                             kDefaultLine.dataBits, kDefaultLine.stopBits, kDefaultLine.flow);
        return;
    }
    for (const PreferenceKey& entry : PreferenceKeys()) {
        const int index = IniReadInt(settingsPath, kPrefsSection, entry.key, 0);
        const bool names = index >= 0 && index < combos.ComboCount(entry.comboId);
        combos.ComboSelect(entry.comboId, names ? index : -1);
    }
}

int SavePreferences(const ComboBoxes& combos, const std::string& settingsPath) {
    if (const int error = PrepareFolderFor(settingsPath)) {
        return error;
    }
    for (const PreferenceKey& entry : PreferenceKeys()) {
        if (!IniWriteString(settingsPath, kPrefsSection, entry.key,
                            IntToDecimal(combos.ComboSelection(entry.comboId)))) {
            return LastOsError();
        }
    }
    return 0;
}

void ApplyDefaultSettings(ComboBoxes& combos, std::string_view port, std::string_view baud,
                          std::string_view parity, std::string_view dataBits,
                          std::string_view stopBits, std::string_view flow) {
    SelectFirstWithPrefix(combos, ids::kPortCombo, port);
    SelectFirstWithPrefix(combos, ids::kBaudCombo, baud);
    // Parity and flow by either spelling, whichever the list shows.
    if (const int index = EntryIndex(ParityEntries(), parity); index >= 0) {
        combos.ComboSelect(ids::kParityCombo, index);
    }
    SelectFirstWithPrefix(combos, ids::kDataBitsCombo, dataBits);
    SelectFirstWithPrefix(combos, ids::kStopBitsCombo, stopBits);
    if (const int index = EntryIndex(FlowEntries(), flow); index >= 0) {
        combos.ComboSelect(ids::kFlowCombo, index);
    }
}

}  // namespace velotrix
