// Dialog units to pixels, rounded as Windows rounds them (MulDiv).
#include "ui-resources/dialog_units.h"

namespace velotrix::layout {

namespace {

int Scale(int units, int base, int divisor) {
    return (units * base + divisor / 2) / divisor;
}

}  // namespace

BaseUnits DialogBaseUnits(int alphabetWidth, int fontHeight) {
    return {(alphabetWidth / 26 + 1) / 2, fontHeight};
}

Rect ToPixels(const Rect& units, BaseUnits base) {
    return {Scale(units.x, base.x, 4), Scale(units.y, base.y, 8), Scale(units.width, base.x, 4),
            Scale(units.height, base.y, 8)};
}

}  // namespace velotrix::layout
