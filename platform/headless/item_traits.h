// What the in-memory window asks of a template item: its styles and what kind of control it is.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ui-resources/layout.h"

namespace velotrix::headless {

inline bool HasStyle(const layout::Item& item, std::uint32_t style) {
    return (item.style & style) != 0;
}

// Combo and list boxes hold entries instead of a text.
inline bool HoldsEntries(layout::ItemKind kind) {
    return kind == layout::ItemKind::kDropDownList || kind == layout::ItemKind::kListBox;
}

inline bool IsButtonLike(layout::ItemKind kind) {
    return kind == layout::ItemKind::kPushButton || kind == layout::ItemKind::kCheckBox ||
           kind == layout::ItemKind::kRadioButton;
}

inline bool ValidIndex(const std::vector<std::string>& entries, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < entries.size();
}

}  // namespace velotrix::headless
