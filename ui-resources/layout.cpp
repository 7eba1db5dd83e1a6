// The dialog templates "Hauptdialog" and "Textdialog" and the menu IDR_MENU1 as data tables, their
// captions in German and English.
#include "ui-resources/layout.h"

#include <array>

#include "text/text_helpers.h"
#include "ui-resources/ids.h"
#include "ui-resources/messages.h"

namespace velotrix::layout {

namespace {

using K = ItemKind;

// A caption in German and English.
constexpr msg::Text Caption(std::string_view german, std::string_view english) {
    return {german, english};
}

// Every edit field and the list box are drawn with a sunken edge.
constexpr std::uint32_t kRoEdit = kSunken | kReadOnly;
constexpr std::uint32_t kRoCentredEdit = kSunken | kReadOnly | kCentered;
constexpr std::uint32_t kFieldLabel = kRightAligned | kVCentered;
constexpr std::uint32_t kHexField = kSunken | kCentered | kNoAutoHScroll | kHexDigits;

// The items a person reaches come first, in tab order; the decorations follow (with IDs where
// they move with the window).
// C arrays, so that an added item needs no count changed.
constexpr Item kMainItems[] = {
    // Port row.
    {ids::kComButton, K::kPushButton,
     Caption("COM \xF6"
             "ffnen",
             "Open COM"),
     15, 12, 57, 18, kDefaultButton, 0},
    {ids::kPortCombo, K::kDropDownList, "", 75, 15, 48, 72, kEditable | kGrowsWide, 0},
    {ids::kBaudCombo, K::kDropDownList, "", 123, 15, 48, 118, kEditable | kDigitsOnly | kMovesRight,
     0},
    {ids::kParityCombo, K::kDropDownList, "", 171, 15, 48, 58, kMovesRight, 0},
    {ids::kDataBitsCombo, K::kDropDownList, "", 219, 15, 48, 58, kSorted | kMovesRight, 0},
    {ids::kStopBitsCombo, K::kDropDownList, "", 267, 15, 48, 55, kMovesRight, 0},
    {ids::kFlowCombo, K::kDropDownList, "", 315, 15, 48, 55, kMovesRight, 0},
    {ids::kCtsIndicator, K::kRadioButton, "CTS", 375, 16, 33, 9,
     kLeftText | kHidden | kNoTabStop | kMovesRight, 0},
    // DTR and RTS as the PC drives them, shown while the port is open.
    {ids::kDtrIndicator, K::kRadioButton, "DTR", 336, 45, 33, 9, kLeftText | kHidden | kNoTabStop,
     0},
    {ids::kRtsIndicator, K::kRadioButton, "RTS", 375, 45, 33, 9, kLeftText | kHidden | kNoTabStop,
     0},
    // DSR, DCD and RI as the other side drives them, below.
    {ids::kDsrIndicator, K::kRadioButton, "DSR", 297, 53, 33, 9, kLeftText | kHidden | kNoTabStop,
     0},
    {ids::kDcdIndicator, K::kRadioButton, "DCD", 336, 53, 33, 9, kLeftText | kHidden | kNoTabStop,
     0},
    {ids::kRiIndicator, K::kRadioButton, "RI", 375, 53, 33, 9, kLeftText | kHidden | kNoTabStop, 0},
    // RX group.
    {ids::kRxKind, K::kEdit, "", 39, 65, 93, 12, kRoEdit, 0},
    {ids::kRxAadr, K::kEdit, "", 39, 78, 33, 11, kRoCentredEdit, 0},
    {ids::kRxEadr, K::kEdit, "", 99, 78, 33, 11, kRoCentredEdit, 0},
    {ids::kRxSadr, K::kEdit, "", 39, 90, 33, 11, kRoCentredEdit, 0},
    {ids::kRxCrc, K::kEdit, "", 39, 102, 33, 11, kRoCentredEdit, 0},
    {ids::kRxBytes, K::kEdit, "", 39, 114, 33, 11, kRoCentredEdit, 0},
    {ids::kRxName, K::kEdit, "", 39, 126, 75, 12, kRoEdit, 0},
    {ids::kRxType, K::kDropDownList, "", 39, 141, 96, 54, kDisabled | kNoTabStop, 0},
    {ids::kSaveButton, K::kPushButton, Caption("Sichern", "Save"), 15, 159, 120, 15, kNoStyle, 0},
    // TX group.
    {ids::kLoadButton, K::kPushButton, Caption("BIN/Z80 laden", "Load BIN/Z80"), 156, 42, 60, 15,
     kNoStyle, 0},
    {ids::kRefreshButton, K::kPushButton, "Refresh", 216, 42, 60, 15, kNoStyle, 0},
    // The pauses for home computers without handshake: typed values are taken too;
    // Tab reaches them beside "Refresh".
    {ids::kCharDelayCombo, K::kDropDownList, "", 348, 62, 40, 80, kEditable | kDigitsOnly, 0},
    {ids::kLineDelayCombo, K::kDropDownList, "", 348, 78, 40, 80, kEditable | kDigitsOnly, 0},
    {ids::kTxKind, K::kEdit, "", 180, 65, 93, 11, kRoEdit, 0},
    {ids::kTxAadr, K::kEdit, "", 180, 78, 33, 11, kHexField, 4},
    {ids::kTxEadr, K::kEdit, "", 240, 78, 33, 11, kRoCentredEdit, 0},
    {ids::kTxSadr, K::kEdit, "", 180, 90, 33, 11, kHexField, 4},
    {ids::kTxCrc, K::kEdit, "", 180, 102, 33, 11, kRoCentredEdit, 0},
    {ids::kTxBytes, K::kEdit, "", 180, 114, 33, 11, kRoCentredEdit, 0},
    {ids::kTxName, K::kEdit, "", 180, 126, 96, 12, kSunken | kNoAutoHScroll, 16},
    {ids::kTxType, K::kDropDownList, "", 180, 141, 96, 54, kNoStyle, 0},
    // The send format comes before the button that sends, so that Tab meets the choice first.
    {ids::kHexSendCombo, K::kDropDownList, "", 372, 160, 44, 54, kNoStyle, 0},
    {ids::kSendFileButton, K::kPushButton, Caption("Datei senden", "Send file"), 156, 159, 120, 15,
     kNoStyle, 0},
    {ids::kPauseCombo, K::kDropDownList, "", 363, 129, 45, 54, kNoStyle, 0},
    {ids::kContinuousCheck, K::kCheckBox, Caption("Endlos senden", "Send endlessly"), 303, 162, 66,
     9, kAutoCheck, 0},
    {ids::kBinModeCheck, K::kCheckBox,
     Caption("als BIN senden (o. Header)", "send as BIN (no header)"), 303, 150, 99, 9, kAutoCheck,
     0},
    {ids::kProgressCheck, K::kCheckBox, Caption("Fortschrittsanzeige", "Show progress"), 303, 111,
     87, 9, kAutoCheck, 0},
    // Sending the loaded file again when it changes: with the other switches of a send.
    {ids::kResendOnChangeCheck, K::kCheckBox, msg::kResendOnChange, 303, 99, 111, 9, kAutoCheck, 0},
    // The MessageList.
    {ids::kMessageList, K::kListBox, "", 15, 186, 405, 51, kSunken | kVScroll | kGrows, 0},

    // Port row frame and column labels; those that follow the port box have IDs to be found by.
    {ids::kPortRowFrame, K::kFrame, "", 9, 0, 408, 33, kNoTabStop | kGrowsWide, 0},
    {kNoId, K::kLabel, "Port", 78, 6, 17, 8, kNoStyle, 0},
    {ids::kBaudLabel, K::kLabel, Caption("Baudrate", "Baud rate"), 123, 6, 35, 8,
     kNoTabStop | kMovesRight, 0},
    {ids::kParityLabel, K::kLabel, Caption("Parit\xE4t", "Parity"), 171, 6, 35, 8,
     kNoTabStop | kMovesRight, 0},
    {ids::kDataBitsLabel, K::kLabel, Caption("Datenbits", "Data bits"), 219, 6, 35, 8,
     kNoTabStop | kMovesRight, 0},
    {ids::kStopBitsLabel, K::kLabel, Caption("Stoppbits", "Stop bits"), 267, 6, 35, 8,
     kNoTabStop | kMovesRight, 0},
    {ids::kFlowLabel, K::kLabel, Caption("Flusskontrolle", "Flow control"), 315, 6, 48, 9,
     kNoTabStop | kMovesRight, 0},
    // RX group box and its labels.
    {kNoId, K::kGroupBox, "RX", 9, 54, 132, 126, kFlat, 0},
    {kNoId, K::kLabel, Caption("Art", "Kind"), 21, 66, 15, 9, kFieldLabel, 0},
    {kNoId, K::kLabel, "AADR", 12, 78, 24, 10, kFieldLabel, 0},
    {kNoId, K::kLabel, "EADR", 72, 78, 24, 9, kFieldLabel, 0},
    {kNoId, K::kLabel, "SADR", 12, 90, 24, 10, kFieldLabel, 0},
    {kNoId, K::kLabel, "CRC", 15, 102, 18, 10, kFieldLabel, 0},
    {kNoId, K::kLabel, "Bytes", 12, 114, 24, 10, kFieldLabel, 0},
    {kNoId, K::kLabel, "Name", 12, 126, 24, 10, kFieldLabel, 0},
    {kNoId, K::kLabel, Caption("Typ", "Type"), 15, 141, 21, 9, kFieldLabel, 0},
    {kNoId, K::kLabel, Caption("h (o.Header)", "h (no header)"), 75, 108, 57, 9, kNoStyle, 0},
    // TX group box and its labels.
    {kNoId, K::kGroupBox, "TX", 150, 33, 267, 147, kNoStyle, 0},
    {kNoId, K::kLabel, Caption("Art", "Kind"), 162, 66, 15, 9, kFieldLabel, 0},
    {kNoId, K::kLabel, "AADR", 153, 78, 24, 10, kFieldLabel, 0},
    {kNoId, K::kLabel, "EADR", 213, 78, 24, 9, kFieldLabel, 0},
    {kNoId, K::kLabel, "SADR", 153, 90, 24, 10, kFieldLabel, 0},
    {kNoId, K::kLabel, "CRC", 156, 102, 18, 10, kFieldLabel, 0},
    {kNoId, K::kLabel, "Bytes", 153, 114, 24, 10, kFieldLabel, 0},
    {kNoId, K::kLabel, "Name", 153, 126, 24, 10, kFieldLabel, 0},
    {kNoId, K::kLabel, Caption("Typ", "Type"), 153, 141, 21, 9, kFieldLabel, 0},
    {kNoId, K::kLabel, Caption("h (o.Header)", "h (no header)"), 219, 108, 57, 9, kNoStyle, 0},
    {kNoId, K::kLabel, Caption("Pause n. Header:", "Header pause:"), 303, 132, 60, 9, kNoStyle, 0},
    {kNoId, K::kLabel, Caption("Zeichenpause", "Char pause"), 282, 64, 64, 9, kNoStyle, 0},
    {kNoId, K::kLabel, "ms", 391, 64, 14, 9, kNoStyle, 0},
    {kNoId, K::kLabel, Caption("Zeilenpause", "Line pause"), 282, 80, 64, 9, kNoStyle, 0},
    {kNoId, K::kLabel, "ms", 391, 80, 14, 9, kNoStyle, 0},
};

constexpr std::array<Item, 3> kTextItems{{
    {ids::kTextEdit, K::kEdit, "", 6, 12, 138, 15, kSunken | kNoAutoHScroll, 0},
    {ids::kTextSend, K::kPushButton, Caption("Senden", "Send"), 6, 42, 138, 20, kNoStyle, 0},
    {ids::kTextClose, K::kPushButton,
     Caption("schlie\xDF"
             "en",
             "Close"),
     6, 69, 138, 20, kNoStyle, 0},
}};

constexpr std::uint32_t kField = kSunken | kNoAutoHScroll;

constexpr Item kTerminalItems[] = {
    {ids::kTerminalCopy, K::kPushButton, msg::kViewCopy, 4, 4, 44, 14, kNoStyle, 0},
    {ids::kTerminalClear, K::kPushButton, msg::kTerminalClear, 50, 4, 44, 14, kNoStyle, 0},
    {ids::kTerminalBreak, K::kPushButton, msg::kTerminalBreak, 96, 4, 40, 14, kNoStyle, 0},
    {ids::kTerminalHex, K::kEdit, "", 162, 5, 110, 12, kField, 0},
    {ids::kTerminalHexSend, K::kPushButton, msg::kTerminalSend, 274, 4, 40, 14, kNoStyle, 0},
    {ids::kTerminalReceive, K::kPushButton, msg::kTerminalReceiveStart, 322, 4, 76, 14, kNoStyle,
     0},
    {ids::kTerminalSendFile, K::kPushButton, msg::kTerminalSendFile, 4, 22, 60, 14, kNoStyle, 0},
    {ids::kTerminalFormat, K::kDropDownList, "", 66, 23, 70, 60, kNoStyle, 0},
    {ids::kTerminalExpectCheck, K::kCheckBox, msg::kTerminalExpect, 142, 24, 50, 10, kAutoCheck, 0},
    {ids::kTerminalExpect, K::kEdit, "", 194, 23, 60, 12, kField, 40},
    {ids::kTerminalTimeout, K::kEdit, "10", 276, 23, 22, 12, kField | kDigitsOnly, 4},
    {kNoId, K::kLabel, "Hex:", 140, 7, 20, 9, kRightAligned, 0},
    {kNoId, K::kLabel, "max.", 256, 25, 19, 9, kRightAligned, 0},
    {kNoId, K::kLabel, "s", 300, 25, 8, 9, kNoStyle, 0},
};

constexpr DialogLayout kMain{
    "V.24 Velotrix", "Arial", 10, 426, 252, true, true, true, kMainItems,
};

constexpr DialogLayout kText{
    Caption("String senden", "Send string"),
    "MS Sans Serif",
    8,
    150,
    100,
    true,
    true,
    true,
    kTextItems,
};

constexpr DialogLayout kTerminal{
    msg::kTerminalTitle, "Arial", 10, 402, 40, true, true, true, kTerminalItems,
};

constexpr Accelerator kAccelerators[] = {{'T', ids::kMenuTerminal}};

constexpr MenuEntry kMenu[] = {
    {MenuKind::kPopup, Caption("&Datei", "&File"), 0},
    {MenuKind::kItem, "Info", ids::kMenuInfo},
    {MenuKind::kPopup, Caption("Voreinstellungen", "Preferences"), 0},
    {MenuKind::kItem, Caption("Laden Vorzugseinstellung", "Load preferred settings"),
     ids::kMenuLoadPrefs},
    {MenuKind::kSeparator, "", 0},
    {MenuKind::kItem, Caption("Sichern aktuelle Einstellung", "Save current settings"),
     ids::kMenuSavePrefs},
    {MenuKind::kSeparator, "", 0},
    {MenuKind::kItem,
     Caption("Automatisch wieder \xF6"
             "ffnen",
             "Reopen automatically"),
     ids::kMenuAutoReopen},
    {MenuKind::kItem, Caption("Jeden Empfang sichern in ...", "Save every reception in ..."),
     ids::kMenuSaveEvery},
    // The line log: every byte of the line with its time, into a file.
    {MenuKind::kItem, msg::kLogMenu, ids::kMenuLineLog},
    {MenuKind::kEnd, "", 0},
    {MenuKind::kSeparator, "", 0},
    {MenuKind::kSeparator, "", 0},
    {MenuKind::kItem, Caption("Beenden", "Quit"), ids::kMenuQuit},
    {MenuKind::kEnd, "", 0},
    {MenuKind::kPopup, "Test", 0},
    {MenuKind::kItem, Caption("Ports testen", "Test ports"), ids::kMenuProbePorts},
    {MenuKind::kSeparator, "", 0},
    {MenuKind::kItem, Caption("Text senden", "Send text"), ids::kMenuSendText},
    // What ends the typed text, and each line of a text file: each its own, since a line test
    // wants none and a listing one after every line.
    {MenuKind::kPopup, Caption("Zeilenende Text", "Line end of text"), 0},
    {MenuKind::kItem, Caption("keins", "none"), ids::kMenuLineEndNone},
    {MenuKind::kItem, "CR", ids::kMenuLineEndCr},
    {MenuKind::kItem, "CR+LF", ids::kMenuLineEndCrLf},
    {MenuKind::kItem, "LF", ids::kMenuLineEndLf},
    {MenuKind::kEnd, "", 0},
    {MenuKind::kItem, Caption("Textdatei senden", "Send text file"), ids::kMenuSendTextFile},
    {MenuKind::kPopup, Caption("Zeilenende Textdatei", "Line end of text file"), 0},
    {MenuKind::kItem, Caption("keins", "none"), ids::kMenuFileLineEndNone},
    {MenuKind::kItem, "CR", ids::kMenuFileLineEndCr},
    {MenuKind::kItem, "CR+LF", ids::kMenuFileLineEndCrLf},
    {MenuKind::kItem, "LF", ids::kMenuFileLineEndLf},
    {MenuKind::kEnd, "", 0},
    {MenuKind::kSeparator, "", 0},
    {MenuKind::kItem, Caption("DTR setzen", "Set DTR"), ids::kMenuDtr},
    {MenuKind::kItem, Caption("RTS setzen", "Set RTS"), ids::kMenuRts},
    {MenuKind::kSeparator, "", 0},
    {MenuKind::kItem, Caption("Schleifentest", "Loopback test"), ids::kMenuSelfTest},
    {MenuKind::kEnd, "", 0},
    // Files to and from CP/M machines by XMODEM.
    {MenuKind::kPopup, "XMODEM", 0},
    {MenuKind::kItem, msg::kXmodemSendMenu, ids::kMenuXmodemSend},
    {MenuKind::kItem, msg::kXmodemSend1kMenu, ids::kMenuXmodemSend1k},
    {MenuKind::kItem, msg::kXmodemReceiveMenu, ids::kMenuXmodemReceive},
    {MenuKind::kSeparator, "", 0},
    {MenuKind::kItem, msg::kXmodemCancelMenu, ids::kMenuXmodemCancel},
    {MenuKind::kSeparator, "", 0},
    {MenuKind::kItem, msg::kXmodemTrimMenu, ids::kMenuXmodemTrim},
    {MenuKind::kEnd, "", 0},
    // The finished reception and the terminal, each in a window of its own.
    {MenuKind::kPopup, Caption("Ansicht", "View"), 0},
    {MenuKind::kItem, Caption("Empfang", "Reception"), ids::kMenuReceptionView},
    {MenuKind::kItem, Caption("Terminal\tStrg+T", "Terminal\tCtrl+T"), ids::kMenuTerminal},
    {MenuKind::kEnd, "", 0},
};

const Item* FindIn(const DialogLayout& dialog, int id) {
    for (const Item& item : dialog.items) {
        if (item.id == id) {
            return &item;
        }
    }
    return nullptr;
}

}  // namespace

const DialogLayout& MainDialog() {
    return kMain;
}

const DialogLayout& TextDialog() {
    return kText;
}

const DialogLayout& TerminalBar() {
    return kTerminal;
}

std::span<const Accelerator> Accelerators() {
    return kAccelerators;
}

std::span<const MenuEntry> MainMenu() {
    return kMenu;
}

const Item* FindItem(int id) {
    if (id == kNoId) {
        return nullptr;
    }
    for (const DialogLayout* dialog : {&kMain, &kText, &kTerminal}) {
        if (const Item* item = FindIn(*dialog, id)) {
            return item;
        }
    }
    return nullptr;
}

bool IsTabStop(const Item& item) {
    return item.id != kNoId && (item.style & (kReadOnly | kNoTabStop)) == 0;
}

bool AcceptsKey(const Item& item, char key) {
    const bool digit = key >= '0' && key <= '9';
    if ((item.style & kHexDigits) != 0) {
        return digit || (key >= 'A' && key <= 'F') || (key >= 'a' && key <= 'f');
    }
    return (item.style & kDigitsOnly) == 0 || digit;
}

char ShownKey(const Item& item, char key) {
    return (item.style & kHexDigits) != 0 && key >= 'a' && key <= 'f'
               ? static_cast<char>(key - 'a' + 'A')
               : key;
}

bool SortsBefore(std::string_view a, std::string_view b) {
    return CompareIgnoringCase(a, b) < 0;
}

}  // namespace velotrix::layout
