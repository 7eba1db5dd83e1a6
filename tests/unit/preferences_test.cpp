// Tests of the port preferences against an in-memory set of combo boxes and real settings files.
#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "app/ids.h"
#include "app/preferences.h"
#include "support/temp_dir.h"

namespace velotrix {
namespace {

using test::ReadFileBytes;
using test::TempDir;

class FakeCombos : public ComboBoxes {
  public:
    struct Box {
        std::vector<std::string> items;
        int selection = -1;
    };

    template <std::size_t N>
    void Fill(int id, const std::array<std::string_view, N>& options) {
        boxes_[id].items.assign(options.begin(), options.end());
    }
    void Set(int id, std::vector<std::string> items, int selection) {
        boxes_[id] = {std::move(items), selection};
    }

    int ComboCount(int id) const override { return static_cast<int>(Get(id).items.size()); }
    std::string ComboItem(int id, int index) const override {
        return index >= 0 && index < ComboCount(id) ? Get(id).items[static_cast<std::size_t>(index)]
                                                    : std::string();
    }
    int ComboSelection(int id) const override { return Get(id).selection; }
    void ComboSelect(int id, int index) override {
        boxes_[id].selection = index >= 0 && index < ComboCount(id) ? index : -1;
    }

  private:
    const Box& Get(int id) const {
        static const Box empty;
        const auto it = boxes_.find(id);
        return it == boxes_.end() ? empty : it->second;
    }
    std::map<int, Box> boxes_;
};

// The lists as the main dialog fills them; the probe selects the first port it found.
FakeCombos StartedCombos(std::vector<std::string> ports) {
    FakeCombos combos;
    const int firstPort = ports.empty() ? -1 : 0;
    combos.Set(ids::kPortCombo, std::move(ports), firstPort);
    combos.Fill(ids::kBaudCombo, BaudRateOptions());
    combos.Fill(ids::kParityCombo, ParityOptions());
    combos.Fill(ids::kDataBitsCombo, DataBitsOptions());
    combos.Fill(ids::kStopBitsCombo, StopBitsOptions());
    combos.Fill(ids::kFlowCombo, FlowOptions());
    combos.Fill(ids::kPauseCombo, PauseOptions());
    combos.ComboSelect(ids::kPauseCombo, 0);
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

    combos.Set(ids::kPortCombo, {"COM4", "COM1"}, 1);
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
