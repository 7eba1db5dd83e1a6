// The "Typ" combo boxes of the RX and TX groups.
#include "app/type_combo.h"

#include "image/z80_header.h"

namespace velotrix {

void FillTypeCombo(DialogView& view, int comboId) {
    for (std::size_t index = 0; index < kFileTypeCount; ++index) {
        view.ComboAdd(comboId, FileTypeEntry(index));
    }
}

void SelectTypeByLetter(DialogView& view, int comboId, char letter) {
    const int index = TypeIndexOfLetter(letter);
    if (index >= 0) {
        view.ComboSelect(comboId, index);
    }
    view.SetFocus(comboId);
}

}  // namespace velotrix
