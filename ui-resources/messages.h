// The program's message table: every text of the MessageList, the status bar and the boxes, in
// German and English, in code page 1252, for the window and the command line alike. Each entry
// reads as the current language's text (see language.h).
#pragma once

#include <span>

#include "ui-resources/language.h"

namespace velotrix::msg {

#define VELOTRIX_MESSAGE(name, german, english) \
    inline constexpr Text name {                \
        german, english                         \
    }
#include "ui-resources/message_table.h"
#undef VELOTRIX_MESSAGE

// The blank line between the info box's paragraphs, the same in both languages.
inline constexpr Text kBlankLine{"", ""};

// The lists among the texts, in the order of their entries: the CTS warning's lines, the send
// formats beside "als BIN senden" and of the terminal's "Datei senden", and the info box.
inline constexpr Text kCtsWarning[] = {kCtsWarning1, kCtsWarning2, kCtsWarning3};
inline constexpr Text kHexSendEntries[] = {kHexSendEntries1, kHexSendEntries2, kHexSendEntries3};
inline constexpr Text kTerminalFormats[] = {kTerminalFormats1, kTerminalFormats2,
                                            kTerminalFormats3, kTerminalFormats4,
                                            kTerminalFormats5, kTerminalFormats6};
inline constexpr Text kInfoLines[] = {kInfoLines1, kInfoLines2,  kBlankLine,  kInfoLines4,
                                      kInfoLines5, kInfoLines6,  kInfoLines7, kInfoLines8,
                                      kInfoLines9, kInfoLines10, kInfoLines11};

// Calls visit(name, text) for every entry of the table, in the table's order.
template <class Visit>
void ForEachMessage(Visit&& visit) {
#define VELOTRIX_MESSAGE(name, german, english) visit(#name, name)
#include "ui-resources/message_table.h"
#undef VELOTRIX_MESSAGE
}

}  // namespace velotrix::msg
