// Dialog units to pixels: base units from the font's letters, rounding to the nearest pixel.
#include "ui-resources/dialog_units.h"

#include <gtest/gtest.h>

namespace velotrix::layout {
namespace {

TEST(DialogUnits, BaseUnitsRoundTheAverageLetterWidthAndKeepTheHeight) {
    const struct {
        int alphabetWidth, fontHeight, x;
    } cases[] = {{312, 13, 6}, {286, 13, 6}, {285, 13, 5}, {363, 16, 7}, {364, 17, 7}, {26, 4, 1}};
    for (const auto& c : cases) {
        const BaseUnits base = DialogBaseUnits(c.alphabetWidth, c.fontHeight);
        EXPECT_EQ(base.x, c.x) << c.alphabetWidth;
        EXPECT_EQ(base.y, c.fontHeight) << c.alphabetWidth;
    }
}

TEST(DialogUnits, RectanglesScaleByAQuarterAndAnEighthRoundingHalvesUp) {
    const struct {
        Rect units;
        BaseUnits base;
        Rect pixels;
    } cases[] = {{{15, 12, 57, 18}, {6, 13}, {23, 20, 86, 29}},
                 {{0, 0, 426, 252}, {7, 16}, {0, 0, 746, 504}},
                 {{1, 1, 1, 1}, {6, 13}, {2, 2, 2, 2}},
                 {{1, 1, 3, 3}, {5, 11}, {1, 1, 4, 4}}};
    for (const auto& c : cases) {
        const Rect got = ToPixels(c.units, c.base);
        EXPECT_TRUE(got == c.pixels)
            << c.units.x << "," << c.units.y << " " << c.units.width << "x" << c.units.height
            << " -> " << got.x << "," << got.y << " " << got.width << "x" << got.height;
    }
}

}  // namespace
}  // namespace velotrix::layout
