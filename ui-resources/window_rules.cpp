// The main window's growth and the placement of a remembered window.
#include "ui-resources/window_rules.h"

#include <algorithm>

#include "text/hex_dump.h"
#include "ui-resources/messages.h"

namespace velotrix::layout {

Rect GrownRect(const Item& item, Rect templatePixels, int extraWidth, int extraHeight) {
    const int wider = std::max(0, extraWidth);
    if ((item.style & (kGrows | kGrowsWide)) != 0) {
        templatePixels.width += wider;
    }
    if ((item.style & kGrows) != 0) {
        templatePixels.height += std::max(0, extraHeight);
    }
    if ((item.style & kMovesRight) != 0) {
        templatePixels.x += wider;
    }
    return templatePixels;
}

bool FollowsWindowSize(const Item& item) {
    return (item.style & (kGrows | kGrowsWide | kMovesRight)) != 0;
}

namespace {

// The screen that shows a piece of the window's title bar a person can grab; none when no screen
// does. Wide enough for any remembered number, however far off.
const Rect* ScreenShowing(const Rect& window, std::span<const Rect> screens) {
    using Wide = long long;
    for (const Rect& screen : screens) {
        const Wide left = std::max<Wide>(window.x, screen.x);
        const Wide right = std::min(Wide{window.x} + window.width, Wide{screen.x} + screen.width);
        const Wide top = std::max<Wide>(window.y, screen.y);
        const Wide bottom = std::min(Wide{window.y} + kGrabHeight, Wide{screen.y} + screen.height);
        if (right - left >= std::min(kGrabWidth, window.width) && bottom - top >= kGrabHeight) {
            return &screen;
        }
    }
    return nullptr;
}

// The length at least the least, at most what the screen holds (unless the least is more).
int Fitted(int length, int least, int room) {
    return std::clamp(length, least, std::max(least, room));
}

// The start that keeps the length within the room from its start on, as far as it fits.
int Inside(int start, int length, int roomStart, int room) {
    const long long last = static_cast<long long>(roomStart) + room - length;
    return static_cast<int>(std::max<long long>(roomStart, std::min<long long>(start, last)));
}

}  // namespace

bool ShownOnScreens(const Rect& window, std::span<const Rect> screens) {
    return ScreenShowing(window, screens) != nullptr;
}

Placement PlacementToRestore(const Rect& remembered, const Rect& minimum,
                             std::span<const Rect> screens) {
    Rect rect = remembered;
    rect.width = std::max(rect.width, minimum.width);
    rect.height = std::max(rect.height, minimum.height);
    // A window never comes back larger than the screen it lands on (the first one, where it is
    // centred), nor partly beyond it: a remembered size may have been edited by hand.
    const Rect* shown = ScreenShowing(rect, screens);
    const Rect* area = shown != nullptr ? shown : screens.empty() ? nullptr : &screens.front();
    if (area != nullptr) {
        rect.width = Fitted(rect.width, minimum.width, area->width);
        rect.height = Fitted(rect.height, minimum.height, area->height);
        rect.x = Inside(rect.x, rect.width, area->x, area->width);
        rect.y = Inside(rect.y, rect.height, area->y, area->height);
    }
    return {rect, shown != nullptr};
}

std::string_view SearchFailedNote(std::string_view query, bool hex) {
    const bool blank = query.find_first_not_of(' ') == std::string_view::npos;
    return hex && !blank && !IsHexQuery(query) ? msg::kViewNotHex : msg::kViewNotFound;
}

}  // namespace velotrix::layout
