// The dialog layouts as data: every item of the main dialog and the text dialog, and the menu.
// Positions are dialog units of the dialog's own font; the views convert them to pixels.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "ui-resources/language.h"

namespace velotrix::layout {

enum class ItemKind {
    kPushButton,
    kDropDownList,  // combo box with a drop-down list and no edit part
    kRadioButton,
    kCheckBox,
    kEdit,
    kListBox,
    kLabel,
    kGroupBox,
    kFrame,  // a rectangle without caption
};

// Style flags, combined with |.
enum Style : std::uint32_t {
    kNoStyle = 0,
    kDefaultButton = 1u << 0,
    kReadOnly = 1u << 1,
    kCentered = 1u << 2,   // edit text centred
    kSorted = 1u << 3,     // list keeps its entries sorted
    kDisabled = 1u << 4,   // disabled at start
    kHidden = 1u << 5,     // hidden at start
    kLeftText = 1u << 6,   // radio button or check box with its text on the left
    kAutoCheck = 1u << 7,  // toggles itself when clicked
    kRightAligned = 1u << 8,
    kVCentered = 1u << 9,
    kNoAutoHScroll = 1u << 10,
    kVScroll = 1u << 11,
    kSunken = 1u << 12,
    kFlat = 1u << 13,
    kEditable = 1u << 14,    // a drop-down list whose entry the user may also type
    kDigitsOnly = 1u << 15,  // an editable list that takes typed numbers only
    kHexDigits = 1u << 16,   // an edit field that takes hex digits only, upper-cased as typed
    kNoTabStop = 1u << 17,   // a control with an ID that a person cannot change: Tab passes it
    kGrows = 1u << 18,       // takes the extra width and height of a window made larger
    kGrowsWide = 1u << 19,   // takes the extra width alone
    kMovesRight = 1u << 20,  // moves right by the extra width (it stands right of one that grows)
};

inline constexpr int kNoId = -1;

struct Item {
    int id;  // kNoId for labels, frames and group boxes
    ItemKind kind;
    msg::Text caption;  // code page 1252; "" for none
    int x, y, width, height;
    std::uint32_t style;
    int maxLength;  // edit fields: the most characters the user may type; 0 for no limit
};

struct DialogLayout {
    msg::Text caption;     // the template's caption (code page 1252)
    const char* fontName;  // e.g. "Arial"
    int fontPointSize;
    int width, height;  // dialog units
    bool minimizeBox, maximizeBox, sizingBorder;
    std::span<const Item> items;  // in template order; the tab stops among them form the tab order
};

// Tab visits only what a person can change: controls with IDs that are neither read-only nor
// marked kNoTabStop.
bool IsTabStop(const Item& item);
// Whether a field takes a typed key (code page 1252): a hex field only hex digits, a typed
// number only digits. A refused key beeps.
bool AcceptsKey(const Item& item, char key);
// The key as the field shows it: a hex field upper-cases what is typed.
char ShownKey(const Item& item, char key);

enum class MenuKind { kPopup, kItem, kSeparator, kEnd };

// The menu as a flat list: a kPopup opens a submenu that a matching kEnd closes.
struct MenuEntry {
    MenuKind kind;
    msg::Text caption;  // code page 1252, '&' marks the access key
    int commandId;      // 0 for popups, separators and ends
};

const DialogLayout& MainDialog();
const DialogLayout& TextDialog();
// The bar of the window "Terminal" above its screen, which takes the rest of the window (the
// screen is not an item: each view draws it itself).
const DialogLayout& TerminalBar();
std::span<const MenuEntry> MainMenu();
// The keys that carry out a menu command from anywhere in the main window.
struct Accelerator {
    char key;  // an upper-case letter, pressed with Ctrl
    int commandId;
};
std::span<const Accelerator> Accelerators();

// Looks up an item of any dialog by ID; nullptr when there is none.
const Item* FindItem(int id);

// The order of a sorted combo or list box: byte-wise, ignoring the case of letters (code page
// 1252), as Windows keeps it. Every view inserts with this so that all of them list entries alike.
bool SortsBefore(std::string_view a, std::string_view b);

}  // namespace velotrix::layout
