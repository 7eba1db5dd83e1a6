// The system's clipboard as text, for every window of the program.
#pragma once

#include "frontends/win32/windows_api.h"

#include <string>

namespace velotrix {

// The clipboard's text; empty when it holds none.
std::wstring ClipboardText(HWND owner);
// Puts the text on the clipboard in place of what was there.
void SetClipboardText(HWND owner, const std::wstring& text);

}  // namespace velotrix
