// The port preferences: option lists, built-in defaults, and the section "Prefs" of "Velotrix.ini".
#include "app/preferences.h"

#include "ui-resources/ids.h"
#include "platform/files.h"
#include "platform/ini_file.h"
#include "text/text_helpers.h"

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

template <std::size_t N>
void FillCombo(DialogView& view, int id, const std::array<std::string_view, N>& options) {
    for (std::string_view option : options) {
        view.ComboAdd(id, option);
    }
}

}  // namespace

void FillOptionLists(DialogView& view) {
    FillCombo(view, ids::kBaudCombo, BaudRateOptions());
    FillCombo(view, ids::kParityCombo, ParityOptions());
    FillCombo(view, ids::kDataBitsCombo, DataBitsOptions());
    FillCombo(view, ids::kStopBitsCombo, StopBitsOptions());
    FillCombo(view, ids::kFlowCombo, FlowOptions());
    FillCombo(view, ids::kPauseCombo, PauseOptions());
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

const std::array<std::string_view, 14>& BaudRateOptions() {
    static const std::array<std::string_view, 14> options = {
        "150",  "300",   "600",   "1200",  "1800",  "2400",  "4800",
        "9600", "14400", "19200", "38400", "56000", "57600", "115200"};
    return options;
}

const std::array<std::string_view, 3>& ParityOptions() {
    static const std::array<std::string_view, 3> options = {"gerade", "ungerade", "keine"};
    return options;
}

const std::array<std::string_view, 2>& DataBitsOptions() {
    static const std::array<std::string_view, 2> options = {"7", "8"};
    return options;
}

const std::array<std::string_view, 2>& StopBitsOptions() {
    static const std::array<std::string_view, 2> options = {"1", "2"};
    return options;
}

const std::array<std::string_view, 2>& FlowOptions() {
    static const std::array<std::string_view, 2> options = {"keine", "CTS"};
    return options;
}

const std::array<std::string_view, 5>& PauseOptions() {
    static const std::array<std::string_view, 5> options = {"keine", "50 ms", "100 ms", "500 ms",
                                                            "1000 ms"};
    return options;
}

void LoadPreferences(ComboBoxes& combos, const std::string& settingsPath) {
    if (FileExists(settingsPath) == 0) {
        ApplyDefaultSettings(combos, "COM4", "4800", "keine", "8", "1", "keine");
        return;
    }
    for (const PreferenceKey& entry : PreferenceKeys()) {
        const int index = IniReadInt(settingsPath, kPrefsSection, entry.key, 0);
        const bool names = index >= 0 && index < combos.ComboCount(entry.comboId);
        combos.ComboSelect(entry.comboId, names ? index : -1);
    }
}

void SavePreferences(const ComboBoxes& combos, const std::string& settingsPath) {
    // A failed write is not reported: the settings are a convenience.
    for (const PreferenceKey& entry : PreferenceKeys()) {
        IniWriteString(settingsPath, kPrefsSection, entry.key,
                       IntToDecimal(combos.ComboSelection(entry.comboId)));
    }
}

void ApplyDefaultSettings(ComboBoxes& combos, std::string_view port, std::string_view baud,
                          std::string_view parity, std::string_view dataBits,
                          std::string_view stopBits, std::string_view flow) {
    SelectFirstWithPrefix(combos, ids::kPortCombo, port);
    SelectFirstWithPrefix(combos, ids::kBaudCombo, baud);
    SelectFirstWithPrefix(combos, ids::kParityCombo, parity);
    SelectFirstWithPrefix(combos, ids::kDataBitsCombo, dataBits);
    SelectFirstWithPrefix(combos, ids::kStopBitsCombo, stopBits);
    SelectFirstWithPrefix(combos, ids::kFlowCombo, flow);
}

}  // namespace velotrix
