// The main window's growth and the placement of a remembered window.
#include "ui-resources/window_rules.h"

#include <algorithm>

namespace velotrix::layout {

Rect GrownRect(const Item& item, Rect templatePixels, int extraWidth, int extraHeight) {
    if ((item.style & kGrows) != 0) {
        templatePixels.width += std::max(0, extraWidth);
        templatePixels.height += std::max(0, extraHeight);
    }
    return templatePixels;
}

bool ShownOnScreens(const Rect& window, std::span<const Rect> screens) {
    for (const Rect& screen : screens) {
        const int left = std::max(window.x, screen.x);
        const int right = std::min(window.x + window.width, screen.x + screen.width);
        const int top = std::max(window.y, screen.y);
        const int bottom = std::min(window.y + kGrabHeight, screen.y + screen.height);
        if (right - left >= std::min(kGrabWidth, window.width) && bottom - top >= kGrabHeight) {
            return true;
        }
    }
    return false;
}

Placement PlacementToRestore(const Rect& remembered, const Rect& minimum,
                             std::span<const Rect> screens) {
    Rect rect = remembered;
    rect.width = std::max(rect.width, minimum.width);
    rect.height = std::max(rect.height, minimum.height);
    return {rect, ShownOnScreens(rect, screens)};
}

}  // namespace velotrix::layout
