// Keys and pasted text as the bytes a terminal sends for them.
#include "serial/terminal_keys.h"

#include "serial/text_file.h"
#include "text/cp1252.h"
#include "ui-resources/messages.h"

namespace velotrix {

LineEnd EnterLineEnd(LineEnd chosen) {
    return chosen == LineEnd::kNone ? LineEnd::kCr : chosen;
}

std::string KeyBytes(TerminalKey key, LineEnd chosen) {
    switch (key) {
        case TerminalKey::kEnter:
            return LineEndBytes(EnterLineEnd(chosen));
        case TerminalKey::kBackspace:
            return "\x08";
        case TerminalKey::kTab:
            return "\t";
        case TerminalKey::kEscape:
            return "\x1B";
        case TerminalKey::kUp:
            return "\x1B[A";
        case TerminalKey::kDown:
            return "\x1B[B";
        case TerminalKey::kRight:
            return "\x1B[C";
        case TerminalKey::kLeft:
            return "\x1B[D";
        case TerminalKey::kDelete:
            return "\x7F";
    }
    return {};
}

std::optional<std::string> TypedBytes(std::string_view utf8) {
    if (FitsCp1252(utf8) != Cp1252Fit::kFits) {
        return std::nullopt;
    }
    return Utf8ToCp1252(utf8);
}

EngineResult PasteBytes(std::string_view utf8, LineEnd chosen, std::string& bytes) {
    bytes.clear();
    TextFile text;
    const LineEnd end = EnterLineEnd(chosen);
    if (EngineResult refused = TextFileBytes(utf8, end, text, msg::kPasteLinePrefix);
        !refused.ok()) {
        return refused;
    }
    // A text that stops within its last line adds no Enter of its own.
    if (text.lines > 0 && utf8.back() != '\n' && utf8.back() != '\r') {
        text.bytes.resize(text.bytes.size() - std::string_view(LineEndBytes(end)).size());
    }
    bytes = std::move(text.bytes);
    return {};
}

}  // namespace velotrix
