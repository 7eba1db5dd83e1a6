// The two "Typ" combo boxes that show the file-type table: filling them and selecting by letter.
#pragma once

#include "platform/dialog_view.h"

namespace velotrix {

// Adds the nine 21-character entries in table order; selects none.
void FillTypeCombo(DialogView& view, int comboId);
// Selects the entry whose letter equals letter (case-sensitive); no match keeps the selection.
// Either way the keyboard focus moves to the box once the current command is done.
void SelectTypeByLetter(DialogView& view, int comboId, char letter);

}  // namespace velotrix
