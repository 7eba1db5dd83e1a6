// Dialog units to pixels: base units from the font's letters, rounding to the nearest pixel.
#include "ui-resources/dialog_units.h"
#include "ui-resources/ids.h"
#include "ui-resources/layout.h"

#include <gtest/gtest.h>

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

// An item of either dialog by its ID, as the Windows view finds its controls; the IDs of labels
// and of nothing name none.
TEST(Layout, FindsTheItemsOfBothDialogsByTheirId) {
    EXPECT_EQ(FindItem(ids::kTxName)->maxLength, 16);
    EXPECT_STREQ(FindItem(ids::kTextClose)->caption,
                 "schlie\xDF"
                 "en");
    EXPECT_EQ(FindItem(kNoId), nullptr);
    EXPECT_EQ(FindItem(4711), nullptr);
}

}  // namespace
}  // namespace velotrix::layout
