// The few combo-box operations that the preferences need, so they can be tested without a window.
#pragma once

#include <string>
#include <string_view>

namespace velotrix {

class ComboBoxes {
  public:
    virtual ~ComboBoxes() = default;

    virtual int ComboCount(int id) const = 0;
    // The entry's text (code page 1252); empty for an index that names no entry.
    virtual std::string ComboItem(int id, int index) const = 0;
    // -1 when no entry is selected.
    virtual int ComboSelection(int id) const = 0;
    // Selects the entry; an index that names no entry (-1 included) leaves the box without
    // selection. A selection made by the program raises no selection-change notification.
    virtual void ComboSelect(int id, int index) = 0;
};

}  // namespace velotrix
