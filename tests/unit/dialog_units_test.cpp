// Dialog units to pixels: base units from the font's letters, rounding to the nearest pixel.
#include "ui-resources/dialog_units.h"
#include "ui-resources/ids.h"
#include "ui-resources/layout.h"

#include <gtest/gtest.h>

#include <set>

namespace velotrix::layout {
namespace {

TEST(DialogUnits, BaseUnitsRoundTheAverageLetterAndRectanglesRoundHalvesUp) {
    const struct {
        int alphabetWidth, fontHeight;
        Rect units, pixels;
    } cases[] = {{312, 13, {15, 12, 57, 18}, {23, 20, 86, 29}},   // base 6 x 13
                 {286, 13, {1, 1, 1, 1}, {2, 2, 2, 2}},           // 5.5 rounds up to 6
                 {285, 11, {1, 1, 3, 3}, {1, 1, 4, 4}},           // 5.48 rounds down to 5
                 {363, 16, {0, 0, 426, 252}, {0, 0, 746, 504}}};  // base 7 x 16
    for (const auto& c : cases) {
        const Rect got = ToPixels(c.units, DialogBaseUnits(c.alphabetWidth, c.fontHeight));
        EXPECT_TRUE(got == c.pixels) << c.alphabetWidth << ": " << got.x << "," << got.y << " "
                                     << got.width << "x" << got.height;
    }
}

// An item of any dialog by its ID, as the Windows view finds its controls; the IDs of labels
// and of nothing name none. Every control and menu command has an ID no other one has: a command
// handler could not tell two of them apart.
TEST(Layout, FindsTheItemsOfEveryDialogByTheirOwnId) {
    EXPECT_EQ(FindItem(ids::kTxName)->maxLength, 16);
    EXPECT_EQ(FindItem(ids::kTextClose)->caption.German(),
              "schlie\xDF"
              "en");
    EXPECT_EQ(FindItem(ids::kTerminalExpect)->maxLength, 40);
    EXPECT_EQ(FindItem(kNoId), nullptr);
    EXPECT_EQ(FindItem(4711), nullptr);
    std::set<int> seen{ids::kCancel, ids::kCloseBox, ids::kTerminalCloseBox};
    for (const DialogLayout* dialog : {&MainDialog(), &TextDialog(), &TerminalBar()}) {
        for (const Item& item : dialog->items) {
            EXPECT_TRUE(item.id == kNoId || seen.insert(item.id).second) << item.id;
        }
    }
    for (const MenuEntry& entry : MainMenu()) {
        EXPECT_TRUE(entry.kind != MenuKind::kItem || seen.insert(entry.commandId).second)
            << entry.caption;
    }
}

}  // namespace
}  // namespace velotrix::layout
