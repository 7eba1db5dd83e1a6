// In-memory dialog templates and the menu, built from the layout tables in ui-resources.
#pragma once

#include "frontends/win32/windows_api.h"

#include <vector>

#include "ui-resources/layout.h"

namespace velotrix {

// A DLGTEMPLATEEX in dialog units with the layout's font, caption, window style and items, for
// CreateDialogIndirectParamW. The controls with IDs are tab stops in the order of the layout.
std::vector<WORD> BuildDialogTemplate(const layout::DialogLayout& dialog, bool defaultButton);

// The menu bar of the main dialog with its pop-ups; the caller owns it (a window destroys its
// menu with itself).
HMENU BuildMenu();

}  // namespace velotrix
