// Tests of the port preferences against an in-memory set of combo boxes and real settings files.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "app/preferences.h"
#include "support/temp_dir.h"
#include "ui-resources/ids.h"

namespace velotrix {
namespace {

using test::ReadFileBytes;
using test::TempDir;

// Just enough of a dialog for the preferences; at() also catches a query for an entry that is not
// there.
struct FakeCombos : ComboBoxes {
    struct Box {
        std::vector<std::string> items;
        int selection = -1;
    };
    std::map<int, Box> boxes;

    int ComboCount(int id) const override { return static_cast<int>(boxes.at(id).items.size()); }
    std::string ComboItem(int id, int index) const override {
        return boxes.at(id).items.at(static_cast<std::size_t>(index));
    }
    int ComboSelection(int id) const override { return boxes.at(id).selection; }
    void ComboSelect(int id, int index) override {
        boxes.at(id).selection = index >= 0 && index < ComboCount(id) ? index : -1;
    }
};

// The lists as the main dialog fills them; the probe selects the first port it found.
FakeCombos StartedCombos(std::vector<std::string> ports) {
    const auto list = [](const auto& options) {
        return std::vector<std::string>(options.begin(), options.end());
    };
    FakeCombos combos;
    const int firstPort = ports.empty() ? -1 : 0;
    combos.boxes = {{ids::kPortCombo, {std::move(ports), firstPort}},
                    {ids::kBaudCombo, {list(BaudRateOptions())}},
                    {ids::kParityCombo, {list(ParityOptions())}},
                    {ids::kDataBitsCombo, {list(DataBitsOptions())}},
                    {ids::kStopBitsCombo, {list(StopBitsOptions())}},
                    {ids::kFlowCombo, {list(FlowOptions())}},
                    {ids::kPauseCombo, {list(PauseOptions()), 0}}};
    return combos;
}

std::vector<int> Selections(const FakeCombos& combos) {
    std::vector<int> result;
    for (const PreferenceKey& key : PreferenceKeys()) {
        result.push_back(combos.ComboSelection(key.comboId));
    }
    return result;
}

TEST(Preferences, DefaultsWithoutSettingsFile) {
    TempDir dir;
    FakeCombos withCom4 = StartedCombos({"COM1", "COM3", "COM4"});
    withCom4.ComboSelect(ids::kPauseCombo, 3);
    LoadPreferences(withCom4, dir.File("Velotrix.ini"));
    EXPECT_EQ(Selections(withCom4), (std::vector<int>{2, 6, 2, 1, 0, 0, 3}));

    FakeCombos withoutCom4 = StartedCombos({"ttyUSB0", "ttyUSB1"});
    LoadPreferences(withoutCom4, dir.File("Velotrix.ini"));
    EXPECT_EQ(withoutCom4.ComboSelection(ids::kPortCombo), 0);

    FakeCombos noPorts = StartedCombos({});
    LoadPreferences(noPorts, dir.File("Velotrix.ini"));
    EXPECT_EQ(Selections(noPorts), (std::vector<int>{-1, 6, 2, 1, 0, 0, 0}));
}

TEST(Preferences, DefaultSearchStartsBehindTheFirstEntryAndIgnoresCase) {
    FakeCombos combos = StartedCombos({"COM4x", "com4", "COM1"});
    ApplyDefaultSettings(combos, "COM4", "4800", "KEINE", "8", "1", "cts");
    EXPECT_EQ(combos.ComboSelection(ids::kPortCombo), 1);
    EXPECT_EQ(combos.ComboSelection(ids::kParityCombo), 2);
    EXPECT_EQ(combos.ComboSelection(ids::kFlowCombo), 1);

    combos.boxes[ids::kPortCombo] = {{"COM4", "COM1"}, 1};
    ApplyDefaultSettings(combos, "COM4", "4800", "keine", "8", "1", "keine");
    EXPECT_EQ(combos.ComboSelection(ids::kPortCombo), 0) << "wraps around to entry 0";

    ApplyDefaultSettings(combos, "COM9", "123", "x", "9", "3", "y");
    EXPECT_EQ(Selections(combos), (std::vector<int>{0, 6, 2, 1, 0, 0, 0})) << "no match, no change";
}

TEST(Preferences, SaveWritesSevenKeysAndLoadRestoresThem) {
    TempDir dir;
    const std::string path = dir.File("Velotrix.ini");
    FakeCombos saved = StartedCombos({"COM4"});
    ApplyDefaultSettings(saved, "COM4", "4800", "keine", "8", "1", "keine");
    SavePreferences(saved, path);
    EXPECT_EQ(ReadFileBytes(path),
              "[Prefs]\nCOM=0\nBAUD=6\nPAR=2\nDATEN=1\nSTOPP=0\nFLOW=0\nPAUSE=0\n");

    FakeCombos changed = StartedCombos({});
    changed.ComboSelect(ids::kBaudCombo, 13);
    changed.ComboSelect(ids::kParityCombo, -1);
    changed.ComboSelect(ids::kFlowCombo, 1);
    changed.ComboSelect(ids::kPauseCombo, 4);
    SavePreferences(changed, path);

    FakeCombos loaded = StartedCombos({});
    LoadPreferences(loaded, path);
    EXPECT_EQ(Selections(loaded), Selections(changed));
    EXPECT_EQ(Selections(loaded), (std::vector<int>{-1, 13, -1, -1, -1, 1, 4}));
}

TEST(Preferences, StoredIndexesThatNameNoEntryLeaveNoSelection) {
    TempDir dir;
    const std::string onlySection = dir.Write("only.ini", "[Prefs]\n");
    FakeCombos first = StartedCombos({"COM1", "COM2"});
    LoadPreferences(first, onlySection);
    EXPECT_EQ(Selections(first), (std::vector<int>{0, 0, 0, 0, 0, 0, 0}));
    FakeCombos noPorts = StartedCombos({});
    LoadPreferences(noPorts, onlySection);
    EXPECT_EQ(noPorts.ComboSelection(ids::kPortCombo), -1);

    const std::string odd =
        dir.Write("odd.ini", "[Prefs]\nCOM=2\nBAUD=14\nPAR=-2\nDATEN=+1\nSTOPP=1x\nFLOW=abc\n");
    FakeCombos combos = StartedCombos({"COM1", "COM2"});
    LoadPreferences(combos, odd);
    EXPECT_EQ(Selections(combos), (std::vector<int>{-1, -1, -1, 1, 1, 0, 0}));
}

}  // namespace
}  // namespace velotrix
