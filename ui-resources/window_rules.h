// How the main window grows and where a remembered window may come back: one rule for every view.
#pragma once

#include <span>
#include <string_view>

#include "ui-resources/dialog_units.h"
#include "ui-resources/layout.h"

namespace velotrix::layout {

// An item's pixel rectangle in a window that is extraWidth and extraHeight larger than its
// template: items marked kGrows take the extra size, kGrowsWide the extra width, kMovesRight move
// right by it; every other item stays where it is.
Rect GrownRect(const Item& item, Rect templatePixels, int extraWidth, int extraHeight);
// Whether an item's place or size follows the window's size.
bool FollowsWindowSize(const Item& item);

// A window is shown on the screens when a piece of its title bar that a person can grab lies on
// one of them: at least this many pixels wide and the bar's height high.
inline constexpr int kGrabWidth = 100;
inline constexpr int kGrabHeight = 20;
bool ShownOnScreens(const Rect& window, std::span<const Rect> screens);

// A remembered window at least as large as the template (minimum), at most as large as the screen
// it lands on and within it, and where a screen shows it; its size alone (fitted to the first
// screen) when no screen does, so that the view centres it.
struct Placement {
    Rect rect;
    bool keepPosition;
};
Placement PlacementToRestore(const Rect& remembered, const Rect& minimum,
                             std::span<const Rect> screens);

// What the window "Ansicht" says when a search finds nothing: that the query is no hex, when it
// was to be hex and holds more than blanks; else "Nicht gefunden".
std::string_view SearchFailedNote(std::string_view query, bool hex);
// The terminal window is at least its bar's template size wide, and this much higher for a few
// lines of its screen.
inline constexpr int kTerminalLeastScreenHeight = 80;

}  // namespace velotrix::layout
