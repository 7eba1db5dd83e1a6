// What a person does in the terminal window's screen, as the view reports it.
#pragma once

#include <string>

namespace velotrix {

// The keys that send more than their character, or none of their own.
enum class TerminalKey { kEnter, kBackspace, kTab, kEscape, kUp, kDown, kRight, kLeft, kDelete };

struct TerminalInput {
    enum class Kind {
        kText,   // characters typed (Ctrl with a letter gives its control character)
        kKey,    // a key of TerminalKey
        kPaste,  // the clipboard's text pasted
        kRows,   // the screen shows another number of lines (the window was resized)
    };
    Kind kind = Kind::kText;
    std::string text;  // kText, kPaste: UTF-8, as the keyboard and the clipboard give it
    TerminalKey key = TerminalKey::kEnter;
    int rows = 0;
};

}  // namespace velotrix
