// Dialog units to pixels: the arithmetic every view uses to place the layout tables' items.
#pragma once

namespace velotrix::layout {

// The dialog font's base units in pixels: a dialog unit is a quarter of x horizontally and an
// eighth of y vertically.
struct BaseUnits {
    int x;
    int y;
};

struct Rect {
    int x;
    int y;
    int width;
    int height;

    friend bool operator==(const Rect&, const Rect&) = default;
};

// As Windows measures a dialog font: x is the average width of the 52 letters A-Z and a-z,
// rounded; y is the font's height. alphabetWidth is the width of those 52 letters in one line.
BaseUnits DialogBaseUnits(int alphabetWidth, int fontHeight);

// Converts a rectangle in dialog units, rounding each value to the nearest pixel.
Rect ToPixels(const Rect& units, BaseUnits base);

}  // namespace velotrix::layout
