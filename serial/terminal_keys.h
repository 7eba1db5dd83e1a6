// What the terminal puts on the line for the keys a person presses and the text pasted.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "serial/engine_events.h"
#include "serial/transfer_options.h"
#include "text/terminal_input.h"

namespace velotrix {

// What Enter ends a line with: the chosen line end, CR when none is chosen (with "keins" Enter
// would send nothing, and no command could be typed).
LineEnd EnterLineEnd(LineEnd chosen);
// The bytes of a key: Enter the line end, Backspace BS, Delete DEL, the arrows as a VT100's.
std::string KeyBytes(TerminalKey key, LineEnd chosen);
// Typed characters (UTF-8; Ctrl with a letter gives its control character) in code page 1252;
// nothing when one of them is not in it: nothing is ever sent in its place.
std::optional<std::string> TypedBytes(std::string_view utf8);
// Pasted text (UTF-8), line by line in code page 1252, each line ended as Enter ends it; the last
// line only when the text ended it. A line with a character code page 1252 lacks refuses the
// whole text, naming the line.
EngineResult PasteBytes(std::string_view utf8, LineEnd chosen, std::string& bytes);

}  // namespace velotrix
